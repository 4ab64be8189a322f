#include "lists/SpreadsheetReaders.h"
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
    void installedXlsReaderRuns();

private:
    QString Installed(const QString& relative) const { return m_prefix.filePath(relative); }
    QTemporaryDir m_prefix;
};

namespace {
const QString kAppId = QStringLiteral("example.tarvotelecom.Brelmont");

// Exit code (-1: crashed or hung) and standard output; standard error goes along with it.
std::pair<int, QString> Run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    const bool ended = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, QString::fromUtf8(process.readAll())};
}
} // namespace

void TestInstall::initTestCase()
{
    const auto [code, out] =
        Run(QStringLiteral(BRELMONT_CMAKE), {QStringLiteral("--install"), QStringLiteral(BRELMONT_BUILD_DIR),
                                             QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(code == 0, qPrintable(out));
}

void TestInstall::installedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("validator"); // a program that must accept the file, when installed
    for (const char* program : {"brelmont", "brelmont-cli", "brelmont-provider-sim"})
        QTest::addRow("%s", program) << QStringLiteral("bin/") + QLatin1StringView(program) << QString();
    QTest::newRow("sound module") << QStringLiteral(BRELMONT_SOUND_MODULE_INSTALLED) << QString();
    QTest::newRow("xls reader") << QStringLiteral("libexec/brelmont/brelmont-xls-reader") << QString();
    QTest::newRow("desktop entry") << QStringLiteral("share/applications/%1.desktop").arg(kAppId)
                                   << QStringLiteral("desktop-file-validate");
    QTest::newRow("metainfo") << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId)
                              << QStringLiteral("appstreamcli validate --no-net");
    QTest::newRow("svg icon") << QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId)
                              << QString();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QTest::addRow("%d px icon", size)
            << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId) << QString();
    QTest::newRow("man page") << QStringLiteral("share/man/man1/brelmont-cli.1.gz") << QString();
}

void TestInstall::installedFiles()
{
    QFETCH(QString, path);
    QFETCH(QString, validator);
    const QFileInfo file(Installed(path));
    QVERIFY2(file.isFile() && file.size() > 0, qPrintable(path));
    QCOMPARE(file.isExecutable(), path.startsWith(u"bin/") || path.startsWith(u"libexec/"));
    QStringList command = validator.split(u' ', Qt::SkipEmptyParts);
    if (command.isEmpty() || QStandardPaths::findExecutable(command.first()).isEmpty())
        return;
    const auto [code, out] = Run(command.takeFirst(), command << file.filePath());
    QVERIFY2(code == 0, qPrintable(out));
}

void TestInstall::installedCliRuns()
{
    const QString cli = Installed(QStringLiteral("bin/brelmont-cli"));
    QCOMPARE(Run(cli, {QStringLiteral("--version")}),
             std::make_pair(0, QStringLiteral("brelmont-cli (Brelmont) " BRELMONT_VERSION "\n")));
    const auto [code, out] =
        Run(cli, {QStringLiteral("count"), QStringLiteral("--text"), QStringLiteral("Ciao \u20AC"),
                  QStringLiteral("--recipients"), QStringLiteral("2")});
    QCOMPARE(code, 0);
    QCOMPARE(out.section(u'\n', 0, 2), QStringLiteral("counter: 7/160\nparts: 1\ntotal-sms: 2"));
    // The autostart entry the installed brelmont-cli writes starts the installed program.
    const QStringList runAtStartup{QStringLiteral("config"), QStringLiteral("set"),
                                   QStringLiteral("RunAtStartup"), QStringLiteral("1")};
    QCOMPARE(Run(cli, runAtStartup).first, 0);
    QCOMPARE(Autostart::Command(QStringLiteral("Brelmont")),
             QFileInfo(Installed(QStringLiteral("bin/brelmont"))).canonicalFilePath());
}

void TestInstall::installedXlsReaderRuns()
{
    // The installed programs look for the installed reader first, and it answers them.
    const QString reader = XlsReaderPlaces(Installed(QStringLiteral("bin"))).constFirst();
    QCOMPARE(reader, Installed(QStringLiteral("libexec/brelmont/brelmont-xls-reader")));
    QCOMPARE(ReadXlsListThrough(reader, Installed(QStringLiteral("none.xls")), 60000).Error.What,
             TReadError::CannotOpen);
}

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
