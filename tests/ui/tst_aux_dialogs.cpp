#include "WidgetChecks.h"
#include "platform/Paths.h"
#include "platform/SystemFacts.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/LoginDialog.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/ScheduleDialog.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/dialogs/TestMessageDialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

class TestAuxDialogs : public QObject
{
    Q_OBJECT

private slots:
    void fixedWindowsHaveNoMinimiseOrMaximise();
    void init();
    void cleanup();
    void aboutTexts_data();
    void aboutTexts();
    void aboutShowsVersionYearAndAddress();
    void aboutLinkOpensHomePage();
    void aboutGoesLeftOfMainWindowAtRightEdge();
    void testMessageTexts_data();
    void testMessageTexts();
    void testMessageContactOpensChatPage_data();
    void testMessageContactOpensChatPage();
    void loginLayout();
    void loginCloseBoxStillTakesOver();
    void loginAskTakesOverWithoutTyping();
    void runShowsModallyOrAnswersAtOnce();
    void textsFit_data();
    void textsFit();

private:
    QList<QUrl> m_opened;
};

void TestAuxDialogs::init()
{
    m_opened.clear();
    SetBrowserOpener([this](const QUrl& url) { m_opened.append(url); });
}

void TestAuxDialogs::cleanup()
{
    SetBrowserOpener({});
    SystemFacts::OverrideNow(std::nullopt);
    DialogTestHook::AnswerAtOnce(false);
    DialogTestHook::ClearExecutedDialogs();
}

void TestAuxDialogs::aboutTexts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("description");
    QTest::newRow("ITA") << QStringLiteral("ITA") << QStringLiteral("Informazioni su Brelmont")
                         << QStringLiteral("Brelmont per Microsoft Windows, versione");
    QTest::newRow("ENG") << QStringLiteral("ENG") << QStringLiteral("Info about Brelmont")
                         << QStringLiteral("Brelmont for Microsoft Windows, version");
    QTest::newRow("ESP shows English") << QStringLiteral("ESP") << QStringLiteral("Info about Brelmont")
                                       << QStringLiteral("Brelmont for Microsoft Windows, version");
    QTest::newRow("POR") << QStringLiteral("POR") << QStringLiteral("Informaçoes sobre Brelmont")
                         << QStringLiteral("Brelmnt por Microsoft Windows, versao");
    QTest::newRow("unknown keeps Italian")
        << QStringLiteral("xx") << QStringLiteral("Informazioni su Brelmont")
        << QStringLiteral("Brelmont per Microsoft Windows, versione");
}

void TestAuxDialogs::aboutTexts()
{
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(QString, description);
    TF_About about(nullptr, code, QStringLiteral("http://www.example.org"));
    QCOMPARE(about.windowTitle(), title);
    QCOMPARE(about.lblDescrizione->text(), description);
}

void TestAuxDialogs::aboutShowsVersionYearAndAddress()
{
    SystemFacts::OverrideNow(QDateTime(QDate(2031, 3, 4), QTime(10, 0)));
    TF_About about(nullptr, QStringLiteral("ENG"), QStringLiteral("http://127.0.0.1:18080"));
    QCOMPARE(about.lblVersion->text(), GetProgramVersion());
    QVERIFY(!about.lblVersion->text().isEmpty());
    QVERIFY2(about.lblNotice->text().contains(u"2031"), qPrintable(about.lblNotice->text()));
    QVERIFY2(about.Label3->text().contains(u"127.0.0.1:18080"), qPrintable(about.Label3->text()));
}

void TestAuxDialogs::aboutLinkOpensHomePage()
{
    TF_About about(nullptr, QStringLiteral("ITA"), QStringLiteral("http://www.example.org"));
    emit about.Label3->linkActivated(QStringLiteral("http://www.example.org"));
    QCOMPARE(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://www.example.org"))});
}

void TestAuxDialogs::aboutGoesLeftOfMainWindowAtRightEdge()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget mainWindow;
    mainWindow.setGeometry(area.left() + area.width() - 300, area.top() + 20, 300, 400);
    TF_About about(&mainWindow, QStringLiteral("ITA"), QStringLiteral("http://www.example.org"));
    const QRect m = mainWindow.frameGeometry();
    const QRect a = about.frameGeometry();
    QCOMPARE(a.left() + a.width() + 2, m.left());
    QCOMPARE(a.top() + a.height(), m.top() + m.height());
}

void TestAuxDialogs::testMessageTexts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("close");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("start");
    QTest::newRow("ITA") << QStringLiteral("ITA") << QStringLiteral("Attenzione") << QStringLiteral("Chiudi")
                         << QStringLiteral("Contattaci subito!")
                         << QStringLiteral("La spedizione di messaggi");
    QTest::newRow("ENG") << QStringLiteral("ENG") << QStringLiteral("Warning") << QStringLiteral("Close")
                         << QStringLiteral("Contact us now!") << QStringLiteral("The dispatch of messages");
    QTest::newRow("POR") << QStringLiteral("POR") << QStringLiteral("Messaggio") << QStringLiteral("Fechar")
                         << QStringLiteral("Contata-nos") << QStringLiteral("O invio das mesagens");
}

void TestAuxDialogs::testMessageTexts()
{
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(QString, close);
    QFETCH(QString, tooltip);
    QFETCH(QString, start);
    TF_TestMessage notice(nullptr, code, QStringLiteral("http://www.example.org"));
    QCOMPARE(notice.windowTitle(), title);
    QCOMPARE(notice.BtnClose->text(), close);
    QCOMPARE(notice.sbChat->toolTip(), tooltip);
    QVERIFY2(notice.lblMessage->text().startsWith(start), qPrintable(notice.lblMessage->text()));
}

void TestAuxDialogs::testMessageContactOpensChatPage_data()
{
    QTest::addColumn<QString>("base");
    QTest::newRow("plain") << QStringLiteral("http://127.0.0.1:18080");
    QTest::newRow("trailing slash") << QStringLiteral("http://127.0.0.1:18080/");
}

void TestAuxDialogs::testMessageContactOpensChatPage()
{
    QFETCH(QString, base);
    TF_TestMessage notice(nullptr, QStringLiteral("ENG"), base);
    notice.sbChat->click();
    QCOMPARE(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1:18080/Chat.html"))});
}

void TestAuxDialogs::loginLayout()
{
    TF_Login login(QStringLiteral("mario"));
    QCOMPARE(login.windowTitle(), QStringLiteral("Login"));
    QCOMPARE(login.Edit_Login->text(), QStringLiteral("mario"));
    QCOMPARE(login.Edit_Password->echoMode(), QLineEdit::Password);
    QVERIFY(!login.cbRememberPwd->isChecked());
    QCOMPARE(login.cbRememberPwd->text(), QStringLiteral("Ricorda password"));
    QCOMPARE(login.BtnAccedi->text(), QStringLiteral("Accedi"));
    QVERIFY(login.BtnAccedi->isDefault());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(login.geometry().center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(login.geometry().center().y() - area.center().y()) <= 1);
}

void TestAuxDialogs::loginCloseBoxStillTakesOver()
{
    QTemporaryDir dir;
    TSettingsHolder settings(dir.filePath(QStringLiteral("registry.reg")));
    QTimer::singleShot(0, [] {
        auto* login = qobject_cast<TF_Login*>(QApplication::activeModalWidget());
        QVERIFY(login);
        login->Edit_Login->clear();
        QTest::keyClicks(login->Edit_Login, QStringLiteral("mario"));
        QTest::keyClicks(login->Edit_Password, QStringLiteral("s3cret"));
        login->cbRememberPwd->click();
        login->close();
    });
    QCOMPARE(TF_Login::Ask(settings), int(QDialog::Rejected));
    QCOMPARE(settings.GetUserName(), QStringLiteral("mario"));
    QCOMPARE(settings.GetPassword(), QStringLiteral("s3cret"));
    QVERIFY(settings.GetRememberPwd());
}

void TestAuxDialogs::loginAskTakesOverWithoutTyping()
{
    QTemporaryDir dir;
    TSettingsHolder settings(dir.filePath(QStringLiteral("registry.reg")));
    settings.SetUserName(QStringLiteral("anna"));
    settings.SetPassword(QStringLiteral("old"));
    settings.SetRememberPwd(true);
    DialogTestHook::AnswerAtOnce(true);
    QCOMPARE(TF_Login::Ask(settings), int(QDialog::Accepted));
    QCOMPARE(DialogTestHook::ExecutedDialogs(), QStringList{QStringLiteral("TF_Login")});
    QCOMPARE(settings.GetUserName(), QStringLiteral("anna"));
    // The prompt's empty password and unticked box are taken over as they are.
    QCOMPARE(settings.PasswordField(), QString());
    QVERIFY(!settings.GetRememberPwd());
}

void TestAuxDialogs::runShowsModallyOrAnswersAtOnce()
{
    QString shownTitle;
    QTimer::singleShot(0, [&shownTitle] {
        QWidget* shown = QApplication::activeModalWidget();
        QVERIFY(shown);
        shownTitle = shown->windowTitle();
        shown->close();
    });
    QCOMPARE(TF_TestMessage::Run(nullptr, QStringLiteral("ENG"), QStringLiteral("http://x.example")),
             int(QDialog::Rejected));
    QCOMPARE(shownTitle, QStringLiteral("Warning"));

    DialogTestHook::AnswerAtOnce(true);
    QCOMPARE(TF_TestMessage::Run(nullptr, QStringLiteral("ENG"), QStringLiteral("http://x.example")), 1);
    QCOMPARE(TF_About::Run(nullptr, QStringLiteral("ENG"), QStringLiteral("http://x.example")), 1);
    QCOMPARE(DialogTestHook::ExecutedDialogs(),
             (QStringList{QStringLiteral("TF_TestMessage"), QStringLiteral("TF_About")}));
}

void TestAuxDialogs::textsFit_data()
{
    QTest::addColumn<QString>("code");
    for (const char* code : {"ITA", "ENG", "POR"})
        QTest::newRow(code) << QString::fromLatin1(code);
}

void TestAuxDialogs::textsFit()
{
    QFETCH(QString, code);
    const QString url = QStringLiteral("http://www.tarvotelecom.example");
    TF_About about(nullptr, code, url);
    about.show();
    QCOMPARE(CutControls(&about), QStringList());
    TF_TestMessage notice(nullptr, code, url);
    notice.show();
    QCOMPARE(CutControls(&notice), QStringList());
    QVERIFY(notice.lblMessage->height() >= notice.lblMessage->heightForWidth(notice.lblMessage->width()));
    TF_Login login(QStringLiteral("mario"));
    login.show();
    QCOMPARE(CutControls(&login), QStringList());
}

void TestAuxDialogs::fixedWindowsHaveNoMinimiseOrMaximise()
{
    QTemporaryDir folder;
    TSettingsHolder settings(folder.filePath(QStringLiteral("registry.reg")));
    TF_About about(nullptr, QStringLiteral("ENG"), QStringLiteral("http://www.example.org"));
    TF_Settings dialog(settings);
    TF_Ritardo schedule(nullptr, QStringLiteral("ENG"));
    TF_Message message(nullptr, TF_Message::ButtonsOk, QStringLiteral("ENG"));
    for (QWidget* window : std::initializer_list<QWidget*>{&about, &dialog, &schedule, &message})
        QVERIFY2((window->windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint |
                                           Qt::CustomizeWindowHint)) == Qt::CustomizeWindowHint,
                 qPrintable(window->objectName()));
    // The schedule dialog's right column follows the calendar's width.
    schedule.show();
    QCOMPARE(schedule.width(), schedule.Calendario->width() + TF_Ritardo::ExtraWidth);
    QCOMPARE(schedule.Orario->x(), schedule.Calendario->geometry().right() + 1 + TF_Ritardo::ColumnGap);
}

QTEST_MAIN(TestAuxDialogs)
#include "tst_aux_dialogs.moc"
