#include "MainWindowFixture.h"
#include "net/NumberLookup.h"
#include "net/Suggestion.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "platform/SystemFacts.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/main/ContactPanel.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/ContactsView.h"
#include "ui/main/MessagePanel.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/PictureToolBar.h"
#include "ui/main/RecipientsPanel.h"
#include "ui/main/StatusBar.h"
#include "ui/main/TopPanel.h"
#include "ui/main/UpdateLinkRow.h"
#include "update/SetupDownload.h"
#include "update/UpdateCheck.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void topPanelFollowsNoticeCount_data();
    void topPanelFollowsNoticeCount();
    void creditNoticeIsReplacedByName();
    void creditNoticeLeavesWithItsTimer();
    void unnamedNoticesGetTimeNames();
    void closeImageRemovesStrip();
    void lightIsRedUntilFirstSuccess();
    void firstActivationAsksCreditOnce();
    void statusTextClearedByTimer();
    void successClearsResultText();
    void refusedLoginShownOnlyInNormalState_data();
    void refusedLoginShownOnlyInNormalState();
    void creditTickSkippedInTray();
    void creditTickAsksAndRestarts();
    void settingsDialogPausesCreditTimer();
    void minimumSizeSpringsBack();
    void resizeKeepsGeometryInSettings();
    void demoAccountPanelAndCommand_data();
    void demoAccountPanelAndCommand();
    void captions_data();
    void captions();
    void unknownLanguageChangesNothing();
    void accountPagesAreEncoded();
    void toolPicturesOpenPagesAndAskCredit();
    void creditChangeEmptiesPanel1();
    void menusHaveDistinctAccelerators_data();
    void menusHaveDistinctAccelerators();
    void screenReadersFindTheControls_data();
    void screenReadersFindTheControls();
    void commandsWaitForTheirServices();
    void manualFollowsLanguage_data();
    void manualFollowsLanguage();
    void servicesReportInTheWindow();
    void listManagerRestoresTheFrame();

private:
    std::unique_ptr<TMainWindowFixture> f;
    QList<QUrl> m_opened;
};

void TestMainWindow::init()
{
    f = std::make_unique<TMainWindowFixture>();
    QVERIFY(f->folder.isValid());
    m_opened.clear();
    SetBrowserOpener([this](const QUrl& url) { m_opened.append(url); });
}

void TestMainWindow::cleanup()
{
    f.reset();
    SetBrowserOpener({});
    SystemFacts::OverrideNow(std::nullopt);
}

void TestMainWindow::topPanelFollowsNoticeCount_data()
{
    QTest::addColumn<int>("strips");
    QTest::addColumn<int>("height");
    QTest::newRow("none") << 0 << 26;
    QTest::newRow("one") << 1 << 60;
    QTest::newRow("two") << 2 << 94;
    QTest::newRow("three") << 3 << 128;
    QTest::newRow("four scrolls") << 4 << 128;
}

void TestMainWindow::topPanelFollowsNoticeCount()
{
    QFETCH(int, strips);
    QFETCH(int, height);
    f->Create();
    for (int i = 0; i < strips; ++i)
        f->main->TopPanel()->ShowNotice(0, QStringLiteral("notice %1").arg(i), QStringLiteral("N%1").arg(i));
    QCOMPARE(f->main->TopPanel()->NoticeCount(), strips);
    QCOMPARE(f->main->TopPanel()->NoticeArea()->StripCount(), strips);
    QCOMPARE(f->main->TopPanel()->maximumHeight(), height);
}

void TestMainWindow::creditNoticeIsReplacedByName()
{
    f->Create();
    emit f->gateway.creditReceived(0, QStringLiteral("Credito: € 12,34"), true);
    emit f->gateway.creditReceived(0, QStringLiteral("Credito: € 10,00"), true);
    QCOMPARE(f->main->TopPanel()->NoticeCount(), 1);
    TFR_TextPanel* strip = f->main->TopPanel()->NoticeArea()->FindStrip(QStringLiteral("FrCredit"));
    QVERIFY(strip);
    QCOMPARE(strip->Message(), QStringLiteral("Credito: € 10,00"));
    QCOMPARE(strip->Kind(), 0);
    QVERIFY(f->main->TimerClearCreditText->isActive());
    QCOMPARE(f->main->TimerClearCreditText->interval(), 30000);
}

void TestMainWindow::creditNoticeLeavesWithItsTimer()
{
    f->Create();
    f->main->TopPanel()->ShowNotice(0, QStringLiteral("other"), QStringLiteral("Other"));
    f->main->TimerClearCreditText->setInterval(5);
    emit f->gateway.creditReceived(0, QStringLiteral("Credits: € 1.00"), true);
    QCOMPARE(f->main->TopPanel()->NoticeCount(), 2);
    QTRY_COMPARE(f->main->TopPanel()->NoticeCount(), 1);
    QVERIFY(!f->main->TopPanel()->NoticeArea()->FindStrip(QStringLiteral("FrCredit")));
    QVERIFY(f->main->TopPanel()->NoticeArea()->FindStrip(QStringLiteral("Other")));
    QVERIFY(!f->main->TimerClearCreditText->isActive());
}

void TestMainWindow::unnamedNoticesGetTimeNames()
{
    f->Create();
    SystemFacts::OverrideNow(QDateTime(QDate(2024, 5, 6), QTime(9, 8, 7)));
    TFR_TextPanel* first = f->main->TopPanel()->ShowNotice(1, QStringLiteral("a"), QString());
    TFR_TextPanel* second = f->main->TopPanel()->ShowNotice(2, QStringLiteral("b"), QString());
    QCOMPARE(first->objectName(), QStringLiteral("Fr_090807"));
    QVERIFY(second != first); // the same second gives a strip of its own
    QCOMPARE(second->Kind(), 2);
    QCOMPARE(first->Message(), QStringLiteral("a"));
    QCOMPARE(f->main->TopPanel()->NoticeCount(), 2);
}

void TestMainWindow::closeImageRemovesStrip()
{
    f->Create();
    TFR_TextPanel* strip = f->main->TopPanel()->ShowNotice(0, QStringLiteral("x"), QStringLiteral("X"));
    QPointer<TFR_TextPanel> watch(strip);
    strip->CloseImage()->click();
    QCOMPARE(f->main->TopPanel()->NoticeCount(), 0);
    QCOMPARE(f->main->TopPanel()->maximumHeight(), 26);
    QTRY_VERIFY(watch.isNull());
    // A second close of the same strip changes nothing.
    f->main->TopPanel()->UserTextClose(nullptr);
    QCOMPARE(f->main->TopPanel()->NoticeCount(), 0);
}

void TestMainWindow::lightIsRedUntilFirstSuccess()
{
    f->Create();
    QVERIFY(f->main->StatusBar()->Light()->IsError());
    // A restore before the first activation (a modal notice keeps the window inactive).
    f->Tray().RestoreFromTray();
    QVERIFY(f->main->StatusBar()->Light()->IsError());
    f->main->FormActivate();
    QVERIFY(f->main->StatusBar()->Light()->IsError());
    QVERIFY(f->main->ConnectionError);
    f->main->SetConnectionState(false);
    QVERIFY(!f->main->StatusBar()->Light()->IsError());
    f->main->SetConnectionState(true);
    QVERIFY(f->main->StatusBar()->Light()->IsError());
}

void TestMainWindow::firstActivationAsksCreditOnce()
{
    f->Create();
    QVERIFY(f->Tray().Starting);
    f->main->FormActivate();
    f->main->FormActivate();
    QCOMPARE(f->gateway.creditQueries, QList<int>{0});
    QVERIFY(!f->Tray().Starting);
    QCOMPARE(f->main->windowTitle(), QStringLiteral("TarvoTelecom - Brelmont"));
}

void TestMainWindow::statusTextClearedByTimer()
{
    f->Create();
    f->main->TimerPulisciMessaggio->setInterval(5);
    emit f->gateway.sendRefused(0, QStringLiteral("Not Connected, check internet/firewall."));
    QCOMPARE(f->main->StatusBar()->Panel2Text(), QStringLiteral("Not Connected, check internet/firewall."));
    QTRY_COMPARE(f->main->StatusBar()->Panel2Text(), QString());
    QVERIFY(!f->main->TimerPulisciMessaggio->isActive());
}

void TestMainWindow::successClearsResultText()
{
    f->Create();
    emit f->gateway.sendRefused(0, QStringLiteral("Error code 12345"));
    f->main->SetConnectionState(true);
    QCOMPARE(f->main->StatusBar()->Panel2Text(), QStringLiteral("Error code 12345"));
    f->main->SetConnectionState(false);
    QCOMPARE(f->main->StatusBar()->Panel2Text(), QString());
}

void TestMainWindow::refusedLoginShownOnlyInNormalState_data()
{
    QTest::addColumn<bool>("minimised");
    QTest::newRow("normal") << false;
    QTest::newRow("minimised") << true;
}

void TestMainWindow::refusedLoginShownOnlyInNormalState()
{
    QFETCH(bool, minimised);
    f->Create();
    f->main->SetConnectionState(false);
    f->Tray().HiddenInTray = minimised;
    emit f->gateway.loginRefused(10061, QStringLiteral("Not Connected, check internet/firewall."));
    QCOMPARE(f->main->ConnectionError, !minimised);
    QCOMPARE(f->main->StatusBar()->Panel2Text(),
             minimised ? QString() : QStringLiteral("Not Connected, check internet/firewall."));
}

void TestMainWindow::creditTickSkippedInTray()
{
    f->Create();
    f->Tray().HiddenInTray = true;
    f->main->TimerAskCreditTimer();
    QVERIFY(f->gateway.creditQueries.isEmpty());
    QVERIFY(f->main->TimerAskCredit->isActive());
}

void TestMainWindow::creditTickAsksAndRestarts()
{
    f->Create();
    QCOMPARE(f->main->TimerAskCredit->interval(), 300000);
    f->main->TimerAskCredit->setInterval(5);
    f->main->TimerAskCredit->start();
    QTRY_VERIFY(f->gateway.creditQueries.size() >= 2);
    QVERIFY(!f->gateway.creditQueries.contains(1));
    QVERIFY(f->main->TimerAskCredit->isActive());
}

void TestMainWindow::settingsDialogPausesCreditTimer()
{
    f->Create();
    QVERIFY(!f->main->SettingsDialog()); // built on first use
    f->main->show();
    f->main->aImpostazioni->trigger();
    TF_Settings* dialog = f->main->SettingsDialog();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(!f->main->TimerAskCredit->isActive());
    dialog->BtnAnnullaClick();
    QCOMPARE(f->gateway.drops, 1);
    QCOMPARE(f->gateway.creditQueries, QList<int>{0});
    QVERIFY(f->main->TimerAskCredit->isActive());
}

void TestMainWindow::minimumSizeSpringsBack()
{
    f->Create();
    f->main->show();
    f->main->resize(200, 150);
    QCOMPARE(f->main->width(), 307);
    QCOMPARE(f->main->height(), 400);
}

void TestMainWindow::resizeKeepsGeometryInSettings()
{
    f->Create();
    f->main->show();
    f->main->resize(420, 560);
    QTRY_COMPARE(f->settings->LastW(), 420);
    QCOMPARE(f->settings->LastH(), 560);
    QCOMPARE(f->settings->LastX(), f->main->x());
    QCOMPARE(f->settings->LastY(), f->main->y());
}

void TestMainWindow::demoAccountPanelAndCommand_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("panel1");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("showCreditEnabled");
    QTest::newRow("empty field") << QString() << QStringLiteral("Test account") << 80 << false;
    QTest::newRow("upper case demo") << QStringLiteral("DEMO") << QStringLiteral("Test account") << 80
                                     << false;
    QTest::newRow("own account") << QStringLiteral("mario") << QString() << 0 << true;
}

void TestMainWindow::demoAccountPanelAndCommand()
{
    QFETCH(QString, userName);
    QFETCH(QString, panel1);
    QFETCH(int, width);
    QFETCH(bool, showCreditEnabled);
    f->Create(userName);
    f->main->SetConnectionState(false);
    QCOMPARE(f->main->StatusBar()->Panel1Text(), panel1);
    QCOMPARE(f->main->StatusBar()->Panel1Width(), width);
    QCOMPARE(f->main->aVisualizzaCredito->isEnabled(), showCreditEnabled);
}

void TestMainWindow::captions_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("exit");
    QTest::addColumn<QString>("showHide");
    QTest::addColumn<QString>("showCredit");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("tools");
    QTest::newRow("ITA") << "ITA"
                         << "&Esci"
                         << "Ripristina/Nascondi"
                         << "Visualizza &credito"
                         << "&Impostazioni..."
                         << "S&trumenti";
    QTest::newRow("ENG") << "ENG"
                         << "&Exit"
                         << "Show/Hide"
                         << "Show your credit"
                         << "&Settings..."
                         << "&Tools";
    QTest::newRow("FRA shows English") << "FRA"
                                       << "&Exit"
                                       << "Show/Hide"
                                       << "Show your credit"
                                       << "&Settings..."
                                       << "&Tools";
    QTest::newRow("POR") << "POR"
                         << "&Saida"
                         << "Reutilizar/Esconder"
                         << "Requerer &credito" << QString::fromUtf8("Con&figuraçoes...") << "&Ferramentas";
}

void TestMainWindow::captions()
{
    QFETCH(QString, code);
    QFETCH(QString, exit);
    QFETCH(QString, showHide);
    QFETCH(QString, showCredit);
    QFETCH(QString, settings);
    QFETCH(QString, tools);
    f->Create();
    f->main->ApplyLanguage(code);
    QCOMPARE(f->main->aChiudiProgramma->text(), exit);
    QCOMPARE(f->main->aRipristinaNascondi->text(), showHide);
    QCOMPARE(f->main->aVisualizzaCredito->text(), showCredit);
    QCOMPARE(f->main->aImpostazioni->text(), settings);
    QCOMPARE(f->main->menuBar()->actions().at(1)->text(), tools);
    QCOMPARE(f->main->windowTitle(), QStringLiteral("TarvoTelecom - Brelmont"));
}

void TestMainWindow::unknownLanguageChangesNothing()
{
    f->Create();
    f->main->ApplyLanguage(QStringLiteral("ENG"));
    f->main->ApplyLanguage(QStringLiteral("ita"));
    f->main->ApplyLanguage(QString());
    QCOMPARE(f->main->aChiudiProgramma->text(), QStringLiteral("&Exit"));
}

void TestMainWindow::accountPagesAreEncoded()
{
    f->Create(QStringLiteral("ma&rio"), QStringLiteral("p+w d"));
    f->settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("WebBaseUrl"),
                                  RegValue::String(QStringLiteral("http://127.0.0.1:18080/")));
    QCOMPARE(f->main->BuyCreditUrl().toString(QUrl::FullyEncoded),
             QStringLiteral("http://127.0.0.1:18080/formlog.aspx?U=ma%26rio&P=p%2Bw%20d"));
    QCOMPARE(f->main->SentMessagesUrl().toString(QUrl::FullyEncoded),
             QStringLiteral("http://127.0.0.1:18080/formLog.aspx?U=ma%26rio&P=p%2Bw%20d&L=H"));
    QCOMPARE(f->main->BuyCreditUrl().query(QUrl::FullyDecoded).contains(u"U=ma&rio"), true);
}

void TestMainWindow::toolPicturesOpenPagesAndAskCredit()
{
    f->Create(QString(), QString()); // demo account: the menu entry is disabled, the picture still works
    f->main->findChild<QToolButton*>(QStringLiteral("ToolImage5"))->click();
    f->main->findChild<QToolButton*>(QStringLiteral("ToolImage3"))->click();
    QCOMPARE(m_opened.size(), 2);
    QCOMPARE(m_opened[0].path(), QStringLiteral("/formlog.aspx"));
    QCOMPARE(m_opened[0].query(), QStringLiteral("U=demo&P=prova"));
    QCOMPARE(m_opened[1].query(), QStringLiteral("U=demo&P=prova&L=H"));
    QVERIFY(!f->main->aVisualizzaCredito->isEnabled());
    f->main->findChild<QToolButton*>(QStringLiteral("ToolImage4"))->click();
    QCOMPARE(f->gateway.creditQueries, QList<int>{1});
}

void TestMainWindow::creditChangeEmptiesPanel1()
{
    f->Create();
    f->main->SetStatusPanel1Text(QStringLiteral("Synchronizing lists..."));
    f->main->SetCredit(12340);
    QCOMPARE(f->main->LastCredit, qint64(12340));
    QCOMPARE(f->main->StatusBar()->Panel1Text(), QString());
    f->main->ResetCredit();
    QCOMPARE(f->main->LastCredit, qint64(0));
}

void TestMainWindow::menusHaveDistinctAccelerators_data()
{
    // English keeps its given captions, "&Settings..." and "&SMS Archive..." share their letter.
    QTest::addColumn<QString>("code");
    for (const char* code : {"ITA", "POR"})
        QTest::newRow(code) << QString::fromLatin1(code);
}

void TestMainWindow::menusHaveDistinctAccelerators()
{
    QFETCH(QString, code);
    f->Create();
    f->main->ApplyLanguage(code);
    QList<const QWidget*> menus{f->main->menuBar()};
    for (const QWidget* menu : f->main->menuBar()->findChildren<QMenu*>())
        menus.append(menu);
    for (const QWidget* menu : menus) {
        QStringList letters;
        for (const QAction* action : menu->actions()) {
            const qsizetype amp = action->text().indexOf(u'&');
            if (action->isVisible() && amp >= 0 && amp + 1 < action->text().size())
                letters.append(action->text().at(amp + 1).toLower());
        }
        const QSet<QString> distinct(letters.begin(), letters.end());
        QVERIFY2(distinct.size() == letters.size(),
                 qPrintable(menu->objectName() + u' ' + letters.join(u',')));
    }
}

void TestMainWindow::screenReadersFindTheControls_data()
{
    QTest::addColumn<QString>("code");
    for (const char* code : {"ITA", "ENG", "POR"})
        QTest::newRow(code) << QString::fromLatin1(code);
}

void TestMainWindow::screenReadersFindTheControls()
{
    QFETCH(QString, code);
    f->Create();
    f->main->ApplyLanguage(code);
    f->main->show();
    // Every control a screen reader walks to from the window, with its name and role.
    QHash<QObject*, std::pair<QString, QAccessible::Role>> reached;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i); child && child->object()) {
                reached.insert(child->object(), {child->text(QAccessible::Name), child->role()});
                walk(child);
            }
    };
    walk(QAccessible::queryAccessibleInterface(f->main.get()));
    using TControl = std::pair<QWidget*, QAccessible::Role>;
    const QList<TControl> controls{
        TControl{f->main->MessagePanel()->TNTMemoMessage, QAccessible::EditableText},
        TControl{f->main->MessagePanel()->lblNChars, QAccessible::StaticText},
        TControl{f->main->ContactsPane()->View(), QAccessible::Tree},
        TControl{f->main->RecipientsPanel()->lvDestinatari, QAccessible::List},
        TControl{f->main->StatusBar()->Light(), QAccessible::Client}};
    QSet<QString> names;
    for (const auto& [control, role] : controls) {
        QVERIFY2(reached.contains(control), control->metaObject()->className());
        QCOMPARE(reached.value(control).second, role);
        names.insert(reached.value(control).first);
    }
    int namedInStatusBar = 0;
    for (QObject* object : reached.keys())
        if (object->parent() == f->main->StatusBar() && !reached.value(object).first.isEmpty())
            names.insert(reached.value(object).first), ++namedInStatusBar;
    QCOMPARE(namedInStatusBar, 3); // the light and the two text panels
    QVERIFY(!names.contains(QString()));
    QCOMPARE(names.size(), controls.size() + 2);

    // The light tells its state; F10 reaches the menus, Help included.
    TConnectionLight* light = f->main->StatusBar()->Light();
    f->main->SetConnectionState(true);
    const QString failed = light->accessibleDescription();
    f->main->SetConnectionState(false);
    QVERIFY(!failed.isEmpty() && !light->accessibleDescription().isEmpty() &&
            light->accessibleDescription() != failed);
    f->main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f->main.get()));
    QTest::keyClick(f->main.get(), Qt::Key_F10);
    QCOMPARE(f->main->menuBar()->activeAction(), f->main->menuBar()->actions().value(0));
}

void TestMainWindow::commandsWaitForTheirServices()
{
    f->Create();
    f->main->ProgramActionsUpdate();
    for (QAction* action : {f->main->aSuggerimento, f->main->aVerificaAggiornamenti,
                            f->main->aRichiestaLookup, f->main->aImportFromOutlookExpress})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(f->main->aGestisciListe->isEnabled() && f->main->aImportVCard->isEnabled());
    QVERIFY(!f->main->aImportPrecedente->isVisible());
    // Pictures 1 and 6 open the contact panel and the quick-search strip.
    QCOMPARE(f->main->TopPanel()->ToolBar()->PictureButtons().size(), 6);
    f->main->findChild<QToolButton*>(QStringLiteral("ToolImage6"))->click();
    QVERIFY(f->main->ContactsPane()->QuickSearchStrip());
    f->main->findChild<QToolButton*>(QStringLiteral("ToolImage1"))->click();
    QVERIFY(f->main->ContactPanel()->IsOpen());
}

void TestMainWindow::manualFollowsLanguage_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("manual");
    QTest::newRow("ITA") << "ITA"
                         << "ITA";
    QTest::newRow("ENG") << "ENG"
                         << "ENG";
    QTest::newRow("POR opens English") << "POR"
                                       << "ENG";
}

void TestMainWindow::manualFollowsLanguage()
{
    QFETCH(QString, code);
    QFETCH(QString, manual);
    f->Create();
    f->settings->SetLanguage(code);
    f->settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("DownloadBaseUrl"),
                                  RegValue::String(QStringLiteral("http://127.0.0.1:18081/")));
    f->main->aManuale->trigger();
    QCOMPARE(
        m_opened,
        QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1:18081/updates/Brelmont_Help_%1.pdf").arg(manual))});
}

void TestMainWindow::servicesReportInTheWindow()
{
    TNumberLookup lookup([] { return TLookupContext{}; });
    TSuggestionSender suggestions([] { return TSuggestionContext{}; });
    TUpdateCheck updates;
    TSetupDownload setup;
    TMainWindowServices services;
    services.Lookup = &lookup;
    services.Suggestions = &suggestions;
    services.Updates = &updates;
    services.Setup = &setup;
    f->Create(QStringLiteral("mario"), QStringLiteral("secret"), {}, services);
    TGlobalTexts texts;
    texts.ApplyLanguage(QStringLiteral("ENG"));
    f->main->ApplyLanguage(QStringLiteral("ENG"));
    emit lookup.lookupFailed(1, QStringLiteral("+39333"), QStringLiteral("refused"));
    QCOMPARE(f->main->StatusBar()->Panel2Text(), texts.TextRequestFailed);
    emit suggestions.suggestionSent(1);
    QCOMPARE(f->main->StatusBar()->Panel2Text(), texts.TextSent);

    // The update row under the send controls, and the end after the setup program started.
    QWidget* commands = f->main->UpdateRow()->parentWidget();
    emit updates.newerVersionFound(QStringLiteral("9.0"), QUrl(QStringLiteral("http://127.0.0.1:1/s")));
    QCOMPARE(commands->maximumHeight(), TUpdateLinkRow::CommandPanelHeightWithRow);
    f->main->Image1Click();
    QCOMPARE(commands->maximumHeight(), TUpdateLinkRow::CommandPanelHeight);
    QSignalSpy ending(f->main.get(), &TF_Main::programEnding);
    emit setup.finished(QStringLiteral("/tmp/setup"));
    QCOMPARE(ending.count(), 1);
    QVERIFY(f->main->ExitRequested && f->main->TimerCloseAppAfterUpdate->isActive());
}

void TestMainWindow::listManagerRestoresTheFrame()
{
    f->Create();
    f->main->StatusBar()->SetPanel1Text(QStringLiteral("before"));
    DialogTestHook::AnswerAtOnce(true);
    f->main->aGestisciListe->trigger();
    DialogTestHook::AnswerAtOnce(false);
    QCOMPARE(DialogTestHook::ExecutedDialogs().value(0), QStringLiteral("TF_Liste"));
    QVERIFY(!f->main->ContactsPane()->IsLoading()); // nothing changed: the tree stays as it was
    QCOMPARE(f->main->StatusBar()->Panel1Text(), QStringLiteral("before"));
    QVERIFY(f->Tray().Tray->contextMenu());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
