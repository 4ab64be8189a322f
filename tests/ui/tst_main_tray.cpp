#include "MainWindowFixture.h"
#include "platform/RegistryStore.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/LoginDialog.h"
#include "ui/main/FirstTimeNotice.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestMainTray : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void closeHidesInTray();
    void closeWithoutTrayMinimises();
    void firstCloseNotice_data();
    void firstCloseNotice();
    void exitEndsOnce();
    void hiddenWindowEndsOnSessionEnd();
    void trayClicksRestoreOnce();
    void showHideEntry();
    void restoreWithRedLightAsksCredit();
    void creditTimerPausedInTray();
    void startUpVisibility_data();
    void startUpVisibility();
    void ordinaryStartNoticeBottomRightThenAgainOnClose();
    void trayLoginPromptTakesAccount();
    void trayLoginPromptCancelStillRestores();
    void noPromptWithStoredPassword_data();
    void noPromptWithStoredPassword();
    void trayIconStaysVisible();

private:
    // Answers the modal dialog of type T that opens next with the given step.
    template <typename T> void WhenOpen(std::function<void(T*)> step)
    {
        QTimer::singleShot(0, this, [step] {
            QTRY_VERIFY(qobject_cast<T*>(QApplication::activeModalWidget()));
            step(qobject_cast<T*>(QApplication::activeModalWidget()));
        });
    }

    std::unique_ptr<TMainWindowFixture> f;
};

void TestMainTray::init()
{
    f = std::make_unique<TMainWindowFixture>();
    QVERIFY(f->folder.isValid());
}

void TestMainTray::cleanup()
{
    f.reset();
    DialogTestHook::AnswerAtOnce(false);
    DialogTestHook::ClearExecutedDialogs();
}

void TestMainTray::closeHidesInTray()
{
    f->Create();
    f->settings->SetFirstTimeClose(true);
    f->Tray().SetUsesTray(true);
    QSignalSpy ending(f->main.get(), &TF_Main::programEnding);
    f->main->show();
    QVERIFY(!f->main->close());
    QVERIFY(!f->main->isVisible());
    QVERIFY(f->Tray().HiddenInTray);
    QVERIFY(!f->main->ExitRequested);
    QCOMPARE(ending.size(), 0);
    QVERIFY(!f->main->IsWindowStateNormal());
}

void TestMainTray::closeWithoutTrayMinimises()
{
    f->Create();
    f->Tray().SetUsesTray(false);
    DialogTestHook::AnswerAtOnce(true);
    f->main->show();
    QVERIFY(!f->main->close());
    // Never lost: still on the task bar, minimised, and no tray notice was shown.
    QVERIFY(f->main->isVisible());
    QVERIFY(f->main->isMinimized());
    QVERIFY(f->Tray().HiddenInTray);
    QCOMPARE(DialogTestHook::ExecutedDialogs(), QStringList());
    // Restored from the task bar (also before the first activation): no longer counted as hidden.
    f->main->showNormal();
    QVERIFY(!f->Tray().HiddenInTray);
    f->main->TimerAskCreditTimer();
    QCOMPARE(f->gateway.creditQueries, QList<int>{0});
}

void TestMainTray::firstCloseNotice_data()
{
    QTest::addColumn<bool>("keepTicked");
    QTest::addColumn<bool>("storedAfter");
    QTest::newRow("ticked: never again") << true << true;
    QTest::newRow("cleared: shown next time") << false << false;
}

void TestMainTray::firstCloseNotice()
{
    QFETCH(bool, keepTicked);
    QFETCH(bool, storedAfter);
    f->Create();
    f->Tray().SetUsesTray(true);
    f->main->ApplyLanguage(QStringLiteral("ENG"));
    f->main->show();
    QString text;
    WhenOpen<TF_FirstTime>([&](TF_FirstTime* notice) {
        text = notice->lblMsgClose->text();
        QVERIFY(notice->cbDontShowAgain->isChecked());
        notice->cbDontShowAgain->setChecked(keepTicked);
        notice->BtnOk_2->click();
    });
    f->main->close();
    QVERIFY(text.startsWith(u"After you close the program"));
    QCOMPARE(f->settings->GetFirstTimeClose(), storedAfter);
    RegistryStore stored(f->RegistryPath());
    stored.Load();
    QCOMPARE(stored.ValueExists(TSettingsHolder::SettingsKey(), QStringLiteral("FirstTimeClose")) &&
                 stored.ReadBool(TSettingsHolder::SettingsKey(), QStringLiteral("FirstTimeClose")),
             storedAfter);
}

void TestMainTray::exitEndsOnce()
{
    f->Create();
    QSignalSpy ending(f->main.get(), &TF_Main::programEnding);
    f->main->show();
    f->main->aChiudiProgramma->trigger();
    QCOMPARE(ending.size(), 1);
    QVERIFY(f->main->ExitRequested);
    QVERIFY(!f->main->isVisible());
}

void TestMainTray::hiddenWindowEndsOnSessionEnd()
{
    f->Create();
    f->settings->SetFirstTimeClose(false);
    f->Tray().SetUsesTray(true);
    DialogTestHook::AnswerAtOnce(true);
    f->main->show();
    f->main->close();
    DialogTestHook::ClearExecutedDialogs();
    QSignalSpy ending(f->main.get(), &TF_Main::programEnding);
    f->main->EndSession();
    QCOMPARE(ending.size(), 1);
    QCOMPARE(DialogTestHook::ExecutedDialogs(), QStringList()); // no question on the way out
}

void TestMainTray::trayClicksRestoreOnce()
{
    f->Create();
    f->Tray().SetUsesTray(true);
    f->Tray().HideInTray();
    QCOMPARE(f->Tray().TimerDoubleClicked->interval(), 500);
    f->Tray().TimerDoubleClicked->setInterval(5);
    f->Tray().TrayClick();
    const int remaining = f->Tray().TimerDoubleClicked->remainingTime();
    f->Tray().TrayClick(); // a second click inside the interval does not restart the timer
    QVERIFY(f->Tray().TimerDoubleClicked->remainingTime() <= remaining);
    QVERIFY(f->main->isHidden());
    QTRY_VERIFY(f->main->isVisible());
    QVERIFY(!f->Tray().HiddenInTray);
    QVERIFY(!f->main->isMinimized());
    QVERIFY(!f->Tray().TimerDoubleClicked->isActive());
}

void TestMainTray::showHideEntry()
{
    f->Create();
    f->settings->SetFirstTimeClose(true);
    f->Tray().SetUsesTray(true);
    f->main->show();
    f->main->aRipristinaNascondi->trigger();
    QVERIFY(f->Tray().HiddenInTray);
    QVERIFY(!f->main->isVisible());
    f->main->aRipristinaNascondi->trigger(); // at once, without the restore timer
    QVERIFY(f->main->isVisible());
    QVERIFY(!f->Tray().HiddenInTray);
    QVERIFY(!f->Tray().TimerDoubleClicked->isActive());
}

void TestMainTray::restoreWithRedLightAsksCredit()
{
    f->Create();
    f->Tray().SetUsesTray(true);
    f->main->FormActivate();
    QCOMPARE(f->gateway.creditQueries, QList<int>{0});
    f->Tray().HideInTray();
    f->Tray().RestoreFromTray();
    QCOMPARE(f->gateway.creditQueries, (QList<int>{0, 0}));
    f->main->SetConnectionState(false);
    f->Tray().HideInTray();
    f->Tray().RestoreFromTray();
    QCOMPARE(f->gateway.creditQueries.size(), 2); // green light: no new query
}

void TestMainTray::creditTimerPausedInTray()
{
    f->Create();
    f->Tray().SetUsesTray(true);
    f->Tray().HideInTray();
    f->main->TimerAskCredit->setInterval(5);
    f->main->TimerAskCredit->start();
    QTest::qWait(30);
    QVERIFY(f->gateway.creditQueries.isEmpty());
    f->Tray().RestoreFromTray();
    QTRY_VERIFY(!f->gateway.creditQueries.isEmpty());
}

void TestMainTray::startUpVisibility_data()
{
    QTest::addColumn<bool>("firstTime");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("shown");
    QTest::newRow("very first start is shown") << true << QStringList() << true;
    QTest::newRow("later start goes to the tray") << false << QStringList() << false;
    QTest::newRow("later start with show") << false << QStringList{QStringLiteral("show")} << true;
    QTest::newRow("other argument ignored") << false << QStringList{QStringLiteral("hide")} << false;
}

void TestMainTray::startUpVisibility()
{
    QFETCH(bool, firstTime);
    QFETCH(QStringList, arguments);
    QFETCH(bool, shown);
    f->Create(QStringLiteral("mario"), QStringLiteral("secret"), arguments);
    f->settings->SetFirstTime(firstTime);
    f->Tray().SetUsesTray(true);
    DialogTestHook::AnswerAtOnce(true);
    f->main->TimerStartTimer();
    QCOMPARE(f->main->isVisible(), shown);
    QCOMPARE(f->Tray().HiddenInTray, !shown);
    QVERIFY(!f->settings->IsFirstTime());
    // An ordinary start with FirstTimeClose false shows the notice (box ticked: only once).
    QCOMPARE(DialogTestHook::ExecutedDialogs().count(QStringLiteral("TF_FirstTime")), firstTime ? 0 : 1);
    RegistryStore stored(f->RegistryPath());
    stored.Load();
    QCOMPARE(stored.ReadBool(TSettingsHolder::SettingsKey(), QStringLiteral("FirstTime")), false);
}

void TestMainTray::ordinaryStartNoticeBottomRightThenAgainOnClose()
{
    f->Create();
    f->settings->SetFirstTime(false);
    f->settings->SetFirstTimeClose(false);
    f->settings->SetLanguage(QStringLiteral("ITA")); // the start-up step applies it
    f->Tray().SetUsesTray(true);
    f->main->move(150, 90);
    // Answers each notice as it opens: the first with its box cleared, the second ticked.
    QList<QRect> shownAt;
    QStringList texts;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        auto* notice = qobject_cast<TF_FirstTime*>(QApplication::activeModalWidget());
        if (!notice || notice->property("answered").toBool())
            return;
        notice->setProperty("answered", true);
        shownAt.append(notice->frameGeometry());
        texts.append(notice->cbDontShowAgain->text());
        notice->cbDontShowAgain->setChecked(shownAt.size() > 1);
        notice->BtnOk_2->click();
    });
    answer.start(10);
    f->main->TimerStartTimer();
    answer.stop();

    QCOMPARE(shownAt.size(), 2);
    // The start-up notice sits at the primary monitor's bottom right, above the task bar.
    const QRect monitor = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(shownAt[0].topLeft(),
             QPoint(monitor.width() - shownAt[0].width() - 2, monitor.height() - shownAt[0].height() - 40));
    // The box was cleared, so the close that sends the window to the tray shows it again,
    // at the main window's left and top.
    QCOMPARE(shownAt[1].topLeft(), QPoint(150, 90));
    QCOMPARE(texts, QStringList(2, QStringLiteral("Non visualizzare più questo messaggio")));
    QVERIFY(f->settings->GetFirstTimeClose());
    QVERIFY(f->Tray().HiddenInTray);
    QVERIFY(!f->main->isVisible());
}

void TestMainTray::trayLoginPromptTakesAccount()
{
    f->Create(QStringLiteral("mario"), QString());
    f->Tray().SetUsesTray(true);
    f->Tray().HideInTray();
    QString shownUser;
    WhenOpen<TF_Login>([&](TF_Login* login) {
        shownUser = login->Edit_Login->text();
        login->Edit_Password->setText(QStringLiteral("segreto"));
        login->cbRememberPwd->setChecked(true);
        login->BtnAccedi->click();
    });
    emit f->Tray().Tray->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(shownUser, QStringLiteral("mario"));
    QCOMPARE(f->settings->GetPassword(), QStringLiteral("segreto"));
    QVERIFY(f->settings->GetRememberPwd());
    QVERIFY(f->Tray().TimerDoubleClicked->isActive());
    // Nothing was written to the registry by the prompt.
    RegistryStore stored(f->RegistryPath());
    stored.Load();
    QVERIFY(!stored.ValueExists(TSettingsHolder::SettingsKey(), QStringLiteral("RememberPwd")));
}

void TestMainTray::trayLoginPromptCancelStillRestores()
{
    f->Create(QStringLiteral("mario"), QString());
    f->Tray().SetUsesTray(true);
    f->Tray().HideInTray();
    f->Tray().TimerDoubleClicked->setInterval(5);
    WhenOpen<TF_Login>([](TF_Login* login) { login->reject(); });
    f->Tray().TrayMouseDown();
    QTRY_VERIFY(f->main->isVisible());
    QVERIFY(!f->Tray().HiddenInTray);
}

void TestMainTray::noPromptWithStoredPassword_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("password");
    QTest::newRow("stored password") << QStringLiteral("mario") << QStringLiteral("secret");
    QTest::newRow("demo account") << QString() << QString();
}

void TestMainTray::noPromptWithStoredPassword()
{
    QFETCH(QString, userName);
    QFETCH(QString, password);
    f->Create(userName, password);
    DialogTestHook::AnswerAtOnce(true);
    f->Tray().TrayMouseDown();
    QCOMPARE(DialogTestHook::ExecutedDialogs(), QStringList());
    QVERIFY(f->Tray().TimerDoubleClicked->isActive());
}

void TestMainTray::trayIconStaysVisible()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("no system tray on this desktop");
    f->Create();
    f->settings->SetFirstTimeClose(true);
    f->main->show();
    f->main->close();
    QVERIFY(f->Tray().Tray->isVisible());
    QVERIFY(f->Tray().Tray->contextMenu() == f->Tray().PopTray);
}

QTEST_MAIN(TestMainTray)
#include "tst_main_tray.moc"
