#include "app/DataModule.h"
#include "app/Program.h"
#include "net/GatewayResults.h"
#include "net/SMSServer.h"
#include "platform/RegistryStore.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/main/MainWindow.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/StatusBar.h"
#include "ui/main/TopPanel.h"

#include <QAction>
#include <QProcess>
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

private:
    void StartProvider(const QString& account);
    void WriteAccount(const QString& user, const QString& password);
    QString RegistryPath() const { return m_folder->filePath(QStringLiteral("registry.reg")); }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QProcess> m_provider;
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
    m_folder.reset();
}

void TestProgramWithProvider::StartProvider(const QString& account)
{
    m_provider = std::make_unique<QProcess>();
    m_provider->start(QStringLiteral(PROVIDER_SIM_EXE), {QStringLiteral("--account"), account});
    QVERIFY(m_provider->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(m_provider->canReadLine(), 10000);
    const QString line = QString::fromUtf8(m_provider->readLine());
    const auto match =
        QRegularExpression(QStringLiteral("gateway-port=(\\d+) gateway-fallback-port=(\\d+)")).match(line);
    QVERIFY2(match.hasMatch(), qPrintable(line));
    RegistryStore store(RegistryPath());
    store.Load();
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayHost"),
                   RegValue::String(QStringLiteral("127.0.0.1")));
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayPort"),
                   RegValue::Dword(match.captured(1).toUInt()));
    store.SetValue(TEndpoints::KeyPath(), QStringLiteral("GatewayFallbackPort"),
                   RegValue::Dword(match.captured(2).toUInt()));
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

QTEST_MAIN(TestProgramWithProvider)
#include "tst_program_with_provider.moc"
