#include "platform/Autostart.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Installs the build into a temporary prefix (cmake --install) and runs the programs from there.
class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installedFiles_data();
    void installedFiles();
    void installedCliRuns();
    void autostartStartsTheInstalledProgram();
    void validatorsAccept_data();
    void validatorsAccept();

private:
    QString Installed(const QString& relative) const { return m_prefix.filePath(relative); }
    QTemporaryDir m_prefix;
};

namespace {
const QString kAppId = QStringLiteral("example.tarvotelecom.Brelmont");

struct TRun
{
    int code = -1;
    QString out;
    QString err;
};

TRun Run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    TRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
} // namespace

void TestInstall::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    const TRun install =
        Run(QStringLiteral(BRELMONT_CMAKE), {QStringLiteral("--install"), QStringLiteral(BRELMONT_BUILD_DIR),
                                             QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
}

void TestInstall::installedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    for (const char* program : {"brelmont", "brelmont-cli", "brelmont-provider-sim"})
        QTest::addRow("bin/%s", program) << QStringLiteral("bin/") + QLatin1StringView(program) << true;
    QTest::newRow("desktop entry") << QStringLiteral("share/applications/%1.desktop").arg(kAppId) << false;
    QTest::newRow("metainfo") << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId) << false;
    QTest::newRow("scalable icon") << QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId)
                                   << false;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QTest::addRow("%dx%d icon", size, size)
            << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId) << false;
    QTest::newRow("man page") << QStringLiteral("share/man/man1/brelmont-cli.1.gz") << false;
}

void TestInstall::installedFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo file(Installed(path));
    QVERIFY2(file.isFile(), qPrintable(path));
    QVERIFY(file.size() > 0);
    QCOMPARE(file.isExecutable(), executable);
}

void TestInstall::installedCliRuns()
{
    const QString cli = Installed(QStringLiteral("bin/brelmont-cli"));
    const TRun version = Run(cli, {QStringLiteral("--version")});
    QCOMPARE(version.code, 0);
    QCOMPARE(version.out, QStringLiteral("brelmont-cli (Brelmont) " BRELMONT_VERSION "\n"));
    const TRun count =
        Run(cli, {QStringLiteral("count"), QStringLiteral("--text"), QStringLiteral("Ciao \u20AC"),
                  QStringLiteral("--recipients"), QStringLiteral("2")});
    QCOMPARE(count.code, 0);
    QCOMPARE(count.out.section(u'\n', 0, 2), QStringLiteral("counter: 7/160\nparts: 1\ntotal-sms: 2"));
}

void TestInstall::autostartStartsTheInstalledProgram()
{
    // The installed brelmont-cli writes the entry the way the installed program would.
    const TRun set = Run(Installed(QStringLiteral("bin/brelmont-cli")),
                         {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("RunAtStartup"),
                          QStringLiteral("1")});
    QVERIFY2(set.code == 0, qPrintable(set.err));
    QCOMPARE(Autostart::Command(QStringLiteral("Brelmont")),
             QFileInfo(Installed(QStringLiteral("bin/brelmont"))).canonicalFilePath());
}

void TestInstall::validatorsAccept_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file");
    QTest::newRow("desktop-file-validate") << QStringLiteral("desktop-file-validate") << QStringList()
                                           << QStringLiteral("share/applications/%1.desktop").arg(kAppId);
    QTest::newRow("appstreamcli validate")
        << QStringLiteral("appstreamcli")
        << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net")}
        << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId);
}

void TestInstall::validatorsAccept()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP("the validator is not installed");
    const TRun run = Run(program, args << Installed(file));
    QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
