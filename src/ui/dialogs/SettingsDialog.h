#pragma once

#include <QDialog>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;
class TSettingsHolder;
enum class Setting;

// The settings dialog, bound live to the settings holder: every edit reaches the holder at
// once, so all readers see unconfirmed edits; changes of the holder (a load, a setter called
// from elsewhere in the program) show in the controls. OK and Apply save, Cancel reloads the stored values,
// the close box only hides. The dialog stays alive for the whole run and is hidden, not destroyed.
class TF_Settings : public QDialog
{
    Q_OBJECT

public:
    explicit TF_Settings(TSettingsHolder& settings, QWidget* parent = nullptr);
    ~TF_Settings() override;

    // Restores and raises the main window, places the dialog beside it and shows it.
    void OpenBeside(QWidget* mainWindow);
    void ApplyLanguage(const QString& code);

    void BtnOkClick();
    void BtnApplicaClick();
    void BtnAnnullaClick();
    void lblRegistrazioneGratuitaClick();

    // Entries of ComboLanguage in their order, and the codes they stand for.
    static QStringList LanguageNames();
    static QStringList LanguageCodes();
    // "GMT -12" ... "GMT", ... "GMT +12".
    static QStringList TimeZoneNames();

    QTabWidget* pcPages;
    QWidget* tsAccount;
    QWidget* tsPreferenze;
    QWidget* tsConnessione;

    QLabel* lblUserName;
    QLineEdit* Edit_LoginEmail;
    QLabel* imgHelpUserName;
    QLabel* lblPassword;
    QLineEdit* Edit_Password;
    QLabel* imgHelpPassword;
    QLabel* lblSender;
    QLineEdit* Edit_Sender;
    QLabel* imgHelpSender;
    QCheckBox* cbRememberPwd;
    QCheckBox* cbPBookOnline;
    QLabel* lblRegistrazioneGratuita;

    QCheckBox* cbRunAtStartup;
    QCheckBox* cbSoundDisabled;
    QCheckBox* cbWarnUnicode;
    QCheckBox* cbWarnMedium;
    QCheckBox* cbWarnManySMS;
    QLabel* lblLanguage;
    QComboBox* ComboLanguage;
    QLabel* lblTimeZone;
    QComboBox* ComboFusoLocale;
    QCheckBox* cbAutoConnectToServer;
    QCheckBox* cbCheck4Upg;

    QCheckBox* cbProxyActive;
    QLabel* lblProxyAddress;
    QLineEdit* Edit_ProxyAddress;
    QLabel* lblProxyPort;
    QSpinBox* seProxyPort;
    QCheckBox* cbProxyAuth;
    QLabel* lblProxyUsername;
    QLineEdit* Edit_ProxyUsername;
    QLabel* lblProxyPassword;
    QLineEdit* Edit_ProxyPassword;

    QPushButton* BtnOk;
    QPushButton* BtnAnnulla;
    QPushButton* BtnApplica;

signals:
    // Shown: the main window pauses its credit timer.
    void shown();
    // Hidden by OK, Cancel or the close box: the program drops its gateway sessions and runs
    // one credit tick.
    void hidden();
    // OK saved the settings: the main window applies this language.
    void languageConfirmed(const QString& code);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildAccountPage();
    void BuildPreferencesPage();
    void BuildConnectionPage();
    void SetTabOrder();
    void ShowAccountPage();
    void BindCheckBox(QCheckBox* box, Setting id);
    void BindLineEdit(QLineEdit* edit, Setting id);
    // Runs a change of the dialog into the holder without echoing it back into the controls.
    void Push(const std::function<void()>& change);
    void RefreshAll();
    void UpdateRules();
    void Edit_SenderChange();
    void ApplyProxyRule();

    TSettingsHolder& m_settings;
    std::vector<std::function<void()>> m_refreshers;
    bool m_pushing = false;
};
