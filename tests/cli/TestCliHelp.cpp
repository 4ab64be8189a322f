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
    // args: the arguments separated by blanks
    const auto row = [](const QString& args, int code, const QString& out, const QString& err = {}) {
        QTest::newRow(qPrintable(args)) << args.split(u' ', Qt::SkipEmptyParts) << code << out << err;
    };
    const QString overview = QStringLiteral("Usage: brelmont-cli COMMAND [ARGS]...\n");
    for (const char* help : {"--help", "-h", "help"})
        row(QString::fromLatin1(help), 0, overview);
    row(QStringLiteral("--version"), 0, QStringLiteral("brelmont-cli (Brelmont) " BRELMONT_VERSION "\n"));
    for (const char* command :
         {"config", "count", "send", "credit", "phonebook", "list", "lookup", "suggest", "update"}) {
        const QString usage = QStringLiteral("Usage: brelmont-cli %1").arg(QLatin1StringView(command));
        row(QStringLiteral("%1 --help").arg(QLatin1StringView(command)), 0, usage);
        row(QStringLiteral("%1 -h").arg(QLatin1StringView(command)), 0, usage);
        row(QStringLiteral("help %1").arg(QLatin1StringView(command)), 0, usage);
    }
    row(QStringLiteral("help nope"), 2, QString(), QStringLiteral("brelmont-cli: no command 'nope'"));
    // Not help requests: the commands and the usage message behave as they always did.
    row(QStringLiteral("count --text --help --recipients 1"), 0, QStringLiteral("counter: 6/160\n"));
    row(QString(), 2, QString(), QStringLiteral("usage: brelmont-cli COMMAND"));
    row(QStringLiteral("--version x"), 2, QString(), QStringLiteral("usage: brelmont-cli COMMAND"));
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
