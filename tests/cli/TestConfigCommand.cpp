#include "cli/CliCommand.h"
#include "net/Cipher.h"
#include "platform/Autostart.h"
#include "platform/RegistryStore.h"
#include "platform/SystemFacts.h"
#include "settings/SettingsHolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kKey = QStringLiteral("Software\\Dalvenor");

struct Result
{
    int code = -1;
    QString out;
    QString err;
};

QString Plain(const QString& stored)
{
    return QString::fromLatin1(DecryptString(DecodeBase64(stored.toLatin1())));
}
} // namespace

class TestConfigCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listShowsEverySetting();
    void setThenGet_data();
    void setThenGet();
    void credentialsAreStoredEnciphered();
    void passwordNeedsRememberPwd();
    void holderRulesApply_data();
    void holderRulesApply();
    void legacySenderReadsAsBrelmont();
    void unusableSettingsPathFails();
    void runAtStartupKeepsTheAutostartEntry();
    void unsetReturnsToTheDefault();
    void refusedCommandWritesNothing_data();
    void refusedCommandWritesNothing();
    void refusedCommandOnFreshProfileCreatesNothing();
    void wrongTypedValueInFileIsReported();
    void unparsableFileIsReported();
    void writtenFileIsRegistryExport();
    void executableReadsBackAfterRestart();

private:
    QString Path() const { return m_dir->filePath(QStringLiteral("registry.reg")); }
    Result Run(const QStringList& args);
    QByteArray FileBytes() const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestConfigCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("BRELMONT_REGISTRY", QFile::encodeName(Path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
    SystemFacts::OverrideLocaleId(0x0409);
    SystemFacts::OverrideTimeZoneBiasMinutes(-60);
}

void TestConfigCommand::cleanup()
{
    SystemFacts::OverrideLocaleId(std::nullopt);
    SystemFacts::OverrideTimeZoneBiasMinutes(std::nullopt);
}

Result TestConfigCommand::Run(const QStringList& args)
{
    Result r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = RunConfigCommand(args, CliIo{out, err});
    out.flush();
    err.flush();
    return r;
}

QByteArray TestConfigCommand::FileBytes() const
{
    QFile file(Path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestConfigCommand::listShowsEverySetting()
{
    const Result r = Run({QStringLiteral("list")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QString());
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 29 + 10); // every value of the settings key, then the endpoints
    QCOMPARE(lines.first(), QStringLiteral("StartUpConnection=1"));
    for (const QString& line :
         {QStringLiteral("Sender=Brelmont"), QStringLiteral("UserName=demo"), QStringLiteral("Language=ENG"),
          QStringLiteral("TimeZone=1"), QStringLiteral("ContactsFile=PBook.xml"), QStringLiteral("LastW=487"),
          QStringLiteral("Endpoints\\GatewayHost=gateway.tarvotelecom.example"),
          QStringLiteral("Endpoints\\ServicePort=8999")})
        QVERIFY2(lines.contains(line), qPrintable(line));
}

void TestConfigCommand::setThenGet_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("Sender") << QStringLiteral("Sender") << QStringLiteral("Mario") << QStringLiteral("Mario");
    QTest::newRow("name in other case")
        << QStringLiteral("sender") << QStringLiteral("Anna") << QStringLiteral("Anna");
    QTest::newRow("Boolean word") << QStringLiteral("DisableSound") << QStringLiteral("true")
                                  << QStringLiteral("1");
    QTest::newRow("Boolean digit") << QStringLiteral("WarningUnicode") << QStringLiteral("0")
                                   << QStringLiteral("0");
    QTest::newRow("negative integer")
        << QStringLiteral("LastX") << QStringLiteral("-5") << QStringLiteral("-5");
    QTest::newRow("port") << QStringLiteral("ProxyPort") << QStringLiteral("1080") << QStringLiteral("1080");
    QTest::newRow("text with blanks")
        << QStringLiteral("ProxyAddress") << QStringLiteral(" proxy lan ") << QStringLiteral(" proxy lan ");
    QTest::newRow("text with quote and backslash")
        << QStringLiteral("LastIntPrefix") << QStringLiteral("a\\\"b") << QStringLiteral("a\\\"b");
    QTest::newRow("non-ASCII text") << QStringLiteral("ProxyUsername") << QStringLiteral("città€")
                                    << QStringLiteral("città€");
    QTest::newRow("language") << QStringLiteral("Language") << QStringLiteral("POR") << QStringLiteral("POR");
    QTest::newRow("time zone") << QStringLiteral("TimeZone") << QStringLiteral("-3") << QStringLiteral("-3");
    QTest::newRow("date-time") << QStringLiteral("NextUpdateExpire") << QStringLiteral("2027-01-02 03:04:05")
                               << QStringLiteral("2027-01-02 03:04:05");
    QTest::newRow("date only") << QStringLiteral("NextUpdateExpire") << QStringLiteral("2027-01-02")
                               << QStringLiteral("2027-01-02 00:00:00");
    QTest::newRow("read-only value") << QStringLiteral("ContactsFile")
                                     << QStringLiteral("C:\\Data\\PBook.xml")
                                     << QStringLiteral("C:\\Data\\PBook.xml");
    QTest::newRow("endpoint host") << QStringLiteral("Endpoints\\GatewayHost") << QStringLiteral("127.0.0.1")
                                   << QStringLiteral("127.0.0.1");
    QTest::newRow("endpoint port") << QStringLiteral("Endpoints\\GatewayPort") << QStringLiteral("18080")
                                   << QStringLiteral("18080");
    QTest::newRow("endpoint with slash")
        << QStringLiteral("endpoints/webbaseurl") << QStringLiteral("http://127.0.0.1:18080")
        << QStringLiteral("http://127.0.0.1:18080");
}

void TestConfigCommand::setThenGet()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    const Result set = Run({QStringLiteral("set"), name, value});
    QCOMPARE(set.err, QString());
    QCOMPARE(set.code, 0);
    QCOMPARE(set.out, QString());
    // Every command starts from the file, as a new process would.
    const Result get = Run({QStringLiteral("get"), name});
    QCOMPARE(get.code, 0);
    QCOMPARE(get.out, shown + u'\n');
    QVERIFY(Run({QStringLiteral("list")}).out.contains(u'=' + shown + u'\n'));
}

void TestConfigCommand::credentialsAreStoredEnciphered()
{
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("UserName"), QStringLiteral("mario.rossi")}).code, 0);
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("RememberPwd"), QStringLiteral("1")}).code, 0);
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("Password"), QStringLiteral("s3cret")}).code, 0);

    RegistryStore store(Path());
    store.Load();
    const QString user = store.ReadString(kKey, QStringLiteral("UserName"));
    const QString password = store.ReadString(kKey, QStringLiteral("Password"));
    QVERIFY(!user.contains(QStringLiteral("mario")));
    QCOMPARE(Plain(user), QStringLiteral("mario.rossi"));
    QCOMPARE(Plain(password), QStringLiteral("s3cret"));

    QCOMPARE(Run({QStringLiteral("get"), QStringLiteral("UserName")}).out, QStringLiteral("mario.rossi\n"));
    QCOMPARE(Run({QStringLiteral("get"), QStringLiteral("Password")}).out, QStringLiteral("s3cret\n"));
}

void TestConfigCommand::passwordNeedsRememberPwd()
{
    const Result r = Run({QStringLiteral("set"), QStringLiteral("Password"), QStringLiteral("s3cret")});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.err.contains(QStringLiteral("RememberPwd is off")), qPrintable(r.err));
    QCOMPARE(Run({QStringLiteral("get"), QStringLiteral("Password")}).out,
             TSettingsHolder::DemoPassword() + u'\n');
}

void TestConfigCommand::holderRulesApply_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("note");
    QTest::newRow("sender cut") << QStringLiteral("Sender") << QStringLiteral("Brelmont Mario")
                                << QStringLiteral("brelmont-cli: Sender stored as 'Brelmont Ma'\n");
    QTest::newRow("time zone out of range") << QStringLiteral("TimeZone") << QStringLiteral("15")
                                            << QStringLiteral("brelmont-cli: TimeZone stored as '1'\n");
    QTest::newRow("demo name in capitals") << QStringLiteral("UserName") << QStringLiteral("DEMO")
                                           << QStringLiteral("brelmont-cli: UserName stored as 'demo'\n");
    QTest::newRow("proxy without address")
        << QStringLiteral("ProxyEnabled") << QStringLiteral("1")
        << QStringLiteral("brelmont-cli: ProxyEnabled stored as '0' (ProxyAddress is empty; set it first)\n");
    QTest::newRow("kept as given") << QStringLiteral("ProxyPort") << QStringLiteral("1080") << QString();
}

void TestConfigCommand::holderRulesApply()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, note);
    const Result r = Run({QStringLiteral("set"), name, value});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, note);
}

void TestConfigCommand::legacySenderReadsAsBrelmont()
{
    RegistryStore store(Path());
    store.Load();
    store.WriteString(kKey, QStringLiteral("Sender"), TSettingsHolder::LegacyDefaultSenders().first());
    store.Save();
    QCOMPARE(Run({QStringLiteral("get"), QStringLiteral("Sender")}).out, QStringLiteral("Brelmont\n"));
}

void TestConfigCommand::unusableSettingsPathFails()
{
    QVERIFY(QDir().mkpath(Path()));
    for (const QStringList& args :
         {QStringList{QStringLiteral("get"), QStringLiteral("Sender")},
          QStringList{QStringLiteral("set"), QStringLiteral("Sender"), QStringLiteral("x")}}) {
        const Result r = Run(args);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.contains(QStringLiteral("not a regular file")), qPrintable(r.err));
    }
}

void TestConfigCommand::runAtStartupKeepsTheAutostartEntry()
{
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("Sender"), QStringLiteral("Mario")}).code, 0);
    QVERIFY(Autostart::Exists(TSettingsHolder::AutostartName()));
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("RunAtStartup"), QStringLiteral("off")}).code, 0);
    QVERIFY(!Autostart::Exists(TSettingsHolder::AutostartName()));
}

void TestConfigCommand::unsetReturnsToTheDefault()
{
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("Sender"), QStringLiteral("Mario")}).code, 0);
    QCOMPARE(
        Run({QStringLiteral("set"), QStringLiteral("Endpoints\\GatewayHost"), QStringLiteral("10.0.0.1")})
            .code,
        0);
    QCOMPARE(Run({QStringLiteral("unset"), QStringLiteral("Sender")}).code, 0);
    QCOMPARE(Run({QStringLiteral("unset"), QStringLiteral("Endpoints\\GatewayHost")}).code, 0);
    QCOMPARE(Run({QStringLiteral("get"), QStringLiteral("Sender")}).out, QStringLiteral("Brelmont\n"));
    QCOMPARE(Run({QStringLiteral("get"), QStringLiteral("Endpoints\\GatewayHost")}).out,
             QStringLiteral("gateway.tarvotelecom.example\n"));
    RegistryStore store(Path());
    store.Load();
    QVERIFY(!store.ValueExists(kKey, QStringLiteral("Sender")));
    QVERIFY(!store.ValueExists(TEndpoints::KeyPath(), QStringLiteral("GatewayHost")));
}

void TestConfigCommand::refusedCommandWritesNothing_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    auto row = [](const char* name, QStringList args, const char* message) {
        QTest::newRow(name) << args << QString::fromUtf8(message);
    };
    row("unknown name", {QStringLiteral("set"), QStringLiteral("Nope"), QStringLiteral("1")},
        "brelmont-cli: unknown setting 'Nope'");
    row("get unknown", {QStringLiteral("get"), QStringLiteral("Nope")}, "unknown setting 'Nope'");
    row("unset unknown", {QStringLiteral("unset"), QStringLiteral("Nope")}, "unknown setting 'Nope'");
    row("unknown endpoint", {QStringLiteral("set"), QStringLiteral("Endpoints\\Nope"), QStringLiteral("x")},
        "unknown setting 'Endpoints\\Nope'");
    row("endpoints alone", {QStringLiteral("get"), QStringLiteral("Endpoints")},
        "unknown setting 'Endpoints'");
    row("endpoint name without key", {QStringLiteral("get"), QStringLiteral("GatewayHost")},
        "unknown setting 'GatewayHost'");
    row("Boolean", {QStringLiteral("set"), QStringLiteral("DisableSound"), QStringLiteral("maybe")},
        "DisableSound expects a Boolean");
    row("integer", {QStringLiteral("set"), QStringLiteral("LastX"), QStringLiteral("12abc")},
        "LastX expects a 32-bit integer");
    row("integer too large", {QStringLiteral("set"), QStringLiteral("LastY"), QStringLiteral("4294967296")},
        "LastY expects a 32-bit integer");
    row("proxy port", {QStringLiteral("set"), QStringLiteral("ProxyPort"), QStringLiteral("70000")},
        "ProxyPort expects a port number 0-65535");
    row("endpoint port",
        {QStringLiteral("set"), QStringLiteral("Endpoints\\GatewayPort"), QStringLiteral("http")},
        "Endpoints\\GatewayPort expects a port number 0-65535");
    row("endpoint port too large",
        {QStringLiteral("set"), QStringLiteral("Endpoints\\ServicePort"), QStringLiteral("65536")},
        "expects a port number 0-65535");
    row("date-time", {QStringLiteral("set"), QStringLiteral("NextUpdateExpire"), QStringLiteral("tomorrow")},
        "NextUpdateExpire expects a date-time");
    row("unknown verb", {QStringLiteral("remove"), QStringLiteral("Sender")},
        "usage: brelmont-cli config list");
    row("missing value", {QStringLiteral("set"), QStringLiteral("Sender")}, "usage:");
    row("extra argument", {QStringLiteral("get"), QStringLiteral("Sender"), QStringLiteral("x")}, "usage:");
    row("nothing", {}, "usage:");
}

void TestConfigCommand::refusedCommandWritesNothing()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("Sender"), QStringLiteral("Mario")}).code, 0);
    const QByteArray before = FileBytes();
    QVERIFY(!before.isEmpty());

    const Result r = Run(args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(FileBytes(), before);
}

void TestConfigCommand::refusedCommandOnFreshProfileCreatesNothing()
{
    QCOMPARE(
        Run({QStringLiteral("set"), QStringLiteral("Endpoints\\GatewayPort"), QStringLiteral("-1")}).code, 2);
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("FirstTime"), QStringLiteral("2")}).code, 2);
    QVERIFY(!QFile::exists(Path()));
    QVERIFY(!Autostart::Exists(TSettingsHolder::AutostartName()));
}

void TestConfigCommand::wrongTypedValueInFileIsReported()
{
    QFile file(Path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Dalvenor]\r\n"
               "\"LastX\"=\"abc\"\r\n\"Sender\"=\"Mario\"\r\n");
    file.close();
    const Result r = Run({QStringLiteral("get"), QStringLiteral("Sender")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("Mario\n"));
    QCOMPARE(r.err, QStringLiteral("brelmont-cli: Invalid data type for 'LastX'\n"));
}

void TestConfigCommand::unparsableFileIsReported()
{
    QFile file(Path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("garbage");
    file.close();
    const Result r = Run({QStringLiteral("get"), QStringLiteral("Sender")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("Brelmont\n"));
    QVERIFY2(r.err.contains(QStringLiteral("could not be read and was kept as '") + Path() +
                            QStringLiteral(".broken-")),
             qPrintable(r.err));
    // A file kept aside is no value of a wrong type.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("garbage");
    file.close();
    const Result set = Run({QStringLiteral("set"), QStringLiteral("Sender"), QStringLiteral("Mario")});
    QCOMPARE(set.code, 0);
    QVERIFY2(!set.err.contains(QStringLiteral("wrong type")), qPrintable(set.err));
}

void TestConfigCommand::writtenFileIsRegistryExport()
{
    QCOMPARE(Run({QStringLiteral("set"), QStringLiteral("Sender"), QStringLiteral("C:\\\"x\"")}).code, 0);
    const QByteArray bytes = FileBytes();
    QVERIFY(bytes.startsWith(QByteArray("\xFF\xFE", 2)));
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    QVERIFY(text.startsWith(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n")));
    QVERIFY(text.contains(QStringLiteral("\r\n\"Sender\"=\"C:\\\\\\\"x\\\"\"\r\n")));
    QVERIFY(text.contains(QStringLiteral("\r\n\"LastW\"=dword:000001e7\r\n")));
    QVERIFY(text.contains(QStringLiteral("\r\n\"NextUpdateExpire\"=hex:")));
}

void TestConfigCommand::executableReadsBackAfterRestart()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRELMONT_REGISTRY"), Path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->filePath(QStringLiteral("config")));
    auto run = [&](const QStringList& args) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(BRELMONT_CLI_PATH), QStringList{QStringLiteral("config")} + args);
        const bool finished = process.waitForFinished(30000);
        Result r;
        r.code = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.out = QString::fromUtf8(process.readAllStandardOutput());
        r.err = QString::fromUtf8(process.readAllStandardError());
        return r;
    };

    const QString sender = QStringLiteral("Città 42");
    QCOMPARE(run({QStringLiteral("set"), QStringLiteral("Sender"), sender}).code, 0);
    QCOMPARE(run({QStringLiteral("set"), QStringLiteral("UserName"), QStringLiteral("mario")}).code, 0);
    QCOMPARE(
        run({QStringLiteral("set"), QStringLiteral("Endpoints\\GatewayPort"), QStringLiteral("18080")}).code,
        0);
    QCOMPARE(run({QStringLiteral("get"), QStringLiteral("Sender")}).out, sender + u'\n');
    QCOMPARE(run({QStringLiteral("get"), QStringLiteral("UserName")}).out, QStringLiteral("mario\n"));
    QCOMPARE(run({QStringLiteral("get"), QStringLiteral("Endpoints\\GatewayPort")}).out,
             QStringLiteral("18080\n"));

    const QByteArray before = FileBytes();
    const Result refused = run({QStringLiteral("set"), QStringLiteral("NoSuchValue"), QStringLiteral("1")});
    QCOMPARE(refused.code, 2);
    QCOMPARE(refused.out, QString());
    QCOMPARE(
        refused.err,
        QStringLiteral("brelmont-cli: unknown setting 'NoSuchValue' (see 'brelmont-cli config list')\n"));
    QCOMPARE(FileBytes(), before);

    // The file is read back by the store as written.
    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Loaded);
    QCOMPARE(store.ReadString(kKey, QStringLiteral("Sender")), sender);
}

QTEST_GUILESS_MAIN(TestConfigCommand)
#include "TestConfigCommand.moc"
