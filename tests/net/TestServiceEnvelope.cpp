#include "net/Cipher.h"
#include "net/ClientIdentity.h"
#include "net/NumberLookup.h"
#include "net/ServiceEnvelope.h"
#include "net/Suggestion.h"

#include <QTest>

Q_DECLARE_METATYPE(TInterfaceFacts)
Q_DECLARE_METATYPE(TOsVersionFacts)

namespace {
QStringList Texts(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* t : texts)
        list.append(QString::fromUtf8(t));
    return list;
}
} // namespace

// The texts the service receives, built by hand, and the reading of its replies.
class TestServiceEnvelope : public QObject
{
    Q_OBJECT

    static TClientIdentity Identity()
    {
        return {"Debian 12 (Build 6.1.0)", "00-1a-2b-3c-4d-5e", "rossi", "2.0.0.1"};
    }
    static QDateTime At() { return QDateTime(QDate(2009, 3, 5), QTime(14, 7, 9)); }

private slots:
    void xmlEscape_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("escaped");
        QTest::newRow("markup") << QByteArray("a&b<c>d\"e'f")
                                << QByteArray("a&amp;b&lt;c&gt;d&quot;e&apos;f");
        QTest::newRow("backslash doubled") << QByteArray("p\\w\\\\") << QByteArray("p\\\\w\\\\\\\\");
        QTest::newRow("six accents") << QByteArray("\xe0\xe8\xe9\xec\xf2\xf9")
                                     << QByteArray("&#224;&#232;&#233;&#236;&#242;&#249;");
        QTest::newRow("other bytes stay") << QByteArray("\xe4\x80\xc8") << QByteArray("\xe4\x80\xc8");
        QTest::newRow("entity escaped again") << QByteArray("&amp;") << QByteArray("&amp;amp;");
    }
    void xmlEscape()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, escaped);
        QCOMPARE(XMLEscape(text), escaped);
    }

    void envelopeIsOneLineInOrder()
    {
        const TEnvelopeFields fields{At(),      QStringLiteral("a&b<c"), QStringLiteral("p\\w"),
                                     "Lookup",  QStringLiteral("POR"),   QStringLiteral("+39 \"33\" 'x' è>ä"),
                                     Identity()};
        QCOMPARE(
            BuildEnvelope(fields),
            QByteArray(
                "<MESSAGE><DATE_TIME>2009-03-05 14:07:09</DATE_TIME><USER>a&amp;b&lt;c</USER>"
                "<CARRIER>DALVENOR</CARRIER><PASS>p\\\\w</PASS><TYPE>Lookup</TYPE><LANG>PO</LANG>"
                "<DEST>+39 &quot;33&quot; &apos;x&apos; &#232;&gt;\xe4</DEST><OS>Debian 12 (Build 6.1.0)</OS>"
                "<FVER></FVER><MAC>00-1a-2b-3c-4d-5e</MAC><OSUSER>rossi</OSUSER><PVER>2.0.0.1</PVER>"
                "<SENT>XML</SENT><SUM></SUM></MESSAGE>"));
        // Empty values keep their elements.
        QCOMPARE(
            BuildEnvelope({At(), {}, {}, "Lookup", QStringLiteral("ITA"), {}, {}}),
            QByteArray(
                "<MESSAGE><DATE_TIME>2009-03-05 14:07:09</DATE_TIME><USER></USER><CARRIER>DALVENOR"
                "</CARRIER><PASS></PASS><TYPE>Lookup</TYPE><LANG>IT</LANG><DEST></DEST><OS></OS><FVER>"
                "</FVER><MAC></MAC><OSUSER></OSUSER><PVER></PVER><SENT>XML</SENT><SUM></SUM></MESSAGE>"));
    }

    void windowsOsName_data()
    {
        QTest::addColumn<TOsVersionFacts>("facts");
        QTest::addColumn<QByteArray>("name");
        const int nt = TOsVersionFacts::WindowsNT;
        const quint8 ws = TOsVersionFacts::Workstation;
        const quint8 srv = TOsVersionFacts::Server;
        const unsigned build = 0x10000 + 2600; // only the low 16 bits count
        auto row = [](const char* name, const TOsVersionFacts& facts, const char* text) {
            QTest::newRow(name) << facts << QByteArray(text);
        };
        row("XP SP2", {nt, 5, 1, build, "Service Pack 2", 0, ws},
            "Microsoft Windows XP ProfessionalService Pack 2 (Build 2600)");
        row("XP Home", {nt, 5, 1, build, {}, 0x0200, ws}, "Microsoft Windows XP Home Edition (Build 2600)");
        row("NT 4 SP6a", {nt, 4, 0, build, "service pack 6", 0, ws, true},
            "Microsoft Windows NT Workstation 4.0 Service Pack 6a (Build 2600)");
        row("NT 4 SP6", {nt, 4, 0, build, "Service Pack 6", 0, ws},
            "Microsoft Windows NT Workstation 4.0Service Pack 6 (Build 2600)");
        row("2003 Web", {nt, 5, 2, build, {}, 0x0400, srv},
            "Microsoft Windows Server 2003 Web Edition (Build 2600)");
        row("2003 Datacenter", {nt, 5, 2, build, {}, 0x0482, srv},
            "Microsoft Windows Server 2003 Datacenter Edition (Build 2600)");
        row("2000 Advanced", {nt, 5, 0, build, {}, 0x0002, srv},
            "Microsoft Windows 2000 Advanced Server (Build 2600)");
        row("Longhorn", {nt, 6, 0, build, {}, 0, srv},
            "Microsoft Windows Server \"Longhorn\" Server 6.0 (Build 2600)");
        row("6.1 server", {nt, 6, 1, build, {}, 0x0002, srv},
            "Microsoft Windows NT Server 6.1, Enterprise Edition (Build 2600)");
        row("domain controller", {nt, 5, 2, build, {}, 0x0002, TOsVersionFacts::DomainController},
            "Microsoft Windows Server 2003 (Build 2600)");
        row("95 OSR2", {1, 4, 0, 0, " C"}, "Microsoft Windows 95 OSR2");
        row("98 SE", {1, 4, 10, 0, " A"}, "Microsoft Windows 98 SE");
        row("9x other", {1, 4, 20, 0, {}}, "");
        row("Win32s", {0, 3, 1, 0, {}}, "Microsoft Win32s");
    }
    void windowsOsName()
    {
        QFETCH(TOsVersionFacts, facts);
        QFETCH(QByteArray, name);
        QCOMPARE(WindowsOsName(facts), name);
    }

    void linuxOsName_data()
    {
        QTest::addColumn<QString>("osRelease");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("quoted") << QStringLiteral(
                                       "NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n")
                                << QByteArray("Debian GNU/Linux 12 (bookworm) (Build 6.1.0-18)");
        QTest::newRow("escapes") << QStringLiteral("PRETTY_NAME=\"A \\\"B\\\" \\\\ C\"")
                                 << QByteArray("A \"B\" \\ C (Build 6.1.0-18)");
        QTest::newRow("unquoted, NAME")
            << QStringLiteral("NAME=Arch\nPRETTY_NAME_X=no") << QByteArray("Arch (Build 6.1.0-18)");
        QTest::newRow("nothing") << QString() << QByteArray("Linux (Build 6.1.0-18)");
    }
    void linuxOsName()
    {
        QFETCH(QString, osRelease);
        QFETCH(QByteArray, name);
        QCOMPARE(LinuxOsName(osRelease, QStringLiteral("6.1.0-18")), name);
    }

    void macText_data()
    {
        QTest::addColumn<QList<TInterfaceFacts>>("interfaces");
        QTest::addColumn<QByteArray>("text");
        const TInterfaceFacts loopback{true, QStringLiteral("00:00:00:00:00:01")};
        const TInterfaceFacts tunnel{false, QString()};
        const TInterfaceFacts zero{false, QStringLiteral("00:00:00:00:00:00")};
        const TInterfaceFacts eth{false, QStringLiteral("AA:0B:CC:0D:EE:0F")};
        QTest::newRow("first real") << QList{loopback, tunnel, zero, eth} << QByteArray("aa-0b-cc-0d-ee-0f");
        QTest::newRow("none") << QList{loopback, tunnel} << NoMacAddressText();
    }
    void macText()
    {
        QFETCH(QList<TInterfaceFacts>, interfaces);
        QFETCH(QByteArray, text);
        QCOMPARE(MacTextOf(interfaces), text);
    }

    void lookupReply_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>(
            "fields"); // result, baloon, number, operator, mcc, mnc, zone, status, ported
        const int complete = TLookupReplyParse::Complete;
        QTest::newRow("everything")
            << QByteArray(
                   "<?xml "
                   "version=\"1.0\"?><MESSAGE><RESULT>+OK</RESULT><OPERATOR><OPERATOR_NAME>Op</OPERATOR_NAME>"
                   "<MCC>222</MCC><MNC>01</MNC></OPERATOR><MSISDN_DATA><MSISDN>+39333</MSISDN><PORTED>1</"
                   "PORTED>"
                   "</MSISDN_DATA><PRESENCE><STATUS>1</STATUS></PRESENCE><LOCATION><LOCATION_NAME>Citt\xe0"
                   "</LOCATION_NAME></LOCATION></MESSAGE>")
            << complete << Texts({"+OK", "", "+39333", "Op", "222", "01", "Città", "1", "1"});
        QTest::newRow("defaults, names in any case")
            << QByteArray("<reply><Result>+OK</Result><unknown><RESULT>x</RESULT></unknown></reply>")
            << complete << Texts({"+OK", "", "asked", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A"});
        QTest::newRow("fault, later element wins")
            << QByteArray("<M><RESULT>+ok</RESULT><BALOON_TEXT>a</BALOON_TEXT><FAULTSTRING>b &amp; "
                          "c</FAULTSTRING></M>")
            << complete << Texts({"+ok", "b & c", "asked", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A"});
        QTest::newRow("cut short") << QByteArray("<M><RESULT>+O") << int(TLookupReplyParse::Incomplete)
                                   << QStringList();
        QTest::newRow("empty") << QByteArray() << int(TLookupReplyParse::Incomplete) << QStringList();
        QTest::newRow("not xml") << QByteArray("Service down") << int(TLookupReplyParse::Malformed)
                                 << QStringList();
        QTest::newRow("undeclared entity") << QByteArray("<M><RESULT>&x;</RESULT></M>")
                                           << int(TLookupReplyParse::Malformed) << QStringList();
        QTest::newRow("document type")
            << QByteArray("<!DOCTYPE M [<!ENTITY a \"aaaa\">]><M><RESULT>&a;</RESULT></M>")
            << int(TLookupReplyParse::Malformed) << QStringList();
    }
    void lookupReply()
    {
        QFETCH(QByteArray, plain);
        QFETCH(int, state);
        QFETCH(QStringList, fields);
        const TLookupReplyParse parse = ParseLookupReply(plain, QStringLiteral("asked"));
        QCOMPARE(int(parse.state), state);
        if (fields.isEmpty())
            return;
        const TLookupResponse& r = parse.response;
        const TNumberDetails& d = r.Details;
        QCOMPARE((QStringList{r.Result, r.BaloonText, d.Number, d.OperatorName, d.MCC, d.MNC, d.LocationName,
                              d.Status, d.Ported}),
                 fields);
        QCOMPARE(r.IsOk(), r.Result == u"+OK");
    }

    void suggestionForm()
    {
        TSuggestionContext c;
        c.Account = {QStringLiteral("u"), QStringLiteral("p=1"), QStringLiteral("ITA")};
        c.Identity = Identity();
        c.TimeZone = -3;
        c.PhoneBookVersion = 21;
        c.DisableSound = true;
        c.Sender = QStringLiteral("S&S");
        const QByteArray form =
            BuildSuggestionForm(c, At(), SuggestionBodyOf(QStringLiteral("a&BODY=b\n€ ж")));
        QCOMPARE(
            form,
            QByteArray("DATE_TIME=20090305140709&GMT=-3&USER=u&PASSWORD=p=1&LANGUAGE=ITA&BODY=a&BODY=b\r\n"
                       "\x80 ?&OS=Debian 12 (Build 6.1.0)&DBVER=21&MC=00-1a-2b-3c-4d-5e&OSU=rossi"
                       "&PVER=2.0.0.1&NOSOUND=1&RUNATSTARTUP=0&SENDER=S&S"));
        const QByteArray body = EncryptString(form);
        QCOMPARE(BuildSuggestionRequest(QStringLiteral("www.example.test"), body),
                 "POST /brelmont_suggestion.aspx HTTP/1.1\r\nHost: www.example.test\r\nContent-Length: " +
                     QByteArray::number(4 + (form.size() + 15) / 16 * 16) +
                     "\r\nConnection: Keep-Alive\r\nContent-type: text/xml\r\nAccept-Language: it\r\n"
                     "Cache-Control: no-cache\r\n\r\n" +
                     body);
    }

    void suggestionAccepted_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("body") << QByteArray("HTTP/1.1 200 OK\r\n\r\n+OK") << true;
        QTest::newRow("any case") << QByteArray("HTTP/1.1 200 OK\r\n\r\nall +ok") << true;
        QTest::newRow("status only") << QByteArray("HTTP/1.1 200 OK\r\n\r\n-ERR") << false;
        QTest::newRow("beyond 2000 bytes") << QByteArray(1998, ' ') + "+OK" << false;
    }
    void suggestionAccepted()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, accepted);
        QCOMPARE(IsSuggestionAccepted(reply), accepted);
    }

    void lookupAnimationCycles()
    {
        TLookupTexts texts;
        texts.ApplyLanguage(QStringLiteral("ENG"));
        QString shown = QStringLiteral("Query done.");
        QStringList seen;
        for (int i = 0; i < 5; ++i)
            seen << (shown = texts.NextAnimationText(shown));
        QCOMPARE(seen, Texts({"Getting info", "Getting info.", "Getting info..", "Getting info...",
                              "Getting info"}));
    }
};

QTEST_GUILESS_MAIN(TestServiceEnvelope)
#include "TestServiceEnvelope.moc"
