#include "UpdateTestSupport.h"
#include "cli/CliCommand.h"
#include "net/PeerProcesses.h"
#include "platform/OleDate.h"
#include "settings/SettingsHolder.h"

#include <QtTest>

// brelmont-cli update check and download against the stand-in, with the test's own settings.
class TestCliUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(RegistryStore::DefaultPath()); }
    void update_data();
    void update();
};

namespace {

struct Result
{
    int code = 0;
    QString out;
    QString err;
};

Result Run(const QStringList& args, bool terminal = false)
{
    Result r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = RunUpdateCommand(args, CliIo{out, err}, terminal);
    return r;
}

} // namespace

void TestCliUpdate::update_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<int>("code");
    // The end of stdout (%1 the stand-in's port, %2 the output folder), or for a failed download a part of
    // stderr.
    QTest::addColumn<QString>("tail");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("check, newer")
        << Args("--update-description newer") << Args("check") << false << 0
        << "Newer: yes\nSetup: http://127.0.0.1:%1/updates/LastVersion/brelmont-setup.sh" << QStringList();
    QTest::newRow("check --manual, none")
        << QStringList() << Args("check --manual") << false << 1
        << "Newer: no\nNo updates found for this application." << QStringList();
    QTest::newRow("check, malformed") << Args("--update-description malformed") << Args("check") << false << 1
                                      << "Published version: (none)\nNewer: no" << QStringList();
    QTest::newRow("download, verified and started")
        << Args("--update-description newer --update-sha256 right") << Args("download") << false << 0
        << "Saved: %2/setup.sh\nStarted: %2/setup.sh" << Args("setup.sh setup.sh.ran");
    QTest::newRow("download --no-run, bar on a terminal")
        << Args("--update-description newer --update-setup slow --update-rate 1000000")
        << Args("download --no-run") << true << 0 << "Saved: %2/setup.sh" << Args("setup.sh");
    QTest::newRow("download, digest wrong")
        << Args("--update-description newer --update-sha256 wrong") << Args("download") << false << 1
        << "checksum mismatch" << QStringList();
    QTest::newRow("download, connection reset")
        << Args("--update-description newer --update-setup reset") << Args("download") << false << 1
        << "network error" << QStringList();
    QTest::newRow("download, no description") << Args("--update-description missing") << Args("download")
                                              << false << 1 << "no setup program published" << QStringList();
    QTest::newRow("download cut short")
        << Args("--update-description newer --update-setup short") << Args("download") << true << 1
        << "incomplete: cut short" << QStringList();
}

void TestCliUpdate::update()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, args);
    QFETCH(bool, terminal);
    QFETCH(int, code);
    QFETCH(QString, tail);
    QFETCH(QStringList, files);
    ProviderSim sim;
    QVERIFY(sim.Start(options));
    TSettingsHolder settings;
    settings.LoadSettings(false);
    settings.SetLanguage(QStringLiteral("ENG"));
    QVERIFY(settings.SaveSettings());
    QVERIFY(
        settings.WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("WebBaseUrl"),
                                  RegValue::String(QStringLiteral("http://127.0.0.1:%1").arg(sim.httpPort))));
    QTemporaryDir dir;
    if (args.first() == u"download")
        args << QStringLiteral("--output") << dir.filePath(QStringLiteral("setup.sh"));
    const Result r = Run(args, terminal);
    QCOMPARE(r.code, code);
    const QString expected = tail.replace(QStringLiteral("%1"), QString::number(sim.httpPort))
                                 .replace(QStringLiteral("%2"), dir.path());
    if (code != 0 && args.first() == u"download")
        QVERIFY2(r.out.isEmpty() && r.err.contains(expected), qPrintable(r.err));
    else
        QVERIFY2(r.out.endsWith(expected + u'\n'), qPrintable(r.out));
    QCOMPARE(r.err.contains(QStringLiteral("\r[")), terminal);
    QCOMPARE(r.err.contains(QStringLiteral("] 100%")), terminal && code == 0);
    QTRY_COMPARE(FilesIn(dir.path()), files);
    // Only a check that found nothing moves the automatic check to the next day.
    const bool waits = args.first() == u"check" && code != 0;
    settings.LoadSettings(false);
    QCOMPARE(settings.GetNextUpdateExpire() > DateTimeToDays(QDateTime::currentDateTime()), waits);
    QCOMPARE(Run(Args("check")).err.contains(QStringLiteral("no automatic check before")), waits);
}

QTEST_GUILESS_MAIN(TestCliUpdate)
#include "TestCliUpdate.moc"
