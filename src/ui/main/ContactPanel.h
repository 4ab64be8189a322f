#pragma once

#include <QFrame>
#include <QStringList>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class TContactNode;
class TCountrySelector;
class TPhoneBookEdits;
class TSettingsHolder;
class TTopPanel;

// The contact panel pnContact above the contacts tree: adds or changes a contact, asks before
// deleting one, takes one typed number or a pasted list of numbers, or lets the user choose
// between those two. While it is open the rest of the window is disabled (mainControlsEnabled).
// The number typed is the prefix label's text followed by the number field, unless the field
// carries its own prefix ("+" or "00"): then the field alone, and its country is selected.
class TContactPanel : public QFrame
{
    Q_OBJECT

public:
    enum Mode
    {
        ModeAdd = 0,
        ModeChange = 1,
        ModeSingleOrDelete = 4,
        ModeList = 5,
        ModeChoice = 6,
    };
    static constexpr int FullHeight = 124; // name and number rows
    static constexpr int ShortHeight = 95; // one row

    TContactPanel(TPhoneBookEdits& edits, TSettingsHolder& settings, TTopPanel& topPanel,
                  QWidget* parent = nullptr);
    ~TContactPanel() override;

    void ApplyLanguage(const QString& code);

    // The commands that open the panel (the Actions menu, the tool bar's first picture).
    QAction* aAggiungiContatto;
    QAction* aAddCustomNumber;

    void OpenAdd();                      // mode 0
    void OpenChange(TContactNode* node); // mode 1
    void OpenDelete(TContactNode* node); // mode 4, the deletion question
    void OpenChoice();                   // single number or list
    void BtnSingleClick();               // mode 4, one number
    void BtnMultipleClick();             // mode 5, a pasted list
    void BtnOkClick();
    void BtnAnnullaClick();
    void BtnDoDeleteClick();
    void BtnCancelDeleteClick();

    int ContactPanelMode() const { return m_mode; }
    bool IsOpen() const { return m_open; }
    // The number as it would be stored: composed from the prefix label and the field, cleaned.
    QString ComposedNumber() const;

    // The controls, named as in the window's layout.
    QWidget* pnNome;
    QWidget* pnNumero;
    QWidget* pnDelete;
    QWidget* pnDestSelection;
    QLineEdit* Edit_Visualizzato;
    TCountrySelector* ComboNazione;
    QLabel* lblIntPrefix;
    QLineEdit* Edit_Numero;
    QPlainTextEdit* MemoCustomList;
    QPushButton* BtnOk;
    QPushButton* BtnAnnulla;
    QLabel* lblDeleteQuestion;
    QPushButton* BtnDoDelete;
    QPushButton* BtnCancelDelete;
    QPushButton* BtnSingle;
    QPushButton* BtnMultiple;

signals:
    // Opened (false) and closed (true): EnableMainControls of the window.
    void mainControlsEnabled(bool on);
    // Numbers typed or pasted for the recipients, cleaned.
    void numbersChosen(const QStringList& numbers);
    // A contact was added or changed: shown at the top of the tree and selected.
    void contactStored(TContactNode* node);
    // The panel closed: the message text box takes the focus.
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Open(Mode mode, bool adding);
    void Close();
    void ShowRows(bool name, bool number, bool list, bool deletion, bool choice);
    void controllaDati();
    void ControllaLista();
    void NumberEdited(const QString& text);
    void CountryApplied(const QString& name, const QString& prefix, bool byUser);
    bool OkPossible() const;

    TPhoneBookEdits& m_edits;
    TSettingsHolder& m_settings;
    TTopPanel& m_topPanel;
    QStackedWidget* m_numberRows;
    QWidget* m_countryAndNumber;
    QLabel* m_lblNome;
    QLabel* m_lblStato;
    QLabel* m_lblNumero;
    Mode m_mode = ModeAdd;
    bool m_open = false;
    bool m_adding = false;
    int SavedNoticeCount = 0;
    TContactNode* m_node = nullptr;
    QString m_language;
    struct TTexts;
    std::unique_ptr<TTexts> m_texts;
};
