#include "compose/MessageCounter.h"

#include <QTemporaryDir>
#include <QTest>

class TestMessageCounter : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
    void italianUntilALanguageIsApplied();
    void unknownLanguageKeepsTexts();
    void totalSmsIsPartsTimesUniqueRecipients();
    void tooLongStatus();
    void unicodeWarningOnlyOnTheChange();
    void unicodeWarningRespectsTheSetting();
};

void TestMessageCounter::texts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unique");
    QTest::addColumn<int>("duplicates");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("recipients");
    QTest::addColumn<QString>("caption");

    const QString a = QStringLiteral("a");
    const QString ua = QStringLiteral("\u00E1");
    QTest::newRow("ita empty, 3 recipients")
        << QStringLiteral("ITA") << QString() << 3 << 0 << QStringLiteral("0/160")
        << QStringLiteral(" Contatti selezionati (3)") << QStringLiteral("Invia 3 sms");
    QTest::newRow("ita empty, no recipients")
        << QStringLiteral("ITA") << QString() << 0 << 0 << QStringLiteral("0/160")
        << QStringLiteral(" Contatti selezionati (0)") << QStringLiteral("Invia");
    QTest::newRow("ita 148 chars") << QStringLiteral("ITA") << a.repeated(148) << 1 << 0
                                   << QStringLiteral("148/160") << QStringLiteral(" Contatti selezionati (1)")
                                   << QStringLiteral("Invia 1 sms");
    QTest::newRow("ita unicode 2 parts, 3 recipients")
        << QStringLiteral("ITA") << ua.repeated(75) << 3 << 0 << QStringLiteral("(Unicode) 75/134")
        << QStringLiteral(" Contatti selezionati (3)") << QStringLiteral("Invia 6 sms");
    QTest::newRow("ita 10 unique 2 duplicates 2 parts")
        << QStringLiteral("ITA") << a.repeated(200) << 10 << 2 << QStringLiteral("200/306")
        << QStringLiteral(" Contatti selezionati (12 / 2 Scartati doppi)") << QStringLiteral("Invia 20 sms");
    QTest::newRow("ita one duplicate")
        << QStringLiteral("ITA") << a << 4 << 1 << QStringLiteral("1/160")
        << QStringLiteral(" Contatti selezionati (5 / 1 Scartato doppio)") << QStringLiteral("Invia 4 sms");
    QTest::newRow("eng one duplicate") << QStringLiteral("ENG") << a << 4 << 1 << QStringLiteral("1/160")
                                       << QStringLiteral(" Selected contacts (5 / 1 Discarded as duplicate)")
                                       << QStringLiteral("Send 4 sms");
    QTest::newRow("eng duplicates") << QStringLiteral("ENG") << ua << 2 << 3
                                    << QStringLiteral("(Unicode) 1/70")
                                    << QStringLiteral(" Selected contacts (5 / 3 Discarded as duplicates)")
                                    << QStringLiteral("Send 2 sms");
    QTest::newRow("eng no recipients") << QStringLiteral("ENG") << a << 0 << 0 << QStringLiteral("1/160")
                                       << QStringLiteral(" Selected contacts (0)") << QStringLiteral("Send");
    QTest::newRow("fra shows english")
        << QStringLiteral("FRA") << a << 2 << 0 << QStringLiteral("1/160")
        << QStringLiteral(" Selected contacts (2)") << QStringLiteral("Send 2 sms");
    QTest::newRow("por one duplicate")
        << QStringLiteral("POR") << a << 1 << 1 << QStringLiteral("1/160")
        << QStringLiteral(" Contactos seleccionados (2 / 1 Descartado duplicado)")
        << QStringLiteral("Envia 1 sms");
    QTest::newRow("por duplicates") << QStringLiteral("POR") << a << 1 << 2 << QStringLiteral("1/160")
                                    << QStringLiteral(
                                           " Contactos seleccionados (3 / 2 Descartados duplicados)")
                                    << QStringLiteral("Envia 1 sms");
    QTest::newRow("por no recipients")
        << QStringLiteral("POR") << a.repeated(640) << 0 << 0 << QStringLiteral("640/612")
        << QStringLiteral(" Contactos seleccionados (0)") << QStringLiteral("Envia");
}

void TestMessageCounter::texts()
{
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(int, unique);
    QFETCH(int, duplicates);
    QFETCH(QString, counter);
    QFETCH(QString, recipients);
    QFETCH(QString, caption);
    TMessageCounter counterState;
    counterState.ApplyLanguage(language);
    const TRecountResult r = counterState.Recount(text, unique, duplicates, true);
    QCOMPARE(r.CounterText, counter);
    QCOMPARE(r.RecipientsLabel, recipients);
    QCOMPARE(r.SendCaption, caption);
}

void TestMessageCounter::italianUntilALanguageIsApplied()
{
    TMessageCounter counter;
    const TRecountResult r = counter.Recount(QStringLiteral("x").repeated(700), 1, 0, true);
    QCOMPARE(r.StatusText, QStringLiteral("Testo troppo lungo"));
    QCOMPARE(counter.Texts().UnicodeWarningCaption, QStringLiteral("Messaggio"));
}

void TestMessageCounter::unknownLanguageKeepsTexts()
{
    TMessageCounter counter;
    counter.ApplyLanguage(QStringLiteral("ENG"));
    counter.ApplyLanguage(QStringLiteral("eng"));
    QCOMPARE(counter.SendButtonCaption(2), QStringLiteral("Send 2 sms"));
    counter.ApplyLanguage(QStringLiteral("POR"));
    QCOMPARE(counter.Texts().UnicodeWarningCaption, QStringLiteral("Message"));
    QCOMPARE(counter.Texts().TooLong, QStringLiteral("Texto muito longo"));
}

void TestMessageCounter::totalSmsIsPartsTimesUniqueRecipients()
{
    TMessageCounter counter;
    counter.Recount(QStringLiteral("a").repeated(200), 10, 2, true);
    QCOMPARE(counter.TotalSms(), qint64(20));
    counter.Recount(QStringLiteral("a").repeated(700), 3, 0, true);
    QCOMPARE(counter.TotalSms(), qint64(12));
    counter.Recount(QStringLiteral("a"), 0, 0, true);
    QCOMPARE(counter.TotalSms(), qint64(0));
}

void TestMessageCounter::tooLongStatus()
{
    TMessageCounter counter;
    counter.ApplyLanguage(QStringLiteral("ENG"));
    TRecountResult r = counter.Recount(QStringLiteral("a").repeated(613), 1, 0, true);
    QCOMPARE(r.CounterText, QStringLiteral("613/612"));
    QCOMPARE(r.StatusText, QStringLiteral("Text too long"));
    QCOMPARE(counter.TextTooLong(), true);
    r = counter.Recount(QStringLiteral("a").repeated(612), 1, 0, true);
    QCOMPARE(r.StatusText, QString());
    QCOMPARE(counter.TextTooLong(), false);
}

void TestMessageCounter::unicodeWarningOnlyOnTheChange()
{
    TMessageCounter counter;
    QCOMPARE(counter.IsUnicode(), false);
    QCOMPARE(counter.Recount(QStringLiteral("Ciao"), 0, 0, true).ShowUnicodeWarning, false);
    QCOMPARE(counter.Recount(QStringLiteral("Ci\u00E1o"), 0, 0, true).ShowUnicodeWarning, true);
    QCOMPARE(counter.IsUnicode(), true);
    // A second Unicode character, and a recount after a recipient change: no repeat.
    QCOMPARE(counter.Recount(QStringLiteral("Ci\u00E1\u00F3"), 0, 0, true).ShowUnicodeWarning, false);
    QCOMPARE(counter.Recount(QStringLiteral("Ci\u00E1\u00F3"), 5, 0, true).ShowUnicodeWarning, false);
    // Back to GSM, then Unicode again: warns again.
    QCOMPARE(counter.Recount(QStringLiteral("Ciao"), 0, 0, true).ShowUnicodeWarning, false);
    QCOMPARE(counter.IsUnicode(), false);
    QCOMPARE(counter.Recount(QStringLiteral("\u201CCiao\u201D"), 0, 0, true).ShowUnicodeWarning, true);
}

void TestMessageCounter::unicodeWarningRespectsTheSetting()
{
    TMessageCounter counter;
    QCOMPARE(counter.Recount(QStringLiteral("\u00E1"), 0, 0, false).ShowUnicodeWarning, false);
    QCOMPARE(counter.IsUnicode(), true);
}

QTEST_GUILESS_MAIN(TestMessageCounter)
#include "TestMessageCounter.moc"
