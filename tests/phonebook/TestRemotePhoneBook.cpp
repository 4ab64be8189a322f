#include "net/NetTestSupport.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/RemotePhoneBook.h"

#include <QRegularExpression>
#include <QtTest>

using Replies = QMap<QByteArray, QByteArray>;

// A SOAP service answering each whole request from a table keyed "Operation:FolderID" or
// "Operation"; an empty reply never answers.
ScriptedPeer::Handler Canned(const Replies& replies)
{
    return [replies](QTcpSocket* s, QByteArray& in) {
        const QString text = QString::fromUtf8(in);
        const auto field = [&text](const char* pattern) {
            return QRegularExpression(QString::fromLatin1(pattern)).match(text).captured(1);
        };
        const qsizetype head = in.indexOf("\r\n\r\n");
        if (head < 0 || in.size() < head + 4 + field("Content-Length: (\\d+)").toInt())
            return;
        const QString op = field("TarvoPhoneBook/(\\w+)\"");
        const QByteArray withFolder = (op + u':' + field("<FolderID>(-?\\d+)<")).toLatin1();
        const QByteArray key = replies.contains(withFolder) ? withFolder : op.toLatin1();
        if (!replies.value(key).isEmpty()) {
            s->write(replies.value(key));
            s->disconnectFromHost();
        }
    };
}

namespace {
QByteArray Http(int status, const QByteArray& body)
{
    return "HTTP/1.1 " + QByteArray::number(status) +
           " X\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}
QByteArray Soap(const QByteArray& inner)
{
    return Http(200, "<s:Envelope xmlns:s='http://schemas.xmlsoap.org/soap/envelope/'><s:Body>" + inner +
                         "</s:Body></s:Envelope>");
}
QByteArray Ok(const QByteArray& op, const QByteArray& result)
{
    return Soap("<r:" + op + "Response xmlns:r='http://www.tarvotelecom.example/TarvoPhoneBook/'><r:" + op +
                "Result>" + result + "</r:" + op + "Result></r:" + op + "Response>");
}
QByteArray Fault(const QByteArray& text)
{
    return "HTTP/1.1 500" + Soap("<s:Fault><faultstring>" + text + "</faultstring></s:Fault>").mid(12);
}
QByteArray Folders(std::initializer_list<const char*> folders)
{
    QByteArray xml;
    for (const char* f : folders) { // "ID NAME TYPE"
        const QList<QByteArray> p = QByteArray(f).split(' ');
        xml += "<r:RecordFolder><r:FolderID>" + p[0] + "</r:FolderID><r:FolderName>" + p[1] +
               "</r:FolderName><r:ContactsCount>0</r:ContactsCount><r:Folder_Type>" + p[2] +
               "</r:Folder_Type></r:RecordFolder>";
    }
    return Ok("GetFolderLists", "<r:RecordFolder>" + xml + "</r:RecordFolder>");
}
QByteArray Contacts(const QList<QByteArray>& contacts)
{
    QByteArray xml;
    for (const QByteArray& c : contacts) { // "ID|NICK|FIRST|LAST|MOBILE"
        const QList<QByteArray> p = c.split('|');
        xml += "<r:Contact><r:ID>" + p[0] + "</r:ID><r:LAST_NAME>" + p[3] + "</r:LAST_NAME><r:FIRST_NAME>" +
               p[2] + "</r:FIRST_NAME><r:NICKNAME>" + p[1] + "</r:NICKNAME><r:MOBILE_TELEPHONE>" + p[4] +
               "</r:MOBILE_TELEPHONE><r:SEX>st_Male</r:SEX></r:Contact>";
    }
    return Ok("GetFolderContacts", xml);
}
QString Lines(const QList<TContactData>& records, const QString& indent = {})
{
    QStringList lines;
    for (const TContactData& d : records)
        lines << indent + (d.IsList() ? QStringLiteral("L%1 %2 (%3)").arg(d.ID).arg(d.NickName).arg(d.Count)
                                      : QStringLiteral("C%1 %2/%3/%4 %5")
                                            .arg(d.ID)
                                            .arg(d.NickName, d.FirstName, d.LastName, d.Number));
    return lines.join(QStringLiteral(" | "));
}
} // namespace

class TestRemotePhoneBook : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void hundredThousandContacts();
};

void TestRemotePhoneBook::outcomes_data()
{
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<QByteArray>("steps");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray three =
        Folders({"1 Rubrica ft_Main", "2 Amici ft_Folder", "3 AMICI ft_Mobile", "4 X ft_Other"});
    const Replies friends{
        {"GetFolderLists", three},
        {"GetFolderContacts:1", Contacts({"5|Mario|Mario|Rossi|+39 333-12/34"})},
        {"GetFolderContacts:2", Contacts({"5|Mario|Mario|Rossi|+39 333-12/34", "6||Anna||1 2"})},
        {"GetFolderContacts:3", Contacts({"7|Zoe|||9"})}};
    QTest::newRow("no folders: empty tree, no main folder")
        << Replies{{"GetFolderLists", Folders({})}} << QByteArray("load") << QByteArray("load: main=-1");
    QTest::newRow("tree keeps blanks in numbers, nick names of single contacts only")
        << friends << QByteArray("load")
        << QByteArray(
               "load: C5 Mario/Mario/Rossi +39 333-12/34 | L2 Amici (2) | L3 AMICI (1) | - C6 /Anna/ 1 2 | "
               "- C5 /Mario/Rossi +39 333-12/34 | - C7 // 9 | main=1");
    QTest::newRow("a list whose contacts call fails has no members")
        << Replies{{"GetFolderLists", three},
                   {"GetFolderContacts:1", Contacts({"5|Mario|||1"})},
                   {"GetFolderContacts:2", Fault("Folder locked")},
                   {"GetFolderContacts:3", Contacts({"x7|Zoe|||9"})}}
        << QByteArray("load")
        << QByteArray("load: C5 Mario// 1 | L2 Amici (0) | L3 AMICI (0) | main=1 ! folder 2 \"Amici\": "
                      "Folder locked");
    QTest::newRow("lookup in other letter case, numbers stripped, never an ft_Mobile folder")
        << friends << QByteArray("list:aMICI list:X")
        << QByteArray("list: C5 Mario/Mario/Rossi +393331234 | C6 /Anna/ 12 | list: not found");
    QTest::newRow("add before any load looks up the main folder; a text answer gives -1")
        << Replies{{"GetFolderLists", three}, {"AddNewContact", Ok("AddNewContact", "done")}}
        << QByteArray("add") << QByteArray("added -1 (done)");
    QTest::newRow("deletion answered with anything but +OK")
        << Replies{{"DeleteContact", Ok("DeleteContact", "+ok")}} << QByteArray("delete")
        << QByteArray("deleted 0 (+ok)");
    QTest::newRow("fault on the folder list ends the load")
        << Replies{{"GetFolderLists", Fault("Login failed")}} << QByteArray("load")
        << QByteArray("load: main=-1 ! Login failed");
    QTest::newRow("HTTP 500 without a SOAP body")
        << Replies{{"UpdateContactDetails", Http(500, "<html>oops</html>")}} << QByteArray("update")
        << QByteArray("failed: the phone-book service answered HTTP 500 X without a SOAP reply");
    QTest::newRow("reply in another namespace")
        << Replies{{"GetFolderLists", Soap("<GetFolderListsResponse xmlns='urn:x'/>")}}
        << QByteArray("list:A")
        << QByteArray("list: not found ! the reply is in the namespace 'urn:x', not the service's "
                      "'http://www.tarvotelecom.example/TarvoPhoneBook/'");
    QTest::newRow("XML bomb")
        << Replies{{"GetFolderLists", Http(200, "<!DOCTYPE x [<!ENTITY a 'aa'>]><x>&a;</x>")}}
        << QByteArray("load")
        << QByteArray("load: main=-1 ! the reply declares a document type, which a SOAP message may not");
    QTest::newRow("a server that never answers; later calls still go out in order")
        << Replies{{"AddNewContact", QByteArray()},
                   {"GetFolderLists", three},
                   {"DeleteContact", Ok("DeleteContact", "+OK")}}
        << QByteArray("add delete")
        << QByteArray("failed: the phone-book service sent nothing for 0.3 seconds | deleted 1 (+OK)");
}

void TestRemotePhoneBook::outcomes()
{
    QFETCH(Replies, replies);
    QFETCH(QByteArray, steps);
    QFETCH(QByteArray, expected);
    ScriptedPeer service(Canned(replies));
    TDM_TarvoPhoneBook remote(QUrl(QStringLiteral("http://127.0.0.1:%1/p.asmx").arg(service.Port())),
                              TUserLog());
    remote.SetTimeout(300);
    TContactsTree tree;
    QStringList seen;
    const auto problem = [](const QString& why) {
        return why.isEmpty() ? QString() : QStringLiteral(" ! ") + why;
    };
    connect(&remote, &TDM_TarvoPhoneBook::phoneBookLoaded, this, [&](bool, const QString& why) {
        QList<TContactData> top;
        QList<TContactData> members;
        for (int r = 0; r < tree.TopLevelCount(); ++r) {
            top << tree.TopLevel(r)->Data();
            for (int c = 0; c < tree.TopLevel(r)->ChildCount(); ++c)
                members << tree.TopLevel(r)->Child(c)->Data();
        }
        QStringList shown{Lines(top), Lines(members, QStringLiteral("- ")),
                          QStringLiteral("main=%1").arg(remote.MainFolderID())};
        shown.removeAll(QString());
        seen << QStringLiteral("load: ") + shown.join(QStringLiteral(" | ")) + problem(why);
    });
    connect(&remote, &TDM_TarvoPhoneBook::listLoaded, this,
            [&](quint64, const QList<TContactData>& members, bool found, const QString& why) {
                seen << QStringLiteral("list: ") + (found ? Lines(members) : QStringLiteral("not found")) +
                            problem(why);
            });
    connect(&remote, &TDM_TarvoPhoneBook::contactAdded, this, [&](quint64, qint32 id, const QString& answer) {
        seen << QStringLiteral("added %1 (%2)").arg(id).arg(answer);
    });
    connect(&remote, &TDM_TarvoPhoneBook::contactUpdated, this, [&] { seen << QStringLiteral("updated"); });
    connect(&remote, &TDM_TarvoPhoneBook::contactDeleted, this,
            [&](quint64, qint32, bool done, const QString& answer) {
                seen << QStringLiteral("deleted %1 (%2)").arg(int(done)).arg(answer);
            });
    connect(&remote, &TDM_TarvoPhoneBook::editFailed, this,
            [&](quint64, const QString& why) { seen << QStringLiteral("failed: ") + why; });

    const QStringList list = QString::fromUtf8(steps).split(u' ');
    for (const QString& step : list) {
        if (step == u"load")
            remote.LoadRemotePhoneBook(tree);
        else if (step.startsWith(u"list:"))
            remote.LoadRemoteList(step.mid(5));
        else if (step == u"add")
            remote.AddRemoteContact(TContactData{});
        else if (step == u"update")
            remote.UpdateRemoteContact(TContactData{});
        else
            remote.DeleteRemoteContact(5);
    }
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), list.size(), 10000);
    QCOMPARE(seen.join(QStringLiteral(" | ")), QString::fromUtf8(expected));
}

void TestRemotePhoneBook::hundredThousandContacts()
{
    QList<QByteArray> contacts;
    for (int id = 1; id <= 100000; ++id)
        contacts << QByteArray::number(id) + "|N" + QByteArray::number(id) + "|||+39333" +
                        QByteArray::number(id);
    ScriptedPeer service(Canned(
        {{"GetFolderLists", Folders({"1 Rubrica ft_Main"})}, {"GetFolderContacts", Contacts(contacts)}}));
    TDM_TarvoPhoneBook remote(QUrl(QStringLiteral("http://127.0.0.1:%1/p.asmx").arg(service.Port())),
                              TUserLog());
    TContactsTree tree;
    QSignalSpy loaded(&remote, &TDM_TarvoPhoneBook::phoneBookLoaded);
    remote.LoadRemotePhoneBook(tree);
    QVERIFY(loaded.wait(60000));
    QCOMPARE(loaded.first().at(1).toString(), QString());
    QCOMPARE(tree.TopLevelCount(), 100000);
    QCOMPARE(tree.TopLevel(0)->Data().NickName, QStringLiteral("N1")); // sorted by nick name
    QCOMPARE(tree.TopLevel(99999)->Data().Number, QStringLiteral("+3933399999"));
}

QTEST_GUILESS_MAIN(TestRemotePhoneBook)
#include "TestRemotePhoneBook.moc"
