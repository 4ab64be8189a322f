#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class TCountrySelector;
class TSettingsHolder;

// TF_PrefissoMancante: asks which international prefix imported numbers without one get.
// OK is enabled only while a country is selected.
class TF_PrefissoMancante : public QDialog
{
    Q_OBJECT

public:
    // Applies the language and selects the remembered country (the "LastIntPrefix" value).
    TF_PrefissoMancante(const QString& language, const QString& lastIntPrefix, QWidget* parent = nullptr);
    ~TF_PrefissoMancante() override;

    void ApplyLanguage(const QString& code);
    // The prefix label's text: the prefix the caller gives to the numbers after OK.
    QString Prefix() const;
    // Shows the dialog modally (or takes the next test answer); 1 for OK, 0 for Cancel.
    int Run();

    // The whole question: the dialog is placed beside reference, every country applied in it is
    // stored as "LastIntPrefix" and the settings saved. The chosen prefix, or nothing on Cancel.
    static std::optional<QString> Ask(QWidget* reference, const QString& language, TSettingsHolder& settings);

    // Test hook: the next dialogs answer at once, in order. A country name is selected first as
    // if the user had picked it; OK without a selected country answers Cancel, as the button is
    // disabled then.
    static void SetNextAnswer(int result, const QString& country = QString());
    static void ClearNextAnswers();
    static int PendingAnswers();

    QLabel* lblMessaggio;
    QLabel* lblStato;
    TCountrySelector* ComboNazione;
    QLabel* lblPrefissoCaption;
    QLabel* lblIntPrefix;
    QPushButton* BtnOk;
    QPushButton* BtnAnnulla;

signals:
    // A country was applied in the dialog (the name is empty for none).
    void countryApplied(const QString& name);

private:
    void CountryChanged(const QString& prefix);
};
