#include "ContactsFixture.h"
#include "net/NumberLookup.h"
#include "ui/main/MessagePanel.h"
#include "ui/main/PhoneBookEdits.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

// The recipients panel: contacts, lists and typed numbers, the destination string, the
// pop-up's commands, and items that outlive or follow their tree nodes.
class TestRecipients : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { f.reset(); }
    void commands_data();
    void commands();
    void itemsFollowTheTree();
    void lookupTakesTheFocusedNumber_data();
    void lookupTakesTheFocusedNumber();

private:
    std::unique_ptr<TContactsFixture> f;
};

namespace {
const QByteArray kBook = ContactRow("Maria", "", "", "+393471234567") +
                         ContactRow("Abcdefghijklmnopqrstuvwxyz1234", "", "", "+39 333 1") +
                         ContactRow("", "Ada", "Byron", "+39 333 2") +
                         ListRows("Amici", {"Carlo|Bo|+393471234567", "Dina|Re|+39340222"}) +
                         ListRows("Zeta", {"Luca|Neri|+393331119999"});
const QString kAmici = QStringLiteral("[Amici] (2 contatti)");
} // namespace

void TestRecipients::init()
{
    f = std::make_unique<TContactsFixture>();
    REQUIRE_SQLITE_SHELL();
    QVERIFY(f->Start(kBook));
    QGuiApplication::clipboard()->setText(u"before"_s);
}

void TestRecipients::commands_data()
{
    QTest::addColumn<QStringList>("added"); // tree captions, or "#" and a typed number
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("destinations");
    QTest::addColumn<int>("duplicates");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("a contact and a list holding its number")
        << QStringList{u"Maria"_s, kAmici} << -1 << QString()
        << QStringList{u"Maria (+393471234567)"_s, u"Amici (2)"_s} << u"+393471234567;+39340222;"_s << 1
        << u"before"_s;
    QTest::newRow("name parts") << QStringList{u"Abcdefghijklmnopqrstuvwxyz1234"_s, u"Ada Byron"_s,
                                               u"#+3912"_s}
                                << -1 << QString()
                                << QStringList{u"Abcdefghijklmnopqrstuvwxy... (+393331)"_s,
                                               u"Ada Byron (+393332)"_s, u" (+3912)"_s}
                                << u"+393331;+393332;+3912;"_s << 0 << u"before"_s;
    QTest::newRow("copy a contact") << QStringList{u"Maria"_s} << 0 << u"copy"_s
                                    << QStringList{u"Maria (+393471234567)"_s} << u"+393471234567;"_s << 0
                                    << u"+393471234567"_s;
    QTest::newRow("copy a list: its members, CR LF")
        << QStringList{kAmici} << 0 << u"copy"_s << QStringList{u"Amici (2)"_s}
        << u"+393471234567;+39340222;"_s << 0 << u"+393471234567\r\n+39340222\r\n"_s;
    QTest::newRow("copy a typed number: nothing")
        << QStringList{u"#+3912"_s} << 0 << u"copy"_s << QStringList{u" (+3912)"_s} << u"+3912;"_s << 0
        << u"before"_s;
    QTest::newRow("remove the selected") << QStringList{u"Maria"_s, u"#+3912"_s} << 0 << u"remove"_s
                                         << QStringList{u" (+3912)"_s} << u"+3912;"_s << 0 << u"before"_s;
    QTest::newRow("remove all") << QStringList{u"Maria"_s, kAmici} << -1 << u"all"_s << QStringList{}
                                << QString() << 0 << u"before"_s;
}

void TestRecipients::commands()
{
    QFETCH(QStringList, added);
    QFETCH(int, selected);
    QFETCH(QString, command);
    QFETCH(QStringList, captions);
    QFETCH(QString, destinations);
    QFETCH(int, duplicates);
    QFETCH(QString, clipboard);
    TRecipientsPanel* panel = f->Recipients();
    QSignalSpy changed(panel, &TRecipientsPanel::destinationsChanged);
    for (const QString& item : added) {
        if (item.startsWith(u'#'))
            panel->AddNumbers({item.mid(1)});
        else
            panel->AddNodeToRecipients(f->Node(item));
    }
    QCOMPARE(changed.size(), added.size()); // every change rebuilds the destinations
    panel->lvDestinatari->setCurrentRow(selected);
    if (command == u"copy")
        QTest::keySequence(panel->lvDestinatari, QKeySequence::Copy);
    else if (command == u"remove")
        QTest::keyClick(panel->lvDestinatari, Qt::Key_Delete);
    else if (command == u"all")
        panel->aAnnullaTutti->trigger();
    QCOMPARE(f->RecipientCaptions(), captions);
    QCOMPARE(panel->Destinations().DestinationString, destinations);
    QCOMPARE(panel->Destinations().DuplicateRecipients, duplicates);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QCOMPARE(panel->isVisibleTo(f->main.get()), !captions.isEmpty()); // hidden while empty
}

void TestRecipients::itemsFollowTheTree()
{
    TRecipientsPanel* panel = f->Recipients();
    for (const QString& caption :
         {u"Maria"_s, u"Ada Byron"_s, kAmici, u"[Zeta] (1 contatti)"_s, u"Carlo Bo"_s})
        panel->AddNodeToRecipients(f->Node(caption));
    // A changed contact's item follows it; a deleted one goes with it.
    f->Pane()->Edits().ChangeContact(f->Node(u"Carlo Bo"_s), u"Carlo"_s, u"+39311"_s);
    f->Pane()->Edits().DeleteNode(f->Node(u"Maria"_s));
    QCOMPARE(f->RecipientCaptions(),
             QStringList({u"Ada Byron (+393332)"_s, u"Amici (2)"_s, u"Zeta (1)"_s, u"Carlo (+39311)"_s}));
    QCOMPARE(panel->Destinations().DestinationString, u"+393332;+39311;+39340222;+393331119999;"_s);
    // Reloaded after the list Zeta went and Amici lost a member: the list without its list goes,
    // the rest find their nodes again (a second click lists nothing twice).
    f->Sql("DROP TABLE Zeta; DELETE FROM MainContacts WHERE NICK_NAME = 'Zeta'; DELETE FROM Amici WHERE ID = "
           "2;");
    QSignalSpy loaded(f->Pane(), &TContactsPane::phoneBookLoaded);
    f->Pane()->ReloadAfterListsChanged(true);
    QVERIFY(loaded.wait(20000));
    QCOMPARE(f->RecipientCaptions(),
             QStringList({u"Ada Byron (+393332)"_s, u"Amici (1)"_s, u"Carlo (+39311)"_s}));
    panel->AddNodeToRecipients(f->Node(u"[Amici] (1 contatti)"_s));
    panel->AddNodeToRecipients(f->Node(u"Ada Byron"_s));
    QCOMPARE(panel->ItemCount(), 3);
    QCOMPARE(panel->Destinations().DestinationString, u"+393332;+39311;"_s);
}

void TestRecipients::lookupTakesTheFocusedNumber_data()
{
    QTest::addColumn<QString>("focus"); // "tree", "recipients" or "message"
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("a contact in the tree") << u"tree"_s << u"Maria"_s << true;
    QTest::newRow("a list in the tree") << u"tree"_s << kAmici << false;
    QTest::newRow("a recipient") << u"recipients"_s << u"Maria"_s << true;
    QTest::newRow("a contact, focus in the message") << u"message"_s << u"Maria"_s << false;
}

void TestRecipients::lookupTakesTheFocusedNumber()
{
    QFETCH(QString, focus);
    QFETCH(QString, selected);
    QFETCH(bool, enabled);
    TNumberLookup lookup([] { return TLookupContext{}; });
    TMainWindowServices services;
    services.Lookup = &lookup;
    f = std::make_unique<TContactsFixture>();
    QVERIFY(f->Start(kBook, u"ITA"_s, services));
    f->main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f->main.get()));
    f->View()->setCurrentIndex(f->Find(selected));
    f->Recipients()->AddNodeToRecipients(f->Node(selected));
    f->Recipients()->lvDestinatari->setCurrentRow(0);
    QWidget* focused = focus == u"tree" ? static_cast<QWidget*>(f->View())
                       : focus == u"recipients" ? static_cast<QWidget*>(f->Recipients()->lvDestinatari)
                                                : static_cast<QWidget*>(f->main->MessagePanel()->TNTMemoMessage);
    focused->setFocus();
    QTRY_VERIFY(focused->hasFocus());
    f->main->ProgramActionsUpdate();
    QCOMPARE(f->main->aRichiestaLookup->isEnabled(), enabled);
}

QTEST_MAIN(TestRecipients)
#include "tst_recipients.moc"
