#include "ContactsFixture.h"
#include "ui/dialogs/CountrySelector.h"
#include "ui/dialogs/MissingPrefixDialog.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/PictureToolBar.h"
#include "ui/main/TopPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

// The contact panel in each mode, its effect checked in the phone-book file with the sqlite3
// shell; the number check; what the rest of the window does while it is open.
class TestContactPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void modes_data();
    void modes();
    void numberCheck_data();
    void numberCheck();
    void unknownPrefixKeptWhenChanged();
    void windowWhileOpen();

private:
    std::unique_ptr<TContactsFixture> f;
};

namespace {
const QByteArray kBook = ContactRow("Maria", "", "", "+393471234567") +
                         ContactRow("Ugo", "", "", "+99912345") +
                         ListRows("Zeta", {"Luca|Neri|+393331119999"}) +
                         ListRows("Amici", {"Carlo|Bo|+39340111", "Dina|Re|+39340222"});
} // namespace

void TestContactPanel::init()
{
    f = std::make_unique<TContactsFixture>();
    REQUIRE_SQLITE_SHELL();
}

void TestContactPanel::cleanup()
{
    f.reset();
    TF_PrefissoMancante::ClearNextAnswers();
}

void TestContactPanel::modes_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("recipients");
    const QByteArray singles =
        "SELECT NICK_NAME, NUMBER FROM MainContacts WHERE CONTACT_TYPE = 'SINGLE' AND ID <> 2";
    QTest::newRow("add, country prefix first")
        << u"add"_s << QString() << u"Luigi"_s << u"0612345678"_s << singles
        << QByteArray("Maria|+393471234567\nLuigi|+390612345678") << QStringList{};
    QTest::newRow("add, blank name") << u"add"_s << QString() << u"  "_s << u"333 1234567"_s << singles
                                     << QByteArray("Maria|+393471234567\nNo Name|+393331234567")
                                     << QStringList{};
    QTest::newRow("add, the number's own prefix")
        << u"add"_s << QString() << u"Tom"_s << u"+44 20 7946 0000"_s << singles
        << QByteArray("Maria|+393471234567\nTom|+442079460000") << QStringList{};
    QTest::newRow("change") << u"change"_s << u"Maria"_s << u"Maria B"_s << u"3330000000"_s << singles
                            << QByteArray("Maria B|+393330000000") << QStringList{};
    QTest::newRow("change a member: its list's row")
        << u"change"_s << u"Carlo Bo"_s << u"Carlo"_s << u"3331"_s
        << QByteArray("SELECT NICK_NAME, NUMBER FROM Amici; " + singles)
        << QByteArray("Carlo|+393331\n|+39340222\nMaria|+393471234567") << QStringList{};
    QTest::newRow("delete") << u"delete"_s << u"Maria"_s << QString() << QString()
                            << QByteArray("SELECT NICK_NAME FROM MainContacts")
                            << QByteArray("Ugo\nZeta\nAmici") << QStringList{};
    QTest::newRow("delete the only member: its list too")
        << u"delete"_s << u"Luca Neri"_s << QString() << QString()
        << QByteArray("SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'Zeta'")
        << QByteArray() << QStringList{};
    QTest::newRow("delete one of two members")
        << u"delete"_s << u"Dina Re"_s << QString() << QString() << QByteArray("SELECT FIRST_NAME FROM Amici")
        << QByteArray("Carlo") << QStringList{};
    QTest::newRow("single number") << u"single"_s << QString() << QString() << u"347 1234567"_s
                                   << QByteArray("SELECT COUNT(*) FROM MainContacts") << QByteArray("4")
                                   << QStringList{u" (+393471234567)"_s};
    QTest::newRow("pasted list, prefix asked")
        << u"list"_s << QString() << QString() << u"3331234567;\"347 1234567\"\r\n+393331234567 x 7"_s
        << QByteArray("SELECT COUNT(*) FROM MainContacts") << QByteArray("4")
        << QStringList{u" (+393331234567)"_s, u" (+393471234567)"_s, u" (+393331234567)"_s};
    QTest::newRow("pasted list, prefix cancelled: nothing added")
        << u"list cancel"_s << QString() << QString() << u"3331234567"_s
        << QByteArray("SELECT COUNT(*) FROM MainContacts") << QByteArray("4") << QStringList{};
}

void TestContactPanel::modes()
{
    QFETCH(QString, mode);
    QFETCH(QString, node);
    QFETCH(QString, name);
    QFETCH(QString, number);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, recipients);
    QVERIFY(f->Start(kBook));
    TContactPanel* panel = f->Panel();
    if (mode == u"add")
        panel->OpenAdd();
    else if (mode == u"change")
        panel->OpenChange(f->Node(node));
    else if (mode == u"delete")
        panel->OpenDelete(f->Node(node));
    else
        panel->OpenChoice();
    if (mode == u"single")
        panel->BtnSingleClick();
    if (mode.startsWith(u"list")) {
        panel->BtnMultipleClick();
        TF_PrefissoMancante::SetNextAnswer(mode == u"list" ? 1 : 0, u"Italy"_s);
        panel->MemoCustomList->setPlainText(number);
    } else if (!number.isEmpty()) {
        panel->Edit_Visualizzato->setText(name);
        panel->Edit_Numero->setText(number);
    }
    QVERIFY(panel->isVisible());
    if (mode == u"delete")
        panel->BtnDoDeleteClick();
    else
        panel->BtnOkClick();
    QCOMPARE(f->Sql(query), stored);
    QCOMPARE(f->RecipientCaptions(), recipients);
    QCOMPARE(panel->isVisible(), mode == u"list cancel"); // the list stays in its box
    // The changed contact is selected (and scrolled to the top).
    if (mode == u"change")
        QCOMPARE(f->View()->SelectedNode(), f->Node(name));
    if (node == u"Dina Re")
        QVERIFY(f->Find(u"[Amici] (1 contatti)"_s).isValid());
}

void TestContactPanel::numberCheck_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("okEnabled");
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QString>("countryAfter");
    QTest::newRow("Italy") << u"Italy"_s << u"3331234567"_s << true << true << u"+393331234567"_s
                           << u"Italy"_s;
    QTest::newRow("prefix label first")
        << u"Italy"_s << u"0612345678"_s << true << true << u"+390612345678"_s << u"Italy"_s;
    QTest::newRow("blank field") << u"Italy"_s << u"  "_s << true << false << u"+39"_s << u"Italy"_s;
    QTest::newRow("no country, one digit: red")
        << QString() << u"7"_s << false << false << QString() << QString();
    QTest::newRow("own prefix picks its country")
        << u"Italy"_s << u"+33612345678"_s << true << true << u"+33612345678"_s << u"France"_s;
    QTest::newRow("own prefix with 00")
        << u"Italy"_s << u"0033612345678"_s << true << true << u"+33612345678"_s << u"France"_s;
    QTest::newRow("a country of the same prefix stays")
        << u"San Marino"_s << u"+39333"_s << true << true << u"+39333"_s << u"San Marino"_s;
}

void TestContactPanel::numberCheck()
{
    QFETCH(QString, country);
    QFETCH(QString, typed);
    QFETCH(bool, valid);
    QFETCH(bool, okEnabled);
    QFETCH(QString, composed);
    QFETCH(QString, countryAfter);
    QVERIFY(f->Start(kBook));
    TContactPanel* panel = f->Panel();
    panel->OpenAdd();
    if (country.isEmpty())
        panel->ComboNazione->SelectRow(-1);
    else
        panel->ComboNazione->SelectRemembered(country);
    QTest::keyClicks(panel->Edit_Numero, typed);
    QCOMPARE(panel->Edit_Numero->font().bold(), !valid);
    QCOMPARE(panel->BtnOk->isEnabled(), okEnabled);
    QCOMPARE(panel->ComposedNumber(), composed);
    QCOMPARE(panel->ComboNazione->SelectedName(), countryAfter);
    QCOMPARE(f->settings->GetLastIntPrefix(), countryAfter); // every applied country is remembered
}

void TestContactPanel::unknownPrefixKeptWhenChanged()
{
    QVERIFY(f->Start(kBook));
    TContactPanel* panel = f->Panel();
    panel->OpenChange(f->Node(u"Ugo"_s));
    QCOMPARE(panel->ComboNazione->SelectedRow(), -1);
    QCOMPARE(f->settings->GetLastIntPrefix(), QString());
    QCOMPARE(panel->Edit_Numero->text(), u"+99912345"_s);
    panel->Edit_Visualizzato->setText(u"Ugo B"_s);
    panel->BtnOkClick(); // no country: the number keeps its own prefix, nothing put in front
    QCOMPARE(f->Sql("SELECT NUMBER FROM MainContacts WHERE NICK_NAME = 'Ugo B'"), QByteArray("+99912345"));
}

void TestContactPanel::windowWhileOpen()
{
    QVERIFY(f->Start(kBook)); // the quick-search strip is open
    TTopPanel* top = f->main->TopPanel();
    top->ShowNotice(0, u"note"_s, u"FrCredit"_s);
    QCOMPARE(top->NoticeCount(), 2);
    TContactPanel* panel = f->Panel();
    panel->OpenAdd();
    QCOMPARE(top->NoticeCount(), 0); // adding hides the strips
    for (QWidget* area : {static_cast<QWidget*>(f->Pane()), static_cast<QWidget*>(f->Recipients()),
                          static_cast<QWidget*>(f->main->menuBar()), static_cast<QWidget*>(top->ToolBar())})
        QVERIFY(!area->isEnabled());
    QVERIFY(!f->Tray().Tray->contextMenu());
    panel->Edit_Numero->setText(u"3331234567"_s);
    panel->ComboNazione->setFocus();
    QTest::keyClick(panel->ComboNazione, Qt::Key_Return); // Enter in the country selector confirms
    QVERIFY(!panel->isVisible());
    QCOMPARE(top->NoticeCount(), 2);
    QVERIFY(f->Pane()->isEnabled());
    QVERIFY(f->Tray().Tray->contextMenu());
    QCOMPARE(f->Sql("SELECT NICK_NAME FROM MainContacts WHERE NUMBER = '+393331234567'"),
             QByteArray("No Name"));
    panel->OpenChange(f->Node(u"Maria"_s)); // changing keeps them
    QCOMPARE(top->NoticeCount(), 2);
    panel->BtnAnnullaClick();
}

QTEST_MAIN(TestContactPanel)
#include "tst_contact_panel.moc"
