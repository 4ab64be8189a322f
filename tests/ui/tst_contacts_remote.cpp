#include "ContactsFixture.h"
#include "net/PeerProcesses.h"
#include "phonebook/RemotePhoneBook.h"
#include "ui/dialogs/MessageDialog.h"

#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

// With "UsePGOnline" on, the tree, the contact panel's edits, the recipients' list members and
// the clipboard go to the remote phone book: the npm soap package and the provider's stand-in.
// With it off, nothing reaches the network.
class TestContactsRemote : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void npmPeer();
    void offReachesNothing();
    void standIn();

private:
    // The window over remote (the setting as given), activated until the tree is loaded.
    bool Start(const QString& url, bool useRemote);
    std::unique_ptr<TContactsFixture> f;
    std::unique_ptr<TDM_TarvoPhoneBook> m_remote;
};

namespace {
const QByteArray kPhoneBook =
    R"({"login": {"UserID": "mario", "Password": "segreto"}, "deleteAnswer": "-ERR locked",
  "folders": [{"FolderID": 1, "FolderName": "Rubrica", "Folder_Type": "ft_Main"},
              {"FolderID": 2, "FolderName": "Amici", "Folder_Type": "ft_Folder"}],
  "contacts": [{"ID": 1, "NICKNAME": "Mario", "FIRST_NAME": "Mario", "LAST_NAME": "Rossi",
                "MOBILE_TELEPHONE": "+39 333-123/4567", "folders": [2]},
               {"ID": 2, "NICKNAME": "Anna", "FIRST_NAME": "Anna", "LAST_NAME": "Verdi",
                "MOBILE_TELEPHONE": "+393471112223", "folders": [2]}]})";
} // namespace

void TestContactsRemote::cleanup()
{
    f.reset();
    m_remote.reset();
    TF_Message::ClearNextAnswers();
}

bool TestContactsRemote::Start(const QString& url, bool useRemote)
{
    m_remote =
        std::make_unique<TDM_TarvoPhoneBook>(QUrl(url), TUserLog::ForAccount(u"mario"_s, u"segreto"_s));
    f = std::make_unique<TContactsFixture>();
    f->phoneBookServices.Remote = m_remote.get();
    f->Create(u"mario"_s, u"segreto"_s);
    f->settings->SetUsePGOnline(useRemote);
    f->settings->SetLanguage(u"ITA"_s);
    f->settings->SetLastIntPrefix(u"Italy"_s);
    f->main->show();
    return f->Activate();
}

void TestContactsRemote::npmPeer()
{
    if (!NodeSoapPeer::Available())
        QSKIP("node or tests/peers/soap/node_modules is missing (scripts/test.sh installs them)");
    NodeSoapPeer peer;
    QVERIFY(peer.Start(kPhoneBook));
    QVERIFY(Start(peer.Url(), true));
    QCOMPARE(f->Rows(), QStringList({u"Anna"_s, u"Mario"_s, u"[Amici] (2 contatti)"_s}));

    // A list's members are read from the service, for the destinations and for the clipboard.
    TRecipientsPanel* recipients = f->Recipients();
    QSignalSpy built(recipients, &TRecipientsPanel::destinationsChanged);
    recipients->AddNodeToRecipients(f->Node(u"[Amici] (2 contatti)"_s));
    QVERIFY(recipients->IsBuilding());
    QVERIFY(built.wait(20000));
    QCOMPARE(recipients->Destinations().DestinationString, u"+393331234567;+393471112223;"_s);
    recipients->lvDestinatari->setCurrentRow(0);
    QTest::keySequence(recipients->lvDestinatari, QKeySequence::Copy);
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), u"+393331234567\r\n+393471112223\r\n"_s,
                              20000);

    // Add: the node takes the ID the service gives; change: the service gets the new record.
    TContactPanel* panel = f->Panel();
    QSignalSpy added(m_remote.get(), &TDM_TarvoPhoneBook::contactAdded);
    panel->OpenAdd();
    panel->Edit_Visualizzato->setText(u"Luigi"_s);
    panel->Edit_Numero->setText(u"3201234567"_s);
    panel->BtnOkClick();
    QVERIFY(added.wait(20000));
    QCOMPARE(f->Node(u"Luigi"_s)->ID(), 3);
    QVERIFY(peer.Requests("AddNewContact")
                .value(0)
                .contains(R"("NICKNAME":"Luigi","MOBILE_TELEPHONE":"+393201234567")"));
    QSignalSpy updated(m_remote.get(), &TDM_TarvoPhoneBook::contactUpdated);
    panel->OpenChange(f->Node(u"Anna"_s));
    panel->Edit_Visualizzato->setText(u"Anna V"_s);
    panel->BtnOkClick();
    QVERIFY(updated.wait(20000));
    QVERIFY(peer.Requests("UpdateContactDetails").value(0).contains(R"("ID":2,)"));

    // A deletion the service refuses leaves the node, and the answer is shown.
    QSignalSpy deleted(m_remote.get(), &TDM_TarvoPhoneBook::contactDeleted);
    TF_Message::SetNextAnswer(TF_Message::ResultOk);
    panel->OpenDelete(f->Node(u"Mario"_s));
    panel->BtnDoDeleteClick();
    QVERIFY(deleted.wait(20000));
    QCOMPARE(TF_Message::LastText(), u"-ERR locked"_s);
    QVERIFY(f->Node(u"Mario"_s));
}

void TestContactsRemote::offReachesNothing()
{
    if (!NodeSoapPeer::Available())
        QSKIP("node or tests/peers/soap/node_modules is missing (scripts/test.sh installs them)");
    NodeSoapPeer peer;
    QVERIFY(peer.Start(kPhoneBook));
    QVERIFY(Start(peer.Url(), false));
    f->Panel()->OpenAdd();
    f->Panel()->Edit_Numero->setText(u"3201234567"_s);
    f->Panel()->BtnOkClick();
    f->Recipients()->AddNodeToRecipients(f->Node(u"No Name"_s));
    QTest::qWait(300);
    peer.Requests("");
    QCOMPARE(peer.output.count("REQUEST"), 0);
    QCOMPARE(f->Sql("SELECT NICK_NAME, NUMBER FROM MainContacts"), QByteArray("No Name|+393201234567"));
}

void TestContactsRemote::standIn()
{
    ProviderSim sim;
    QVERIFY(sim.Start({}));
    QVERIFY(Start(u"http://127.0.0.1:%1/services/TarvoPhoneBook.asmx"_s.arg(sim.httpPort), true));
    QCOMPARE(f->Rows(),
             QStringList({u"Giulia Bianchi"_s, u"Luca"_s, u"Mario"_s, u"Sara"_s, u"[Amici] (2 contatti)"_s,
                          u"[Cellulari] (1 contatti)"_s, u"[Lavoro] (2 contatti)"_s}));
    QSignalSpy deleted(m_remote.get(), &TDM_TarvoPhoneBook::contactDeleted);
    f->Panel()->OpenDelete(f->Node(u"Sara"_s));
    f->Panel()->BtnDoDeleteClick();
    QVERIFY(f->Node(u"Sara"_s)); // until the service confirms
    QVERIFY(deleted.wait(20000));
    QVERIFY(!f->Node(u"Sara"_s));
    QSignalSpy built(f->Recipients(), &TRecipientsPanel::destinationsChanged);
    f->Recipients()->AddNodeToRecipients(f->Node(u"[Lavoro] (2 contatti)"_s));
    QVERIFY(built.wait(20000));
    QCOMPARE(f->Recipients()->Destinations().DestinationString, u"+393477654321;+393401112222;"_s);
}

QTEST_MAIN(TestContactsRemote)
#include "tst_contacts_remote.moc"
