#include "WidgetChecks.h"
#include "i18n/GlobalTexts.h"
#include "platform/RegistryStore.h"
#include "platform/SystemFacts.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QtTest>
#include <memory>

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsShowStoredValues();
    void editsReachHolderAtOnce();
    void okSavesAppliesLanguageAndHides();
    void applySavesAndSwitchesDialogAndGlobalTexts();
    void cancelReloadsStoredValuesAndHides();
    void closeBoxKeepsEditsUnsaved();
    void openingPlacesShowsAndSelectsAccountPage();
    void activationSelectsAccountPage();
    void focusStartsInFirstFieldAndTabsToButtonsLast();
    void failedSaveKeepsDialogOpen();
    void senderTyping();
    void storedSender_data();
    void storedSender();
    void proxyRule_data();
    void proxyRule();
    void proxyUntickAndTickAgain();
    void contactLinkFollowsUserName();
    void holderChangesShowInControls();
    void captions_data();
    void captions();
    void captionsFit_data();
    void captionsFit();

private:
    // Writes values into the stored settings before the holder loads them.
    void Store(const QString& name, const RegValue& value);
    std::optional<RegValue> Stored(const QString& name) const;
    void Open();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_registry;
    std::unique_ptr<TSettingsHolder> m_settings;
    std::unique_ptr<TF_Settings> m_dialog;
    QList<QUrl> m_opened;
};

void TestSettingsDialog::init()
{
    SystemFacts::OverrideLocaleId(0x0410);
    SystemFacts::OverrideTimeZoneBiasMinutes(-60);
    m_dir = std::make_unique<QTemporaryDir>();
    m_registry = m_dir->filePath(QStringLiteral("registry.reg"));
    m_opened.clear();
    SetBrowserOpener([this](const QUrl& url) { m_opened.append(url); });
}

void TestSettingsDialog::cleanup()
{
    m_dialog.reset();
    m_settings.reset();
    m_dir.reset();
    SetBrowserOpener({});
    SystemFacts::OverrideLocaleId(std::nullopt);
    SystemFacts::OverrideTimeZoneBiasMinutes(std::nullopt);
}

void TestSettingsDialog::Store(const QString& name, const RegValue& value)
{
    RegistryStore store(m_registry);
    store.Load();
    store.SetValue(TSettingsHolder::SettingsKey(), name, value);
    store.Save();
}

std::optional<RegValue> TestSettingsDialog::Stored(const QString& name) const
{
    RegistryStore store(m_registry);
    store.Load();
    return store.Value(TSettingsHolder::SettingsKey(), name);
}

void TestSettingsDialog::Open()
{
    m_settings = std::make_unique<TSettingsHolder>(m_registry);
    QVERIFY(m_settings->LoadSettings(true));
    m_dialog = std::make_unique<TF_Settings>(*m_settings);
    m_dialog->show();
}

void TestSettingsDialog::controlsShowStoredValues()
{
    Store(QStringLiteral("ProxyEnabled"), RegValue::Dword(1));
    Store(QStringLiteral("ProxyAddress"), RegValue::String(QStringLiteral("proxy.lan")));
    Store(QStringLiteral("ProxyPort"), RegValue::Dword(1080));
    Store(QStringLiteral("TimeZone"), RegValue::Dword(quint32(-5)));
    Store(QStringLiteral("Language"), RegValue::String(QStringLiteral("POR")));
    Store(QStringLiteral("WarningUnicode"), RegValue::Dword(0));
    Open();
    QVERIFY(m_dialog->cbProxyActive->isChecked());
    QCOMPARE(m_dialog->Edit_ProxyAddress->text(), QStringLiteral("proxy.lan"));
    QCOMPARE(m_dialog->seProxyPort->value(), 1080);
    QCOMPARE(m_dialog->ComboFusoLocale->currentText(), QStringLiteral("GMT -5"));
    QCOMPARE(m_dialog->ComboLanguage->currentText(), QStringLiteral("Portugues"));
    QVERIFY(!m_dialog->cbWarnUnicode->isChecked());
    QVERIFY(m_dialog->cbWarnMedium->isChecked());
    QCOMPARE(m_dialog->Edit_Sender->text(), QStringLiteral("Brelmont"));
    QVERIFY(m_dialog->Edit_Sender->isVisibleTo(m_dialog.get()));
    QVERIFY(!m_dialog->cbPBookOnline->isVisibleTo(m_dialog.get()));
    QVERIFY(!m_dialog->cbAutoConnectToServer->isVisibleTo(m_dialog.get()));
    QVERIFY(!m_dialog->cbCheck4Upg->isVisibleTo(m_dialog.get()));
}

void TestSettingsDialog::editsReachHolderAtOnce()
{
    Open();
    QTest::keyClicks(m_dialog->Edit_LoginEmail, QStringLiteral("mario"));
    QTest::keyClicks(m_dialog->Edit_Password, QStringLiteral("pw"));
    m_dialog->cbSoundDisabled->click();
    m_dialog->ComboFusoLocale->setCurrentIndex(12 + 3);
    m_dialog->seProxyPort->setValue(3128);
    QCOMPARE(m_settings->GetUserName(), QStringLiteral("mario"));
    QCOMPARE(m_settings->GetPassword(), QStringLiteral("pw"));
    QVERIFY(m_settings->GetDisableSound());
    QCOMPARE(m_settings->GetTimeZone(), 3);
    QCOMPARE(m_settings->GetProxyPort(), 3128);
    // Typing the demo user name keeps the field as typed while it stands for the demo account.
    m_dialog->Edit_LoginEmail->clear();
    QTest::keyClicks(m_dialog->Edit_LoginEmail, QStringLiteral("DEMO"));
    QCOMPARE(m_dialog->Edit_LoginEmail->text(), QStringLiteral("DEMO"));
    QCOMPARE(m_settings->UserNameField(), QString());
    QVERIFY(!Stored(QStringLiteral("DisableSound")).has_value());
}

void TestSettingsDialog::okSavesAppliesLanguageAndHides()
{
    Open();
    QSignalSpy confirmed(m_dialog.get(), &TF_Settings::languageConfirmed);
    QSignalSpy hidden(m_dialog.get(), &TF_Settings::hidden);
    m_dialog->ComboLanguage->setCurrentIndex(TF_Settings::LanguageCodes().indexOf(u"ENG"));
    m_dialog->cbProxyActive->click();
    QTest::keyClicks(m_dialog->Edit_ProxyAddress, QStringLiteral("10.0.0.1"));
    m_dialog->BtnOk->click();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(confirmed.count(), 1);
    QCOMPARE(confirmed.at(0).at(0).toString(), QStringLiteral("ENG"));
    QCOMPARE(Stored(QStringLiteral("Language")), RegValue::String(QStringLiteral("ENG")));
    QCOMPARE(Stored(QStringLiteral("ProxyAddress")), RegValue::String(QStringLiteral("10.0.0.1")));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Settings"));
}

void TestSettingsDialog::applySavesAndSwitchesDialogAndGlobalTexts()
{
    Open();
    TGlobalTexts texts;
    connect(m_settings.get(), &TSettingsHolder::languageApplied, this,
            [&texts](const QString& code) { texts.ApplyLanguage(code); });
    QSignalSpy confirmed(m_dialog.get(), &TF_Settings::languageConfirmed);
    QSignalSpy hidden(m_dialog.get(), &TF_Settings::hidden);
    QCOMPARE(m_dialog->BtnAnnulla->text(), QStringLiteral("Annulla"));
    m_dialog->ComboLanguage->setCurrentIndex(TF_Settings::LanguageCodes().indexOf(u"ENG"));
    // Choosing alone switches nothing yet.
    QCOMPARE(m_dialog->BtnAnnulla->text(), QStringLiteral("Annulla"));
    m_dialog->BtnApplica->click();
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(hidden.count(), 0);
    QCOMPARE(confirmed.count(), 0);
    QCOMPARE(m_dialog->BtnAnnulla->text(), QStringLiteral("Cancel"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Settings"));
    QCOMPARE(texts.TextSent, QStringLiteral("Message sent"));
    QCOMPARE(Stored(QStringLiteral("Language")), RegValue::String(QStringLiteral("ENG")));
}

void TestSettingsDialog::cancelReloadsStoredValuesAndHides()
{
    Store(QStringLiteral("ProxyAddress"), RegValue::String(QStringLiteral("old.proxy")));
    Open();
    QSignalSpy hidden(m_dialog.get(), &TF_Settings::hidden);
    m_dialog->Edit_ProxyAddress->setText(QStringLiteral("new.proxy"));
    QTest::keyClicks(m_dialog->Edit_LoginEmail, QStringLiteral("mario"));
    m_dialog->cbWarnManySMS->click();
    QCOMPARE(m_settings->GetProxyAddress(), QStringLiteral("new.proxy"));
    m_dialog->BtnAnnulla->click();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(m_dialog->Edit_ProxyAddress->text(), QStringLiteral("old.proxy"));
    QCOMPARE(m_settings->GetProxyAddress(), QStringLiteral("old.proxy"));
    QCOMPARE(m_dialog->Edit_LoginEmail->text(), QString());
    QCOMPARE(m_settings->GetUserName(), TSettingsHolder::DemoUserName());
    QVERIFY(m_dialog->cbWarnManySMS->isChecked());
    QVERIFY(m_dialog->lblRegistrazioneGratuita->isVisibleTo(m_dialog.get()));
}

void TestSettingsDialog::closeBoxKeepsEditsUnsaved()
{
    Open();
    QSignalSpy hidden(m_dialog.get(), &TF_Settings::hidden);
    // What the program does when the dialog hides: the next credit request reads the account.
    QString userAtHide;
    connect(m_dialog.get(), &TF_Settings::hidden, this, [&] { userAtHide = m_settings->GetUserName(); });
    QTest::keyClicks(m_dialog->Edit_LoginEmail, QStringLiteral("mario"));
    m_dialog->cbProxyActive->click();
    QTest::keyClicks(m_dialog->Edit_ProxyAddress, QStringLiteral("typed.proxy"));
    QCOMPARE(m_settings->GetProxyAddress(), QStringLiteral("typed.proxy"));
    QVERIFY(m_dialog->close());
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(userAtHide, QStringLiteral("mario"));
    QCOMPARE(m_dialog->Edit_LoginEmail->text(), QStringLiteral("mario"));
    QVERIFY(!Stored(QStringLiteral("ProxyAddress")).has_value());
    QVERIFY(!Stored(QStringLiteral("UserName")).has_value());
}

void TestSettingsDialog::openingPlacesShowsAndSelectsAccountPage()
{
    m_settings = std::make_unique<TSettingsHolder>(m_registry);
    m_settings->LoadSettings(true);
    m_dialog = std::make_unique<TF_Settings>(*m_settings);
    QSignalSpy shown(m_dialog.get(), &TF_Settings::shown);
    m_dialog->pcPages->setCurrentWidget(m_dialog->tsConnessione);
    QWidget mainWindow;
    mainWindow.setGeometry(50, 40, 300, 400);
    mainWindow.show();
    m_dialog->OpenBeside(&mainWindow);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(shown.count(), 1);
    QCOMPARE(m_dialog->pcPages->currentWidget(), m_dialog->tsAccount);
    const QRect m = mainWindow.frameGeometry();
    const QRect d = m_dialog->frameGeometry();
    QCOMPARE(d.left(), m.left() + m.width());
    QCOMPARE(d.top() + d.height(), m.top() + m.height());
}

void TestSettingsDialog::activationSelectsAccountPage()
{
    Open();
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    m_dialog->pcPages->setCurrentWidget(m_dialog->tsPreferenze);
    QApplication::setActiveWindow(m_dialog.get());
    QTRY_VERIFY(m_dialog->isActiveWindow());
    QCOMPARE(m_dialog->pcPages->currentWidget(), m_dialog->tsAccount);
}

void TestSettingsDialog::failedSaveKeepsDialogOpen()
{
    m_registry = m_dir->filePath(QStringLiteral("sub/registry.reg"));
    Open();
    QSignalSpy confirmed(m_dialog.get(), &TF_Settings::languageConfirmed);
    QSignalSpy hidden(m_dialog.get(), &TF_Settings::hidden);
    // A file where the settings folder belongs: the save cannot write.
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("sub"))).removeRecursively());
    QFile blocker(m_dir->filePath(QStringLiteral("sub")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_dialog->BtnOk->click();
    QVERIFY(!m_settings->LastError().isEmpty());
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(confirmed.count(), 0);
    QCOMPARE(hidden.count(), 0);
}

void TestSettingsDialog::senderTyping()
{
    Open();
    QLineEdit* sender = m_dialog->Edit_Sender;
    sender->clear();
    QTest::keyClicks(sender, QStringLiteral("+39"));
    QCOMPARE(sender->maxLength(), 16);
    QTest::keyClick(sender, Qt::Key_A);
    QCOMPARE(sender->text(), QStringLiteral("+39a"));
    QCOMPARE(sender->maxLength(), 11);
    QTest::keyClicks(sender, QStringLiteral("bcdefghij"));
    QCOMPARE(sender->text(), QStringLiteral("+39abcdefgh"));
    QCOMPARE(m_settings->GetSender(), QStringLiteral("+39abcdefgh"));
    QCOMPARE(sender->cursorPosition(), 11);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(sender, Qt::Key_Backspace);
    QCOMPARE(sender->text(), QStringLiteral("+39"));
    QCOMPARE(sender->maxLength(), 16);
    QTest::keyClicks(sender, QStringLiteral("1234567890123"));
    QCOMPARE(sender->text(), QStringLiteral("+391234567890123"));
    // A letter among 16 characters: cut to the first 11, which are digits again.
    sender->setCursorPosition(15);
    sender->backspace();
    QTest::keyClick(sender, Qt::Key_X);
    QCOMPARE(sender->text(), QStringLiteral("+3912345678"));
    QCOMPARE(sender->cursorPosition(), 11);
    QCOMPARE(sender->maxLength(), 16);
    QCOMPARE(m_settings->GetSender(), QStringLiteral("+3912345678"));
}

void TestSettingsDialog::storedSender_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("14 letters cut to 11")
        << QStringLiteral("ABCDEFGHIJKLMN") << QStringLiteral("ABCDEFGHIJK") << 11;
    QTest::newRow("20 digits kept") << QStringLiteral("12345678901234567890")
                                    << QStringLiteral("12345678901234567890") << 20;
    QTest::newRow("plus and 15 digits")
        << QStringLiteral("+391234567890123") << QStringLiteral("+391234567890123") << 16;
}

void TestSettingsDialog::storedSender()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(int, maxLength);
    Store(QStringLiteral("Sender"), RegValue::String(stored));
    Open();
    QCOMPARE(m_dialog->Edit_Sender->text(), shown);
    QCOMPARE(m_settings->GetSender(), shown);
    QCOMPARE(m_dialog->Edit_Sender->maxLength(), maxLength);
    // The stored text stays as it was until the next save.
    QCOMPARE(Stored(QStringLiteral("Sender")), RegValue::String(stored));
    // No further character fits.
    m_dialog->Edit_Sender->end(false);
    QTest::keyClick(m_dialog->Edit_Sender, Qt::Key_1);
    QCOMPARE(m_dialog->Edit_Sender->text(), shown);
}

void TestSettingsDialog::proxyRule_data()
{
    QTest::addColumn<bool>("proxy");
    QTest::addColumn<bool>("auth");
    QTest::addColumn<bool>("addressEnabled");
    QTest::addColumn<bool>("credentialsEnabled");
    QTest::newRow("both off") << false << false << false << false;
    QTest::newRow("proxy only") << true << false << true << false;
    QTest::newRow("auth without proxy") << false << true << false << false;
    QTest::newRow("both on") << true << true << true << true;
}

void TestSettingsDialog::proxyRule()
{
    QFETCH(bool, proxy);
    QFETCH(bool, auth);
    QFETCH(bool, addressEnabled);
    QFETCH(bool, credentialsEnabled);
    Store(QStringLiteral("ProxyEnabled"), RegValue::Dword(proxy ? 1 : 0));
    Store(QStringLiteral("ProxyAuthEnabled"), RegValue::Dword(auth ? 1 : 0));
    Open();
    for (QWidget* w : std::initializer_list<QWidget*>{m_dialog->lblProxyAddress, m_dialog->Edit_ProxyAddress,
                                                      m_dialog->lblProxyPort, m_dialog->seProxyPort,
                                                      m_dialog->cbProxyAuth})
        QVERIFY2(w->isEnabled() == addressEnabled, qPrintable(w->objectName()));
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_dialog->lblProxyUsername, m_dialog->Edit_ProxyUsername,
                                         m_dialog->lblProxyPassword, m_dialog->Edit_ProxyPassword})
        QVERIFY2(w->isEnabled() == credentialsEnabled, qPrintable(w->objectName()));
}

void TestSettingsDialog::proxyUntickAndTickAgain()
{
    Store(QStringLiteral("ProxyEnabled"), RegValue::Dword(1));
    Store(QStringLiteral("ProxyAuthEnabled"), RegValue::Dword(1));
    Open();
    m_dialog->pcPages->setCurrentWidget(m_dialog->tsConnessione);
    QVERIFY(m_dialog->Edit_ProxyUsername->isEnabled());
    m_dialog->cbProxyActive->click();
    QVERIFY(!m_settings->GetProxyEnabled());
    QVERIFY(!m_dialog->Edit_ProxyAddress->isEnabled());
    QVERIFY(!m_dialog->seProxyPort->isEnabled());
    QVERIFY(!m_dialog->cbProxyAuth->isEnabled());
    QVERIFY(!m_dialog->Edit_ProxyUsername->isEnabled());
    QVERIFY(!m_dialog->lblProxyPassword->isEnabled());
    m_dialog->cbProxyActive->click();
    QVERIFY(m_dialog->Edit_ProxyUsername->isEnabled());
    QVERIFY(m_dialog->lblProxyUsername->isEnabled());
    m_dialog->cbProxyAuth->click();
    QVERIFY(!m_settings->GetProxyAuthEnabled());
    QVERIFY(!m_dialog->Edit_ProxyPassword->isEnabled());
    QVERIFY(m_dialog->Edit_ProxyAddress->isEnabled());
    m_dialog->cbProxyActive->click();
    m_dialog->cbProxyActive->click();
    QVERIFY(!m_dialog->Edit_ProxyUsername->isEnabled());
}

void TestSettingsDialog::contactLinkFollowsUserName()
{
    Open();
    QLabel* link = m_dialog->lblRegistrazioneGratuita;
    QVERIFY(link->isVisibleTo(m_dialog.get()));
    QTest::keyClicks(m_dialog->Edit_LoginEmail, QStringLiteral("m"));
    QVERIFY(!link->isVisibleTo(m_dialog.get()));
    m_settings->SetUserName(QString());
    QCOMPARE(m_dialog->Edit_LoginEmail->text(), QString());
    QVERIFY(link->isVisibleTo(m_dialog.get()));
    emit link->linkActivated(QStringLiteral("#contact"));
    QCOMPARE(m_opened, QList<QUrl>{ContactPageUrl(m_settings->GetEndpoints().WebBaseUrl)});
    QVERIFY(m_opened.first().toString().endsWith(u"/Chat.html"));
}

void TestSettingsDialog::holderChangesShowInControls()
{
    Open();
    m_settings->SetProxyPort(1080);
    m_settings->SetWarningUnicode(false);
    m_settings->SetLanguage(QStringLiteral("POR"));
    m_settings->SetTimeZone(-5);
    m_settings->SetSender(QStringLiteral("ABCDEFGHIJKLMNOP"));
    m_settings->SetProxyUsername(QStringLiteral("bob"));
    QCOMPARE(m_dialog->seProxyPort->value(), 1080);
    QVERIFY(!m_dialog->cbWarnUnicode->isChecked());
    QCOMPARE(m_dialog->ComboLanguage->currentText(), QStringLiteral("Portugues"));
    QCOMPARE(m_dialog->ComboFusoLocale->currentText(), QStringLiteral("GMT -5"));
    QCOMPARE(m_dialog->Edit_Sender->text(), QStringLiteral("ABCDEFGHIJK"));
    QCOMPARE(m_dialog->Edit_ProxyUsername->text(), QStringLiteral("bob"));
}

void TestSettingsDialog::captions_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("expected");
    // title, Cancel, Apply, pages, run at start-up, time zone, link, sender label, proxy box, user tooltip
    QTest::newRow("ITA") << QStringLiteral("ITA")
                         << QStringList{QStringLiteral("Impostazioni"),
                                        QStringLiteral("Annulla"),
                                        QStringLiteral("Applica"),
                                        QStringLiteral("Preferenze"),
                                        QStringLiteral("Avanzate"),
                                        QStringLiteral("Esegui all'avvio di windows"),
                                        QStringLiteral("Fuso orario locale:"),
                                        QStringLiteral("Contattaci per ottenere il tuo account subito."),
                                        QStringLiteral("Mittente:"),
                                        QStringLiteral("Usa un proxy server"),
                                        QStringLiteral("Inserisci il tuo username.")};
    const QStringList english{QStringLiteral("Settings"),
                              QStringLiteral("Cancel"),
                              QStringLiteral("Apply"),
                              QStringLiteral("Preferences"),
                              QStringLiteral("Advanced"),
                              QStringLiteral("Run when windows starts"),
                              QStringLiteral("Local timezone:"),
                              QStringLiteral("Contact us if you want your account immediately."),
                              QStringLiteral("Sender:"),
                              QStringLiteral("Use a proxy server"),
                              QStringLiteral("Insert your username.")};
    QTest::newRow("ENG") << QStringLiteral("ENG") << english;
    QTest::newRow("FRA shows English") << QStringLiteral("FRA") << english;
    QTest::newRow("POR") << QStringLiteral("POR")
                         << QStringList{QStringLiteral("Configuraçoes..."),
                                        QStringLiteral("Anular"),
                                        QStringLiteral("Aplicar"),
                                        QStringLiteral("Preferidos"),
                                        QStringLiteral("Advanced"),
                                        QStringLiteral("Executar ao iniciar do windows"),
                                        QStringLiteral("Fuso horario local:"),
                                        QStringLiteral("Cadastre-se aqui pra ter um account gratuito"),
                                        QStringLiteral("Remetente:"),
                                        QStringLiteral("Usa um proxy server"),
                                        QStringLiteral("Intoduza teu username.")};
}

void TestSettingsDialog::captions()
{
    QFETCH(QString, code);
    QFETCH(QStringList, expected);
    Open();
    m_dialog->ApplyLanguage(code);
    const QString linkText =
        QTextDocumentFragment::fromHtml(m_dialog->lblRegistrazioneGratuita->text()).toPlainText();
    const QStringList actual{m_dialog->windowTitle(),
                             m_dialog->BtnAnnulla->text(),
                             m_dialog->BtnApplica->text(),
                             m_dialog->pcPages->tabText(1),
                             m_dialog->pcPages->tabText(2),
                             m_dialog->cbRunAtStartup->text(),
                             m_dialog->lblTimeZone->text(),
                             linkText,
                             m_dialog->lblSender->text(),
                             m_dialog->cbProxyActive->text(),
                             m_dialog->imgHelpUserName->toolTip()};
    QCOMPARE(actual, expected);
    // These keep their Italian captions in every language.
    QCOMPARE(m_dialog->cbSoundDisabled->text(), QStringLiteral("Disabilita suono"));
    QCOMPARE(m_dialog->cbRememberPwd->text(), QStringLiteral("Ricorda password"));
    QCOMPARE(m_dialog->BtnOk->text(), QStringLiteral("Ok"));
}

void TestSettingsDialog::captionsFit_data()
{
    QTest::addColumn<QString>("code");
    for (const char* code : {"ITA", "ENG", "POR"})
        QTest::newRow(code) << QString::fromLatin1(code);
}

void TestSettingsDialog::captionsFit()
{
    QFETCH(QString, code);
    Store(QStringLiteral("ProxyEnabled"), RegValue::Dword(1));
    Store(QStringLiteral("Language"), RegValue::String(code));
    Open();
    for (int page = 0; page < m_dialog->pcPages->count(); ++page) {
        m_dialog->pcPages->setCurrentIndex(page);
        QCOMPARE(CutControls(m_dialog.get()), QStringList());
    }
}

void TestSettingsDialog::focusStartsInFirstFieldAndTabsToButtonsLast()
{
    Open();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    QList<QWidget*> visited; // the link label takes one more Tab to pass its link
    for (int i = 0; i < 16; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
        if (visited.isEmpty() || visited.last() != QApplication::focusWidget())
            visited.append(QApplication::focusWidget());
    const QList<QWidget*> fields{m_dialog->Edit_LoginEmail, m_dialog->Edit_Password, m_dialog->Edit_Sender};
    QCOMPARE(visited.mid(0, 3), fields);
    // The buttons after the fields, then the page tabs and round again.
    const QList<QWidget*> last{m_dialog->BtnOk, m_dialog->BtnAnnulla, m_dialog->BtnApplica,
                               m_dialog->pcPages->findChild<QTabBar*>()};
    QCOMPARE(visited.mid(visited.indexOf(m_dialog->BtnOk), 4), last);
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settings_dialog.moc"
