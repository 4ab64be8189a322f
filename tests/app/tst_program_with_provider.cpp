#include "app/DataModule.h"
#include "app/Program.h"
#include "net/GatewayResults.h"
#include "net/SMSServer.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/SqliteShell.h"
#include "platform/OleDate.h"
#include "platform/RegistryStore.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/ContactsView.h"
#include "ui/main/MessagePanel.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/RecipientsPanel.h"
#include "ui/main/SendControls.h"
#include "ui/main/StatusBar.h"
#include "ui/main/TopPanel.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The program against the provider stand-in on loopback, as the README's run command starts it.
class TestProgramWithProvider : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lightTurnsGreenAndCreditShows();
    void refusedLoginKeepsLightRed();
    void writeSendWithAltSAndContinue();

private:
    void StartProvider(const QString& account);
    void WriteAccount(const QString& user, const QString& password);
    QString RegistryPath() const { return m_folder->filePath(QStringLiteral("registry.reg")); }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QProcess> m_provider;
    QString m_log;
};

void TestProgramWithProvider::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    DialogTestHook::AnswerAtOnce(true);
}

void TestProgramWithProvider::cleanup()
{
    if (m_provider) {
        m_provider->terminate();
        m_provider->waitForFinished(5000);
        m_provider.reset();
    }
    DialogTestHook::AnswerAtOnce(false);
    QFile::remove(TPhoneBook::DefaultCurrentFile());
    m_folder.reset();
}

void TestProgramWithProvider::StartProvider(const QString& account)
{
    m_provider = std::make_unique<QProcess>();
    m_log = m_folder->filePath(QStringLiteral("submissions.jsonl"));
    m_provider->start(QStringLiteral(PROVIDER_SIM_EXE),
                      {QStringLiteral("--account"), account, QStringLiteral("--log"), m_log});
    QVERIFY(m_provider->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(m_provider->canReadLine(), 10000);
    const QString line = QString::fromUtf8(m_provider->readLine());
    const auto match =
        QRegularExpression(
            QStringLiteral("gateway-port=(\\d+) gateway-fallback-port=(\\d+) http-port=(\\d+)"))
            .match(line);
    QVERIFY2(match.hasMatch(), qPrintable(line));
    RegistryStore store(RegistryPath());
    store.Load();
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayHost"),
                   RegValue::String(QStringLiteral("127.0.0.1")));
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayPort"),
                   RegValue::Dword(match.captured(1).toUInt()));
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayFallbackPort"),
                   RegValue::Dword(match.captured(2).toUInt()));
    // The update check of the first activation asks the stand-in too.
    const QString web = QStringLiteral("http://127.0.0.1:") + match.captured(3);
    for (const char* name : {"WebBaseUrl", "DownloadBaseUrl"})
        store.SetValue(TEndpoints::KeyPath(), QString::fromLatin1(name), RegValue::String(web));
    store.Save();
}

void TestProgramWithProvider::WriteAccount(const QString& user, const QString& password)
{
    TSettingsHolder settings(RegistryPath());
    settings.LoadSettings(false);
    settings.SetUserName(user);
    settings.SetRememberPwd(true);
    settings.SetPassword(password);
    settings.SetLanguage(QStringLiteral("ENG"));
    settings.SetTimeZone(1); // the provider's own: a delivery time travels unchanged
    QVERIFY(settings.SaveSettings());
}

void TestProgramWithProvider::lightTurnsGreenAndCreditShows()
{
    StartProvider(QStringLiteral("tester:segreto:12340"));
    WriteAccount(QStringLiteral("tester"), QStringLiteral("segreto"));
    TBrelmontProgram program({}, RegistryPath());
    TF_Main* main = program.MainWindow();
    // The very first start shows the window; its first activation asks the credit silently.
    QTRY_VERIFY_WITH_TIMEOUT(!main->StatusBar()->Light()->IsError(), 15000);
    QCOMPARE(main->LastCredit, qint64(12340));
    // The silent query leaves no credit strip.
    QVERIFY(!main->TopPanel()->NoticeArea()->FindStrip(QStringLiteral("FrCredit")));

    main->aVisualizzaCredito->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(main->TopPanel()->NoticeArea()->FindStrip(QStringLiteral("FrCredit")), 15000);
    const QString text = main->TopPanel()->NoticeArea()->FindStrip(QStringLiteral("FrCredit"))->Message();
    QCOMPARE(text, program.DataModule()->Gateway().CreditText(12340));
    QVERIFY(text.startsWith(u"Credits: "));
}

void TestProgramWithProvider::refusedLoginKeepsLightRed()
{
    StartProvider(QStringLiteral("tester:segreto:12340"));
    WriteAccount(QStringLiteral("tester"), QStringLiteral("wrong"));
    TBrelmontProgram program({}, RegistryPath());
    TF_Main* main = program.MainWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!main->StatusBar()->Panel2Text().isEmpty(), 15000);
    QCOMPARE(main->StatusBar()->Panel2Text(), QStringLiteral("UserID/Password syntax error."));
    QVERIFY(main->StatusBar()->Light()->IsError());
}

void TestProgramWithProvider::writeSendWithAltSAndContinue()
{
    REQUIRE_SQLITE_SHELL();
    QVERIFY(QDir().mkpath(QFileInfo(TPhoneBook::DefaultCurrentFile()).path()));
    RunSqliteShell(TPhoneBook::DefaultCurrentFile(),
                   PhoneBookSchemaSql() + ContactRow("", "Ada", "Byron", "+39 333 1112222") +
                       ListRows("Amici", {"Carlo|Rossi|+393335556666", "Dora|Bianchi|+41791234567"}));
    StartProvider(QStringLiteral("tester:segreto:12340"));
    WriteAccount(QStringLiteral("tester"), QStringLiteral("segreto"));
    TBrelmontProgram program({QStringLiteral("show")}, RegistryPath());
    TF_Main* main = program.MainWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!main->StatusBar()->Light()->IsError(), 15000);
    QVERIFY(QTest::qWaitForWindowActive(main));
    TMessagePanel* panel = main->MessagePanel();
    TSendControls* controls = panel->SendControls();

    QTest::keyClicks(panel->TNTMemoMessage, QStringLiteral("Ciao dal test"));
    // The contact and the list, clicked in the tree (contacts come before lists).
    TContactsView* tree = main->ContactsPane()->View();
    QTRY_COMPARE_WITH_TIMEOUT(tree->model()->rowCount(), 2, 15000);
    for (int row : {0, 1})
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualRect(tree->model()->index(row, 0)).center());
    QTRY_COMPARE_WITH_TIMEOUT(panel->Destinations().UniqueRecipients, 3, 15000);
    TF_Message::SetNextAnswer(TF_Message::ResultOk); // the medium-quality notice
    controls->rbMQ->click();
    const QDateTime at(QDate::currentDate().addDays(1), QTime(10, 0));
    controls->rbProgrammato->setChecked(true);
    controls->SetSchedule(DateTimeToDays(at));
    QTest::keyClick(panel->TNTMemoMessage, Qt::Key_S, Qt::AltModifier);

    QTRY_VERIFY_WITH_TIMEOUT(panel->IsSentState(), 15000);
    QCOMPARE(controls->lblStatus->text(), program.DataModule()->Texts.TextSent);
    QVERIFY(main->LastCredit < 12340);
    QFile log(m_log);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QJsonObject entry = QJsonDocument::fromJson(log.readLine()).object();
    QCOMPARE(entry.value(QStringLiteral("destinations")).toArray(),
             (QJsonArray{QStringLiteral("+393331112222"), QStringLiteral("+393335556666"),
                         QStringLiteral("+41791234567")}));
    QCOMPARE(entry.value(QStringLiteral("text")).toString(), QStringLiteral("Ciao dal test"));
    QCOMPARE(entry.value(QStringLiteral("quality")).toString(), QStringLiteral("M"));
    QCOMPARE(entry.value(QStringLiteral("schedule")).toString(), at.toString(Qt::ISODate));
    QCOMPARE(entry.value(QStringLiteral("remaining")).toInteger(), main->LastCredit);

    controls->BtnContinua->click();
    QVERIFY(!panel->IsSentState());
    QVERIFY(panel->TNTMemoMessage->toPlainText().isEmpty());
    QCOMPARE(panel->Destinations().UniqueRecipients, 0);
}

QTEST_MAIN(TestProgramWithProvider)
#include "tst_program_with_provider.moc"
