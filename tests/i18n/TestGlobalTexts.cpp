#include "i18n/GlobalTexts.h"

#include <QtTest>

class TestGlobalTexts : public QObject
{
    Q_OBJECT

private slots:
    void italianUntilApplied();
    void texts_data();
    void texts();
    void unknownCodeKeepsTexts();
};

void TestGlobalTexts::italianUntilApplied()
{
    const TGlobalTexts texts;
    QCOMPARE(texts.TextSent, QStringLiteral("Invio riuscito"));
    QCOMPARE(texts.TextCreditPrefix, QStringLiteral("Credito: "));
}

void TestGlobalTexts::texts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("expected"); // the fields in declaration order

    QTest::newRow("ITA") << QStringLiteral("ITA")
                         << QStringList{QStringLiteral("Richiesta riuscita."),
                                        QStringLiteral("Richiesta non riuscita."),
                                        QStringLiteral("Invio riuscito"),
                                        QStringLiteral("Invio non riuscito"),
                                        QStringLiteral("Allocazione memoria fallita!"),
                                        QStringLiteral("UserID/Password errati."),
                                        QStringLiteral("Timeout connessione."),
                                        QStringLiteral("Non connesso, controlla internet/firewall."),
                                        QStringLiteral("Non connesso, controlla antivirus/firewall."),
                                        QStringLiteral("Credito: "),
                                        QStringLiteral(" Scarica qui la nuova versione.")};
    const QStringList english{QStringLiteral("Query done."),
                              QStringLiteral("Query failed."),
                              QStringLiteral("Message sent"),
                              QStringLiteral("Message not sent"),
                              QStringLiteral("Memory allocation error!"),
                              QStringLiteral("UserID/Password syntax error."),
                              QStringLiteral("Connection timeout."),
                              QStringLiteral("Not Connected, check internet/firewall."),
                              QStringLiteral("Not Connected, check antivirus/firewall."),
                              QStringLiteral("Credits: "),
                              QStringLiteral(" Download a new version.")};
    QTest::newRow("ENG") << QStringLiteral("ENG") << english;
    QTest::newRow("DEU") << QStringLiteral("DEU") << english;
    // Every Portuguese connection failure reads "Incapaz de login", the antivirus case
    // with its own remark.
    QTest::newRow("POR") << QStringLiteral("POR")
                         << QStringList{QStringLiteral("Pedido com sucesso."),
                                        QStringLiteral("Pedido nao conseguido."),
                                        QStringLiteral("Envio com sucesso"),
                                        QStringLiteral("Envio nao conseguido"),
                                        QStringLiteral("Erro do alocamento de memoria!"),
                                        QStringLiteral("UserID/Password errados"),
                                        QStringLiteral("Incapaz de login"),
                                        QStringLiteral("Incapaz de login"),
                                        QStringLiteral("Incapaz de login (antivirus/firewall)"),
                                        QStringLiteral("Credito: "),
                                        QStringLiteral(" Uma nova versão já está disponível.")};
}

void TestGlobalTexts::texts()
{
    QFETCH(QString, code);
    QFETCH(QStringList, expected);
    TGlobalTexts texts;
    texts.ApplyLanguage(QStringLiteral("POR"));
    texts.ApplyLanguage(QStringLiteral("ENG"));
    texts.ApplyLanguage(code);
    const QStringList actual{texts.TextRequestDone,  texts.TextRequestFailed, texts.TextSent,
                             texts.TextNotSent,      texts.TextMemoryError,   texts.TextBadLogin,
                             texts.TextTimeout,      texts.TextNotConnected,  texts.TextNotConnectedAv,
                             texts.TextCreditPrefix, texts.TextNewVersionLink};
    QCOMPARE(actual, expected);
}

void TestGlobalTexts::unknownCodeKeepsTexts()
{
    TGlobalTexts texts;
    texts.ApplyLanguage(QStringLiteral("POR"));
    texts.ApplyLanguage(QStringLiteral("por"));
    texts.ApplyLanguage(QString());
    QCOMPARE(texts.TextSent, QStringLiteral("Envio com sucesso"));
    QCOMPARE(texts.TextNotConnectedAv, QStringLiteral("Incapaz de login (antivirus/firewall)"));
}

QTEST_GUILESS_MAIN(TestGlobalTexts)
#include "TestGlobalTexts.moc"
