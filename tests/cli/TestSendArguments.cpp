#include "cli/CliCommand.h"

#include <QTest>

// The refusals of brelmont-cli send that come from the message rules; none reaches the network.
class TestSendArguments : public QObject
{
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
};

void TestSendArguments::refused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("rejected number") << QStringList{QStringLiteral("--to"), QStringLiteral("+39333111;7"),
                                                    QStringLiteral("--text"), QStringLiteral("x")}
                                     << QStringLiteral("brelmont-cli send: not a phone number: '7'\n");
    QTest::newRow("text too long") << QStringList{QStringLiteral("--to"), QStringLiteral("+39333111"),
                                                  QStringLiteral("--text"),
                                                  QStringLiteral("a").repeated(612) + u'{'}
                                   << QStringLiteral("brelmont-cli send: the text is too long (614/612)\n");
    QTest::newRow("unicode text too long")
        << QStringList{QStringLiteral("--to"), QStringLiteral("+39333111"), QStringLiteral("--text"),
                       QStringLiteral("\u00E1").repeated(269)}
        << QStringLiteral("brelmont-cli send: the text is too long ((Unicode) 269/268)\n");
    QTest::newRow("list without members")
        << QStringList{QStringLiteral("--list"), QStringLiteral("Nessuna"), QStringLiteral("--text"),
                       QStringLiteral("x")}
        << QStringLiteral(
               "brelmont-cli send: at least one --to NUMBER or --list NAME with members is needed\n");
    QTest::newRow("only invalid values")
        << QStringList{QStringLiteral("--to"), QStringLiteral(";,;"), QStringLiteral("--text"),
                       QStringLiteral("x")}
        << QStringLiteral(
               "brelmont-cli send: at least one --to NUMBER or --list NAME with members is needed\n");
}

void TestSendArguments::refused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = RunSendCommand(args, CliIo{outStream, errStream});
    outStream.flush();
    errStream.flush();
    QCOMPARE(code, int(CliBadArguments));
    QCOMPARE(err, message);
    QCOMPARE(out, QString());
}

QTEST_GUILESS_MAIN(TestSendArguments)
#include "TestSendArguments.moc"
