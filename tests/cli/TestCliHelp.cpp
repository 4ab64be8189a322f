#include <QProcess>
#include <QTest>

// brelmont-cli --help, COMMAND --help, help [COMMAND] and --version, run as a user runs them;
// arguments that only look like a help request still reach the command.
class TestCliHelp : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersion_data();
    void helpAndVersion();
};

void TestCliHelp::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("outStart"); // the start of standard output
    QTest::addColumn<QString>("errStart"); // the start of standard error

    const QString overview = QStringLiteral("Usage: brelmont-cli COMMAND [ARGS]...\n");
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0 << overview << QString();
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << 0 << overview << QString();
    QTest::newRow("help") << QStringList{QStringLiteral("help")} << 0 << overview << QString();
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << 0
                               << QStringLiteral("brelmont-cli (Brelmont) " BRELMONT_VERSION "\n")
                               << QString();
    for (const char* command :
         {"config", "count", "send", "credit", "phonebook", "list", "lookup", "suggest", "update"}) {
        const QString name = QString::fromLatin1(command);
        const QString usage = QStringLiteral("Usage: brelmont-cli %1").arg(name);
        QTest::addRow("%s --help", command)
            << QStringList{name, QStringLiteral("--help")} << 0 << usage << QString();
        QTest::addRow("%s -h", command) << QStringList{name, QStringLiteral("-h")} << 0 << usage << QString();
        QTest::addRow("help %s", command)
            << QStringList{QStringLiteral("help"), name} << 0 << usage << QString();
    }
    QTest::newRow("help of no command") << QStringList{QStringLiteral("help"), QStringLiteral("nope")} << 2
                                        << QString() << QStringLiteral("brelmont-cli: no command 'nope'");
    // Not help requests: the commands and the usage message behave as they always did.
    QTest::newRow("--help as a value")
        << QStringList{QStringLiteral("count"), QStringLiteral("--text"), QStringLiteral("--help"),
                       QStringLiteral("--recipients"), QStringLiteral("1")}
        << 0 << QStringLiteral("counter: 6/160\n") << QString();
    QTest::newRow("no command") << QStringList{} << 2 << QString()
                                << QStringLiteral("usage: brelmont-cli COMMAND");
    QTest::newRow("--version with more") << QStringList{QStringLiteral("--version"), QStringLiteral("x")} << 2
                                         << QString() << QStringLiteral("usage: brelmont-cli COMMAND");
}

void TestCliHelp::helpAndVersion()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, outStart);
    QFETCH(QString, errStart);
    QProcess cli;
    cli.start(QStringLiteral(BRELMONT_CLI_PATH), args);
    QVERIFY(cli.waitForFinished(30000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), code);
    QCOMPARE(out.left(outStart.size()), outStart);
    QCOMPARE(err.left(errStart.size()), errStart);
    if (outStart.isEmpty())
        QCOMPARE(out, QString());
    if (errStart.isEmpty())
        QCOMPARE(err, QString());
}

QTEST_GUILESS_MAIN(TestCliHelp)
#include "TestCliHelp.moc"
