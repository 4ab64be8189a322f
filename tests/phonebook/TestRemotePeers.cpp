#include "cli/CliCommand.h"
#include "net/PeerProcesses.h"
#include "phonebook/RemotePhoneBook.h"
#include "settings/SettingsHolder.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

// The remote phone book and brelmont-cli --remote against the npm soap package and the stand-in.
class TestRemotePeers : public QObject
{
    Q_OBJECT

private slots:
    void cliAgainstNpmSoap();
    void cliAgainstStandIn();
};

namespace {
const QByteArray kPhoneBook = R"({"login": {"UserID": "mario", "Password": "segreto"},
  "folders": [{"FolderID": 1, "FolderName": "Rubrica", "Folder_Type": "ft_Main"},
              {"FolderID": 2, "FolderName": "Amici", "Folder_Type": "ft_Folder"},
              {"FolderID": 3, "FolderName": "amici", "Folder_Type": "ft_Mobile"},
              {"FolderID": 4, "FolderName": "Rotti", "Folder_Type": "ft_Folder", "fail": "Cartella <rotta>"}],
  "contacts": [{"ID": 1, "NICKNAME": "Mario", "FIRST_NAME": "Mario", "LAST_NAME": "Rossi",
                "MOBILE_TELEPHONE": "+39 333-123/4567", "folders": [2]},
               {"ID": 2, "FIRST_NAME": "Anna", "LAST_NAME": "Verdi", "MOBILE_TELEPHONE": "+393471112223",
                "folders": [2, 3]}]})";
const QString kDump = QStringLiteral("contact\t2\tAnna Verdi\t+393471112223\n"
                                     "contact\t1\tMario\t+39 333-123/4567\n"
                                     "list\t2\t[Amici] (2 contacts)\t2\n"
                                     "  contact\t2\tAnna Verdi\t+393471112223\n"
                                     "  contact\t1\tMario Rossi\t+39 333-123/4567\n"
                                     "list\t3\t[amici] (1 contacts)\t1\n"
                                     "  contact\t2\tAnna Verdi\t+393471112223\n"
                                     "list\t4\t[Rotti] (0 contacts)\t0\n");

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run Cli(int (*command)(const QStringList&, CliIo), const QString& args)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.code = command(args.split(u' '), CliIo{out, err});
    out.flush();
    err.flush();
    return run;
}
Run Phonebook(const QString& args)
{
    return Cli(&RunRemotePhonebookCommand, args);
}
Run List(const QString& args)
{
    return Cli(&RunRemoteListShow, args);
}

void Configure(const QString& url, const QString& password)
{
    TSettingsHolder settings;
    settings.LoadSettings(false);
    settings.SetUserName(QStringLiteral("mario"));
    settings.SetRememberPwd(true);
    settings.SetPassword(password);
    QVERIFY(settings.SaveSettings());
    QVERIFY(settings.WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("PhoneBookServiceUrl"),
                                      RegValue::String(url)));
}
} // namespace

void TestRemotePeers::cliAgainstNpmSoap()
{
    if (!NodeSoapPeer::Available())
        QSKIP("node or tests/peers/soap/node_modules is missing (scripts/test.sh installs them)");
    NodeSoapPeer peer;
    QVERIFY(peer.Start(kPhoneBook));
    Configure(peer.Url(), QStringLiteral("segreto"));

    Run run = Phonebook(QStringLiteral("dump --remote"));
    QCOMPARE(run.out, kDump);
    QCOMPARE(run.err, QStringLiteral("brelmont-cli: folder 4 \"Rotti\": Cartella <rotta>\n"));
    QCOMPARE(run.code, int(CliRefused));
    run = Phonebook(QStringLiteral("add --remote Luigi +39320"));
    QCOMPARE(run.out + run.err, QStringLiteral("3\n"));
    QCOMPARE(List(QStringLiteral("show --remote")).out, QStringLiteral("Amici\t2\nRotti\t0\n"));
    QCOMPARE(List(QStringLiteral("--remote show amici")).out,
             QStringLiteral("+393331234567 - Mario\nAnna Verdi - +393471112223\n"));
    run = List(QStringLiteral("show --remote Rotti"));
    QCOMPARE(run.code, int(CliRefused));
    QCOMPARE(run.err, QStringLiteral("brelmont-cli: Cartella <rotta>\n"));
    QCOMPARE(Phonebook(QStringLiteral("delete --remote 3")).out, QStringLiteral("deleted contact 3\n"));
    QCOMPARE(Phonebook(QStringLiteral("delete --remote three")).code, int(CliBadArguments));

    Configure(peer.Url(), QStringLiteral("sbagliata"));
    run = Phonebook(QStringLiteral("add --remote Luigi +39320"));
    QCOMPARE(run.code, int(CliRefused));
    QCOMPARE(run.err, QStringLiteral("brelmont-cli: Login failed\n"));

    // What the server decoded: the account, the texts, the main folder looked up before the first add.
    TDM_TarvoPhoneBook remote(QUrl(peer.Url()),
                              TUserLog::ForAccount(QStringLiteral("mario"), QStringLiteral("segreto")));
    TContactData zoe;
    zoe.ID = 4;
    zoe.NickName = QStringLiteral("Zoë <&>");
    zoe.FirstName = QStringLiteral("Zoe");
    zoe.Number = QStringLiteral("+39 320 1");
    QSignalSpy updated(&remote, &TDM_TarvoPhoneBook::contactUpdated);
    remote.AddRemoteContact(zoe);
    remote.UpdateRemoteContact(zoe);
    QVERIFY(updated.wait(20000));
    const QList<QByteArray> adds = peer.Requests("AddNewContact");
    QCOMPARE(adds.size(), 3); // the command's, the one with a wrong password, this one
    const QByteArray added = adds.last();
    QVERIFY2(
        added.contains(R"("UserLogin":{"UserID":"mario","Password":"segreto","Domain":"tarvotelecom"})") &&
            added.contains(R"("NICKNAME":"Zoë <&>","MOBILE_TELEPHONE":"+39 320 1","SEX":"st_Male")") &&
            added.contains(R"("ID_FOLDERS":{"int":[1]},"Page":0,"MaxPage":0)"),
        added.constData());
    QVERIFY(peer.Requests("UpdateContactDetails")
                .value(0)
                .contains(R"("ID":4,"LAST_NAME":"","FIRST_NAME":"Zoe")"));
}

void TestRemotePeers::cliAgainstStandIn()
{
    ProviderSim sim;
    QVERIFY(sim.Start({}));
    const QString url = QStringLiteral("http://127.0.0.1:%1/services/TarvoPhoneBook.asmx").arg(sim.httpPort);
    Configure(url, QStringLiteral("x"));
    Run run = Phonebook(QStringLiteral("dump --remote"));
    QCOMPARE(run.code, int(CliOk));
    QCOMPARE(run.out.count(u'\n'), 12); // four contacts, three lists, five members
    QCOMPARE(Phonebook(QStringLiteral("add --remote Zeta +39 1")).code, int(CliBadArguments));
    QCOMPARE(Phonebook(QStringLiteral("add --remote Zeta +391")).out, QStringLiteral("5\n"));
    QVERIFY(Phonebook(QStringLiteral("dump --remote"))
                .out.startsWith(QStringLiteral("contact\t2\tGiulia Bianchi\t")));
    QCOMPARE(List(QStringLiteral("show --remote LAVORO")).out,
             QStringLiteral("Giulia Bianchi - +393477654321\n+393401112222 - Luca\n"));
    QCOMPARE(Phonebook(QStringLiteral("delete --remote 5")).code, int(CliOk));
    QCOMPARE(
        Phonebook(QStringLiteral("delete --remote 5")).err,
        QStringLiteral(
            "brelmont-cli: contact 5 was not deleted; the service answered \"-ERR contact not found\"\n"));

    // The stand-in pages a folder: the second page of two holds contacts 3 and 4, and is the last.
    QNetworkAccessManager network;
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml"));
    request.setRawHeader("SOAPAction", TarvoSoap::SoapAction(QStringLiteral("GetFolderContacts")).toUtf8());
    QNetworkReply* reply = network.post(
        request, TarvoSoap::GetFolderContactsRequest(TUserLog::ForAccount(QStringLiteral("m"), {}), 1, 1, 2));
    QVERIFY(QSignalSpy(reply, &QNetworkReply::finished).wait(10000));
    const QByteArray page = reply->readAll();
    QCOMPARE(page.count("<p:Page>1</p:Page><p:MaxPage>1</p:MaxPage>"), 2);
    QVERIFY(page.contains("<p:Contact><p:ID>3</p:ID>") && page.contains("<p:Contact><p:ID>4</p:ID>"));
}

QTEST_GUILESS_MAIN(TestRemotePeers)
#include "TestRemotePeers.moc"
