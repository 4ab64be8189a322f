#include "phonebook/RemotePhoneBook.h"
#include "phonebook/TarvoSoap.h"
#include "platform/SystemFacts.h"

#include <QtTest>

// The remote phone book's messages: request bytes, and replies however they are written.
class TestTarvoSoap : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SystemFacts::OverrideNow(std::nullopt); }
    void requestBytes_data();
    void requestBytes();
    void repliesAnyPrefix_data();
    void repliesAnyPrefix();
    void badReplies_data();
    void badReplies();
};

namespace {
const QByteArray kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>";
const QByteArray kTail = "</soap:Body></soap:Envelope>\n";
const QByteArray kNs = " xmlns=\"http://www.tarvotelecom.example/TarvoPhoneBook/\"";
const QByteArray kLogin =
    "<UserLogin><UserID>mario</UserID><Password>s&lt;3</Password><Domain>tarvotelecom</Domain></UserLogin>";

// Folders and contacts as one line each: what the reader handed over, then how it ended.
QString Read(TSoapReplyReader& reader, const QByteArray& reply, qsizetype chunk)
{
    QStringList seen;
    reader.OnFolder([&](const TRecordFolder& f) {
        seen << QStringLiteral("F%1 %2 %3 %4")
                    .arg(f.FolderID)
                    .arg(f.FolderName.value_or(QStringLiteral("-")))
                    .arg(f.ContactsCount)
                    .arg(int(f.Folder_Type));
    });
    reader.OnContact([&](const TRemoteContact& c) {
        seen << QStringLiteral("C%1 %2 %3")
                    .arg(c.ID)
                    .arg(c.NICKNAME.value_or(QStringLiteral("-")),
                         c.MOBILE_TELEPHONE.value_or(QStringLiteral("-")));
    });
    for (qsizetype at = 0; at < reply.size(); at += chunk)
        reader.AddData(reply.mid(at, chunk));
    reader.Finish();
    if (reader.CurrentState() == TSoapReplyReader::State::Failed)
        seen << QStringLiteral("failed");
    return seen.join(u'|');
}
} // namespace

void TestTarvoSoap::requestBytes_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    SystemFacts::OverrideNow(QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30), Qt::OffsetFromUTC, 3600));
    const TUserLog login = TUserLog::ForAccount(QStringLiteral("mario"), QStringLiteral("s<3"));
    TContactData added;
    added.NickName = QStringLiteral("Mario & \x01"
                                    "Co");
    added.Number = QStringLiteral("+39 333");
    TContactData changed;
    changed.ID = 12;
    changed.FirstName = QStringLiteral("Anna");
    changed.LastName = QStringLiteral("Rossi");
    changed.Number = QStringLiteral("333");

    QTest::newRow("GetFolderLists") << TarvoSoap::GetFolderListsRequest(login)
                                    << kHead + "<GetFolderLists" + kNs + '>' + kLogin + "</GetFolderLists>" +
                                           kTail;
    QTest::newRow("GetFolderLists, no account")
        << TarvoSoap::GetFolderListsRequest(TUserLog{{}, {}, QString()})
        << kHead + "<GetFolderLists" + kNs + "><UserLogin><Domain></Domain></UserLogin></GetFolderLists>" +
               kTail;
    QTest::newRow("GetFolderContacts")
        << TarvoSoap::GetFolderContactsRequest(login, 5, 0, 2147483647)
        << kHead + "<GetFolderContacts" + kNs + '>' + kLogin +
               "<FolderID>5</FolderID><Page>0</Page><PageSize>2147483647</PageSize></GetFolderContacts>" +
               kTail;
    QTest::newRow("AddNewContact")
        << TarvoSoap::AddNewContactRequest(login, TDM_TarvoPhoneBook::NewContact(added, -1))
        << kHead + "<AddNewContact" + kNs + '>' + kLogin +
               "<ContactDetails><ID>0</ID><NICKNAME>Mario &amp; Co</NICKNAME><MOBILE_TELEPHONE>+39 333"
               "</MOBILE_TELEPHONE><SEX>st_Male</SEX><BIRTHDAY>2024-03-05T10:20:30+01:00</BIRTHDAY>"
               "<ID_FOLDERS><int>-1</int></ID_FOLDERS><Page>0</Page><MaxPage>0</MaxPage></ContactDetails>"
               "</AddNewContact>" +
               kTail;
    QTest::newRow("UpdateContactDetails")
        << TarvoSoap::UpdateContactDetailsRequest(login, TDM_TarvoPhoneBook::ChangedContact(changed))
        << kHead + "<UpdateContactDetails" + kNs + '>' + kLogin +
               "<UpContact><ID>12</ID><LAST_NAME>Rossi</LAST_NAME><FIRST_NAME>Anna</FIRST_NAME><NICKNAME></"
               "NICKNAME>"
               "<MOBILE_TELEPHONE>333</MOBILE_TELEPHONE><SEX>st_Male</SEX><BIRTHDAY>2024-03-05T10:20:30+01:00"
               "</BIRTHDAY><Page>0</Page><MaxPage>0</MaxPage></UpContact></UpdateContactDetails>" +
               kTail;
    QTest::newRow("DeleteContact") << TarvoSoap::DeleteContactRequest(login, 42)
                                   << kHead + "<DeleteContact" + kNs + '>' + kLogin +
                                          "<ContactID>42</ContactID></DeleteContact>" + kTail;
}

void TestTarvoSoap::requestBytes()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    QCOMPARE(request, expected);
}

void TestTarvoSoap::repliesAnyPrefix_data()
{
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("expected");
    const int folders = int(TSoapReplyReader::Result::Folders);
    const int contacts = int(TSoapReplyReader::Result::Contacts);
    const QString listed = QStringLiteral("F1 Rubrica 2 1|F9 - 0 0");
    QTest::newRow("default namespace")
        << QByteArray("GetFolderLists") << folders
        << QByteArray(
               "<Envelope xmlns='http://schemas.xmlsoap.org/soap/envelope/'><Body>"
               "<GetFolderListsResponse xmlns='http://www.tarvotelecom.example/TarvoPhoneBook/'>"
               "<GetFolderListsResult><RecordFolder><RecordFolder><FolderID>1</FolderID><FolderName>Rubrica"
               "</FolderName><ContactsCount>2</ContactsCount><Folder_Type>ft_Main</Folder_Type></"
               "RecordFolder>"
               "<RecordFolder><FolderID> 9 </FolderID><ContactsCount>0</ContactsCount><Folder_Type>ft_Folder"
               "</Folder_Type></RecordFolder></RecordFolder></GetFolderListsResult></GetFolderListsResponse>"
               "</Body></Envelope>")
        << listed;
    QTest::newRow("prefixes, header, nil, unknown elements")
        << QByteArray("GetFolderLists") << folders
        << QByteArray(
               "<?xml version='1.0'?><E:Envelope xmlns:E='http://schemas.xmlsoap.org/soap/envelope/' "
               "xmlns:t='http://www.tarvotelecom.example/TarvoPhoneBook/' "
               "xmlns:i='http://www.w3.org/2001/XMLSchema-instance'><E:Header><t:FolderID>7</t:FolderID>"
               "</E:Header><E:Body><t:GetFolderListsResponse><t:GetFolderListsResult><t:RecordFolder>"
               "<t:RecordFolder><t:Extra><t:FolderID>5</t:FolderID></t:Extra><t:FolderID>1</t:FolderID>"
               "<t:FolderName>Rubrica</t:FolderName><t:ContactsCount>2</t:ContactsCount><t:Folder_Type>1"
               "</t:Folder_Type></t:RecordFolder><t:RecordFolder i:nil='true'/><t:RecordFolder>"
               "<t:FolderID>9</t:FolderID><t:FolderName i:nil='1'/><t:ContactsCount>0</t:ContactsCount>"
               "<t:Folder_Type>ft_Folder</t:Folder_Type></t:RecordFolder></t:RecordFolder>"
               "</t:GetFolderListsResult></t:GetFolderListsResponse></E:Body></E:Envelope>")
        << listed;
    QTest::newRow("contacts, unqualified children")
        << QByteArray("GetFolderContacts") << contacts
        << QByteArray(
               "<s:Envelope xmlns:s='http://schemas.xmlsoap.org/soap/envelope/'><s:Body>"
               "<n:GetFolderContactsResponse xmlns:n='http://www.tarvotelecom.example/TarvoPhoneBook/'>"
               "<GetFolderContactsResult><Contact><ID>3</ID><NICKNAME>Zo&#235;</NICKNAME>"
               "<SEX>st_Female</SEX><ID_FOLDERS><int>1</int></ID_FOLDERS><MOBILE_TELEPHONE>+39 1-2/3"
               "</MOBILE_TELEPHONE></Contact><Contact><ID>4</ID></Contact></GetFolderContactsResult>"
               "</n:GetFolderContactsResponse></s:Body></s:Envelope>")
        << QStringLiteral("C3 Zoë +39 1-2/3|C4 - -");
}

void TestTarvoSoap::repliesAnyPrefix()
{
    QFETCH(QByteArray, operation);
    QFETCH(int, kind);
    QFETCH(QByteArray, reply);
    QFETCH(QString, expected);
    // Whole, and one byte at a time as a slow network would hand it over.
    for (const qsizetype chunk : {reply.size(), qsizetype(1)}) {
        TSoapReplyReader reader(QString::fromLatin1(operation), TSoapReplyReader::Result(kind));
        QCOMPARE(Read(reader, reply, chunk), expected);
    }
}

void TestTarvoSoap::badReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("why");
    const QByteArray open = "<s:Envelope xmlns:s='http://schemas.xmlsoap.org/soap/envelope/'><s:Body>"
                            "<GetFolderListsResponse xmlns='http://www.tarvotelecom.example/TarvoPhoneBook/'>"
                            "<GetFolderListsResult><RecordFolder><RecordFolder>";
    const QByteArray close = "</RecordFolder></RecordFolder></GetFolderListsResult></GetFolderListsResponse>"
                             "</s:Body></s:Envelope>";
    QTest::newRow("another namespace")
        << QByteArray("<s:Envelope xmlns:s='http://schemas.xmlsoap.org/soap/envelope/'><s:Body>"
                      "<GetFolderListsResponse xmlns='http://tempuri.org/'/></s:Body></s:Envelope>")
        << QByteArray("the reply is in the namespace 'http://tempuri.org/', not the service's "
                      "'http://www.tarvotelecom.example/TarvoPhoneBook/'");
    QTest::newRow("SOAP 1.2") << QByteArray("<Envelope xmlns='http://www.w3.org/2003/05/soap-envelope'/>")
                              << QByteArray("the reply is not a SOAP 1.1 envelope (namespace "
                                            "'http://www.w3.org/2003/05/soap-envelope')");
    QTest::newRow("no FolderID") << open +
                                        "<ContactsCount>1</ContactsCount><Folder_Type>ft_Main</Folder_Type>" +
                                        close
                                 << QByteArray("a RecordFolder without FolderID");
    QTest::newRow("no Folder_Type") << open + "<FolderID>4</FolderID>" + close
                                    << QByteArray("RecordFolder 4 has no Folder_Type");
    QTest::newRow("non-numeric ID") << open + "<FolderID>4a</FolderID>" + close
                                    << QByteArray("FolderID is not an integer: '4a'");
    QTest::newRow("entity bomb")
        << QByteArray("<?xml version='1.0'?><!DOCTYPE s [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;"
                      "&a;&a;&a;&a;&a;&a;&a;'>]><s>&b;</s>")
        << QByteArray("the reply declares a document type, which a SOAP message may not");
    QTest::newRow("cut short") << open + "<FolderID>4</FolderID>"
                               << QByteArray("the reply ends before its envelope is closed");
    QTest::newRow("no response") << QByteArray(
                                        "<s:Envelope xmlns:s='http://schemas.xmlsoap.org/soap/envelope/'>"
                                        "<s:Body/></s:Envelope>")
                                 << QByteArray("the reply holds no <GetFolderListsResponse>");
    QTest::newRow("not XML") << QByteArray(
                                    "<s:Envelope xmlns:s='http://schemas.xmlsoap.org/soap/envelope/'><<")
                             << QByteArray("the reply is not well-formed XML: ");
}

void TestTarvoSoap::badReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, why);
    TSoapReplyReader reader(QStringLiteral("GetFolderLists"), TSoapReplyReader::Result::Folders);
    QCOMPARE(Read(reader, reply, reply.size() + 1), QStringLiteral("failed"));
    QVERIFY2(reader.ErrorText().contains(QString::fromUtf8(why)), qPrintable(reader.ErrorText()));
}

QTEST_GUILESS_MAIN(TestTarvoSoap)
#include "TestTarvoSoap.moc"
