#include "ContactsFixture.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/QuickSearchIndex.h"
#include "ui/main/QuickSearchStrip.h"
#include "ui/main/TopPanel.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStackedLayout>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;

// The contacts tree: order and captions, the mouse and key rules, the pop-up menu, the quick
// search and the empty phone book, over a phone book the sqlite3 shell wrote.
class TestContactsTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void orderAndCaptions_data();
    void orderAndCaptions();
    void mouseRules_data();
    void mouseRules();
    void keyRules_data();
    void keyRules();
    void popupEntries_data();
    void popupEntries();
    void quickSearch_data();
    void quickSearch();
    void quickSearchSurvivesEditsAndReload();
    void quickSearchLargeTree_data();
    void quickSearchLargeTree();
    void emptyPhoneBookNoticeOnce();

private:
    std::unique_ptr<TContactsFixture> f;
};

namespace {
const QByteArray kBook =
    ContactRow("", "Anna", "", "+393331110001") + ContactRow("", "", "", "+39 555") +
    ContactRow("   ", "Zeno", "Blu", "+393330000003") + ContactRow("Maria", "", "", "+393471234567") +
    ContactRow("Omar", "", "", "+447700900333") + ContactRow("\xe0ndrea", "", "", "+39341") +
    ContactRow("\xc0lberto", "", "", "+39342") + ListRows("Zeta", {"Luca|Neri|+393331119999"}) +
    ListRows("Amici", {"Maria|De Luca|+39340111", "Carlo|Bo|+39340222"}) +
    ListRows("Mare", {"Ugo|Po|+39340333"}) + ListRows("Vuota", {});
const QString kAmici = QStringLiteral("[Amici] (2 contatti)");

// As the window system delivers it: press, release, double click, release.
void DoubleClick(QWidget* widget, const QPoint& at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                       Qt::LeftButton, {});
    QApplication::sendEvent(widget, &second);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}
} // namespace

void TestContactsTree::init()
{
    f = std::make_unique<TContactsFixture>();
    REQUIRE_SQLITE_SHELL();
}

void TestContactsTree::cleanup()
{
    f.reset();
    DialogTestHook::AnswerAtOnce(false);
    TF_Message::ClearNextAnswers();
}

void TestContactsTree::orderAndCaptions_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("word");
    QTest::newRow("Italian") << u"ITA"_s << u" contatti"_s;
    QTest::newRow("English") << u"ENG"_s << u" contacts"_s;
    QTest::newRow("Portuguese in English") << u"POR"_s << u" contacts"_s;
}

void TestContactsTree::orderAndCaptions()
{
    QFETCH(QString, language);
    QFETCH(QString, word);
    QVERIFY(f->Start(kBook, language));
    // Keys in upper case byte by byte: a number-only contact sorts by " ", the three-blank nick by
    // its blanks; lists always last.
    QCOMPARE(f->Rows(),
             QStringList({u"+39555"_s, u"Zeno Blu"_s, u"Anna "_s, u"Maria"_s, u"Omar"_s, u"\u00c0lberto"_s,
                          u"\u00e0ndrea"_s, u"[Amici] (2"_s + word + u")"_s, u"[Mare] (1"_s + word + u")"_s,
                          u"[Vuota] (0"_s + word + u")"_s, u"[Zeta] (1"_s + word + u")"_s}));
}

void TestContactsTree::mouseRules_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("recipients");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("amiciOpen");
    const QString maria = QStringLiteral("Maria (+393471234567)");
    QTest::newRow("click adds the contact")
        << QStringList{u"click Maria"_s} << QStringList{maria} << u"Maria"_s << false;
    QTest::newRow("twice is listed once")
        << QStringList{u"click Maria"_s, u"click Maria"_s} << QStringList{maria} << u"Maria"_s << false;
    QTest::newRow("empty space deselects")
        << QStringList{u"click Maria"_s, u"empty"_s} << QStringList{maria} << u""_s << false;
    QTest::newRow("button opens, deselects, adds nothing")
        << QStringList{u"click Maria"_s, u"button "_s + kAmici} << QStringList{maria} << u""_s << true;
    QTest::newRow("double click refuses the next toggle")
        << QStringList{u"dbl Maria"_s, u"button "_s + kAmici} << QStringList{maria} << u""_s << false;
    QTest::newRow("the toggle after that opens")
        << QStringList{u"dbl Maria"_s, u"button "_s + kAmici, u"button "_s + kAmici} << QStringList{maria}
        << u""_s << true;
    QTest::newRow("double click keeps a list closed")
        << QStringList{u"dbl "_s + kAmici} << QStringList{u"Amici (2)"_s} << QString() << false;
    QTest::newRow("a list without members is not added")
        << QStringList{u"click [Vuota] (0 contatti)"_s} << QStringList{} << u"[Vuota] (0 contatti)"_s
        << false;
}

void TestContactsTree::mouseRules()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, recipients);
    QFETCH(QString, selected);
    QFETCH(bool, amiciOpen);
    QVERIFY(f->Start(kBook));
    QWidget* viewport = f->View()->viewport();
    for (const QString& step : steps) {
        const QString target = step.section(u' ', 1);
        if (step.startsWith(u"click"))
            QTest::mouseClick(viewport, Qt::LeftButton, {}, f->At(target));
        else if (step.startsWith(u"dbl"))
            DoubleClick(viewport, f->At(target));
        else if (step.startsWith(u"button"))
            QTest::mouseClick(viewport, Qt::LeftButton, {}, f->ButtonOf(target));
        else
            QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 3));
    }
    QCOMPARE(f->RecipientCaptions(), recipients);
    const TContactNode* node = f->View()->SelectedNode();
    QCOMPARE(node ? f->View()->FilterModel()->IndexOf(node).data().toString() : QString(), selected);
    QCOMPARE(f->View()->isExpanded(f->Find(kAmici)), amiciOpen);
}

void TestContactsTree::keyRules_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<int>("recipients");
    QTest::addColumn<bool>("panelOpen");
    const QByteArray maria = "SELECT COUNT(*) FROM MainContacts WHERE NICK_NAME = 'Maria'";
    const QByteArray amici = "SELECT COUNT(*) FROM sqlite_master WHERE name = 'Amici'";
    QTest::newRow("Delete, yes") << u"Maria"_s << int(Qt::Key_Delete) << int(QMessageBox::Yes) << maria
                                 << QByteArray("0") << 0 << false;
    QTest::newRow("Delete, no") << u"Maria"_s << int(Qt::Key_Delete) << int(QMessageBox::No) << maria
                                << QByteArray("1") << 0 << false;
    QTest::newRow("Delete on a list drops its table")
        << kAmici << int(Qt::Key_Delete) << int(QMessageBox::Yes) << amici << QByteArray("0") << 0 << false;
    QTest::newRow("Insert opens the panel")
        << u"Maria"_s << int(Qt::Key_Insert) << 0 << maria << QByteArray("1") << 0 << true;
    QTest::newRow("keypad + adds to the recipients")
        << kAmici << int(Qt::Key_Plus) << 0 << amici << QByteArray("1") << 1 << false;
}

void TestContactsTree::keyRules()
{
    QFETCH(QString, node);
    QFETCH(int, key);
    QFETCH(int, answer);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, rows);
    QFETCH(int, recipients);
    QFETCH(bool, panelOpen);
    QVERIFY(f->Start(kBook));
    f->View()->SelectNode(f->Node(node));
    DialogTestHook::AnswerAtOnce(true, answer);
    QTest::keyClick(f->View(), Qt::Key(key), key == Qt::Key_Plus ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(f->Sql(query), rows);
    QCOMPARE(f->Recipients()->ItemCount(), recipients);
    QCOMPARE(f->Panel()->isVisible(), panelOpen);
    QCOMPARE(f->Find(node).isValid(), rows != "0");
}

void TestContactsTree::popupEntries_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<bool>("contactEntries");
    QTest::newRow("contact") << u"Maria"_s << true;
    QTest::newRow("list") << kAmici << false;
    QTest::newRow("empty space") << QString() << true;
}

void TestContactsTree::popupEntries()
{
    QFETCH(QString, node);
    QFETCH(bool, contactEntries);
    QVERIFY(f->Start(kBook));
    const QPoint at = node.isEmpty() ? QPoint(5, f->View()->viewport()->height() - 3) : f->At(node);
    QTest::mousePress(f->View()->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, f->View()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(f->View()->viewport(), &event);
    TContactsPane* pane = f->Pane();
    QVERIFY(pane->PopContacts->isVisible());
    pane->PopContacts->close();
    QCOMPARE(pane->aPopModificaContatto->isVisible(), contactEntries);
    QCOMPARE(pane->aPopEliminaContatto->isVisible(), contactEntries);
    QCOMPARE(pane->Gestioneliste1->isVisible(), !contactEntries);
    QCOMPARE(f->View()->SelectedNode() != nullptr, !node.isEmpty()); // the node under the mouse is selected
}

void TestContactsTree::quickSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("anywhere in a name; list opened, its name not searched")
        << u"mar"_s << QStringList{u"Maria"_s, u"Omar"_s, u"v "_s + kAmici, u"  Maria De Luca"_s};
    QTest::newRow("in numbers") << u"333"_s << QStringList{u"Zeno Blu"_s,   u"Anna "_s,
                                                           u"Omar"_s,       u"v [Mare] (1 contatti)"_s,
                                                           u"  Ugo Po"_s,   u"v [Zeta] (1 contatti)"_s,
                                                           u"  Luca Neri"_s};
    QTest::newRow("only ASCII letters fold, lower") << u"\u00e0"_s << QStringList{u"\u00e0ndrea"_s};
    QTest::newRow("only ASCII letters fold, upper") << u"\u00c0"_s << QStringList{u"\u00c0lberto"_s};
    QTest::newRow("upper-case text") << u"OMAR"_s << QStringList{u"Omar"_s};
    QTest::newRow("blank only: lists stay closed") << u" "_s << QStringList{u"Zeno Blu"_s, kAmici};
    QTest::newRow("nothing") << u"zzz"_s << QStringList{};
}

void TestContactsTree::quickSearch()
{
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    QVERIFY(f->Start(kBook));
    TFr_QuickSearch* strip = f->Pane()->QuickSearchStrip(); // opened by the first activation
    QVERIFY(strip);
    strip->Edit_QSearch->setText(text);
    QCOMPARE(f->Rows(), rows);
    strip->Edit_QSearch->clear(); // empty text: everything, every list closed
    QCOMPARE(f->Rows().size(), 11);
    QVERIFY(!f->Rows().join(u'|').contains(u"v ["));
}

// A tree large enough to be scanned in two halves finds the same contacts as a plain search,
// at both ends and around the middle, and the members of the lists after them.
void TestContactsTree::quickSearchLargeTree_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one character, nearly everywhere") << u"7"_s;
    QTest::newRow("three characters") << u"123"_s;
    QTest::newRow("letters and a digit") << u"c2999"_s;
    QTest::newRow("a byte sharing its class with another") << u"\u00e9"_s; // with \u00cf
    QTest::newRow("a character outside the code page") << u"\u0141"_s;
}

void TestContactsTree::quickSearchLargeTree()
{
    QFETCH(QString, text);
    TContactsTree tree;
    QStringList expected;
    const auto add = [&](TContactNode* parent, int i) {
        TContactData d;
        d.NickName = u"C"_s + QString::number(i);
        d.LastName = i % 7 == 0 ? u"Andr\u00e9 \u0141"_s : i % 5 == 0 ? u"\u00cfsa"_s : QString();
        d.Number = u"+39"_s + QString::number(1000000 - i);
        tree.AddNode(parent, d);
        const bool hit = d.NickName.contains(text, Qt::CaseInsensitive) || d.LastName.contains(text) ||
                         d.Number.contains(text);
        if (hit)
            expected << d.NickName;
        return hit;
    };
    for (int i = 0; i < 30000; ++i)
        add(tree.Root(), i);
    for (int k = 0; k < 10; ++k) { // 10,000 members: the lists are scanned beside the contacts
        TContactData list;
        list.Kind = TContactData::KindList;
        list.NickName = u"L"_s + QString::number(k);
        TContactNode* node = tree.AddNode(tree.Root(), list);
        bool listHit = false;
        for (int j = 0; j < 1000; ++j)
            listHit |= add(node, 30000 + k * 1000 + j);
        if (listHit)
            expected << list.NickName;
    }
    const TVisibleRows rows = TQuickSearchIndex::Build(tree).Filter(text);
    QStringList found;
    for (const TContactNode* node : rows.Top) {
        found << node->Data().NickName;
        const auto partial = rows.PartialLists.find(node);
        for (int j = 0; j < node->ChildCount(); ++j)
            if (partial == rows.PartialLists.end() ||
                std::count(partial->second.begin(), partial->second.end(), node->Child(j)))
                found << node->Child(j)->Data().NickName;
    }
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
    QVERIFY(rows.OpenLists);
}

void TestContactsTree::quickSearchSurvivesEditsAndReload()
{
    QVERIFY(f->Start(kBook));
    TFr_QuickSearch* strip = f->Pane()->QuickSearchStrip();
    strip->Edit_QSearch->setText(QStringLiteral("mar"));
    const QStringList filtered = f->Rows();
    // A contact added while filtered shows; a deleted one goes; the rest keep their state.
    f->Pane()->Edits().AddContact(QStringLiteral("Zorro"), QStringLiteral("+391"));
    f->Pane()->Edits().DeleteNode(f->Node(QStringLiteral("Omar")));
    QCOMPARE(f->Rows(), QStringList({u"Maria"_s, u"Zorro"_s, u"v "_s + kAmici, u"  Maria De Luca"_s}));
    // The list manager changed something: reloaded, the strip's filter applied again.
    QSignalSpy loaded(f->Pane(), &TContactsPane::phoneBookLoaded);
    f->Pane()->ReloadAfterListsChanged(true);
    QVERIFY(loaded.wait(20000));
    QCOMPARE(f->Rows(), QStringList({u"Maria"_s, u"v "_s + kAmici, u"  Maria De Luca"_s}));
    strip->CloseImage->click(); // UserFilterClose: all shown, lists closed, strip gone
    QCOMPARE(f->Rows().size(), 11);
    QVERIFY(!f->Pane()->QuickSearchStrip());
}

void TestContactsTree::emptyPhoneBookNoticeOnce()
{
    QVERIFY(f->Start({}));
    auto* pages = qobject_cast<QStackedLayout*>(f->Pane()->layout());
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("pnEmptyPhoneBook"));
    TNoticeArea* notices = f->main->TopPanel()->NoticeArea();
    QCOMPARE(notices->StripCount(), 1);
    QVERIFY(!f->Pane()->QuickSearchStrip());
    f->main->close(); // to the tray and back: the notice is not shown again
    f->Tray().RestoreFromTray();
    f->main->SetConnectionState(false);
    QCOMPARE(notices->StripCount(), 1);
    f->Panel()->OpenAdd();
    f->Panel()->Edit_Numero->setText(QStringLiteral("3331234567"));
    f->Panel()->BtnOkClick();
    QCOMPARE(pages->currentWidget(), f->View());
}

QTEST_MAIN(TestContactsTree)
#include "tst_contacts_tree.moc"
