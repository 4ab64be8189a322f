#include "ContactsFixture.h"
#include "platform/Paths.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/TopPanel.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;

// The first activation's phone-book steps: run at the start-up step also when the window goes
// straight to the tray, with the version check and upgrade, whatever the stored account.
class TestFirstActivation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void trayStartLoadsAndAsksOnce();
    void emptyNoticeWaitsForTheWindow();
    void restoreBeforeTheLoadOffersNoNotice();
    void phoneBookAtStart_data();
    void phoneBookAtStart();

private:
    // The start-up step of an ordinary start (the window goes to the tray), until loaded.
    bool StartInTray();
    std::unique_ptr<TContactsFixture> f;
};

void TestFirstActivation::init()
{
    f = std::make_unique<TContactsFixture>();
    REQUIRE_SQLITE_SHELL();
}

void TestFirstActivation::cleanup()
{
    f.reset();
    DialogTestHook::AnswerAtOnce(false);
    for (const QString& name : {u"PBook.xml"_s, u"Amici.xml"_s}) // what the test put there, nothing else
        QFile::remove(QDir(UserDataFolder()).filePath(name));
}

bool TestFirstActivation::StartInTray()
{
    f->Create();
    f->settings->SetFirstTime(false);
    f->settings->SetFirstTimeClose(true);
    f->Tray().SetUsesTray(true);
    QSignalSpy loaded(f->Pane(), &TContactsPane::phoneBookLoaded);
    f->main->TimerStartTimer();
    return loaded.wait(20000);
}

void TestFirstActivation::trayStartLoadsAndAsksOnce()
{
    RunSqliteShell(f->PhoneBookFile(),
                   "CREATE TABLE MainContacts (ID INTEGER PRIMARY KEY AUTOINCREMENT, FIRST_NAME, "
                   "LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE);" +
                       ContactRow("Maria", "", "", "+393471234567"));
    QVERIFY(StartInTray());
    QVERIFY(!f->main->isVisible());
    QCOMPARE(f->tree.TopLevelCount(), 1);
    QCOMPARE(f->gateway.creditQueries, QList<int>{0});
    QVERIFY(f->Pane()->QuickSearchStrip());
    f->main->TimerAskCreditTimer(); // in the tray: skipped, and run when the window comes back
    QCOMPARE(f->gateway.creditQueries.size(), 1);
    f->Tray().RestoreFromTray();
    QCOMPARE(f->gateway.creditQueries, (QList<int>{0, 0}));
    QVERIFY(f->main->TimerAskCredit->isActive());
    f->main->FormActivate(); // later activations do not load again
    QCOMPARE(f->gateway.creditQueries.size(), 2);
}

void TestFirstActivation::emptyNoticeWaitsForTheWindow()
{
    QVERIFY(StartInTray());
    TNoticeArea* notices = f->main->TopPanel()->NoticeArea();
    f->main->SetConnectionState(false); // a good credit answer while in the tray
    QCOMPARE(notices->StripCount(), 0);
    f->Tray().RestoreFromTray();
    QCOMPARE(notices->StripCount(), 1);
    f->main->close();
    f->Tray().RestoreFromTray();
    QCOMPARE(notices->StripCount(), 1); // once per run
}

void TestFirstActivation::restoreBeforeTheLoadOffersNoNotice()
{
    // A start with the window shown restores it before the phone book is read: the still
    // empty tree must not bring up the empty-phone-book notice.
    RunSqliteShell(f->PhoneBookFile(), PhoneBookSchemaSql() + ContactRow("Maria", "", "", "+393471234567"));
    f->Create();
    f->Tray().RestoreFromTray();
    QCOMPARE(f->main->TopPanel()->NoticeArea()->StripCount(), 0);
    QVERIFY(f->Activate());
    QCOMPARE(f->tree.TopLevelCount(), 1);
    QCOMPARE(f->main->TopPanel()->NoticeArea()->StripCount(), 1); // the quick-search strip only
}

void TestFirstActivation::phoneBookAtStart_data()
{
    QTest::addColumn<QByteArray>("file");     // pbook.qpb as found, or nothing
    QTest::addColumn<QByteArray>("previous"); // PBook.xml in the data folder, or nothing
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("notice"); // part of the notice shown, if any
    QTest::newRow("nothing: an empty phone book of version 21")
        << QByteArray() << QByteArray() << QStringList{} << u"Non ci sono contatti"_s;
    QTest::newRow("the previous XML phone book, with its lists")
        << QByteArray()
        << QByteArray(
               "<MAIN_CONTACTS><CONTACTS_SINGLES><CONTACT><ID>1</ID><FIRST_NAME>Ada</FIRST_NAME>"
               "<LAST_NAME>Byron</LAST_NAME><NICK_NAME/><PHONE_NUMBER>+39333</PHONE_NUMBER><TYPE>MOBILE</"
               "TYPE>"
               "</CONTACT></CONTACTS_SINGLES><CONTACTS_LISTS><CONTACTS_LIST><NICK_NAME>Amici</NICK_NAME>"
               "<LID>2</LID><COUNT>1</COUNT></CONTACTS_LIST></CONTACTS_LISTS></MAIN_CONTACTS>")
        << QStringList{u"Ada Byron"_s, u"[Amici] (1 contatti)"_s} << QString();
    QTest::newRow("an unreadable previous phone book: reported, nothing written")
        << QByteArray() << QByteArray("<MAIN_CONTACTS><CONTACTS") << QStringList{}
        << u"La rubrica della versione precedente non è leggibile"_s;
    QTest::newRow("an unreadable phone book: kept aside, a new one started")
        << QByteArray("this is no database, only text") << QByteArray() << QStringList{}
        << u"è stata conservata come"_s;
}

void TestFirstActivation::phoneBookAtStart()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, previous);
    QFETCH(QStringList, rows);
    QFETCH(QString, notice);
    QDir().mkpath(UserDataFolder());
    const auto write = [](const QString& name, const QByteArray& bytes) {
        QFile out(name);
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
    };
    if (!file.isEmpty())
        QVERIFY(write(f->PhoneBookFile(), file));
    if (!previous.isEmpty()) {
        QVERIFY(write(QDir(UserDataFolder()).filePath(u"PBook.xml"_s), previous));
        QVERIFY(
            write(QDir(UserDataFolder()).filePath(u"Amici.xml"_s),
                  "<CONTACTS><C><ID>1</ID><FIRST_NAME>Bo</FIRST_NAME><PHONE_NUMBER>+39340</PHONE_NUMBER></C>"
                  "</CONTACTS>"));
    }
    f->Create(); // with a stored password
    f->settings->SetLanguage(u"ITA"_s);
    f->main->show();
    QVERIFY(f->Activate());
    QCOMPARE(f->Rows(), rows);
    QCOMPARE(f->Sql("SELECT VERSION FROM QPB_DETAILS"), QByteArray("21"));
    QCOMPARE(f->Sql("SELECT COUNT(*) FROM MainContacts"), QByteArray::number(rows.size()));
    QString shown;
    for (QObject* strip : f->main->TopPanel()->NoticeArea()->widget()->children())
        if (auto* text = qobject_cast<TFR_TextPanel*>(strip))
            shown += text->Message();
    QCOMPARE(shown.contains(notice), true);
    QCOMPARE(shown.isEmpty(), notice.isEmpty());
}

QTEST_MAIN(TestFirstActivation)
#include "tst_first_activation.moc"
