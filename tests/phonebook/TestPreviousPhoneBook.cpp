#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PreviousPhoneBook.h"
#include "platform/Paths.h"

#include <QDomDocument>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
QStringList Dump(const TContactsTree& tree)
{
    QStringList out;
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        const TContactData& d = tree.TopLevel(r)->Data();
        out << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                   .arg(int(d.Kind))
                   .arg(d.ID)
                   .arg(d.FirstName, d.LastName, d.NickName, d.Number)
                   .arg(int(d.PhoneType))
                   .arg(d.IsList() ? d.Count : d.ImageIndex);
        for (int c = 0; c < tree.TopLevel(r)->ChildCount(); ++c) {
            const TContactData& m = tree.TopLevel(r)->Child(c)->Data();
            out << QStringLiteral("  %1|%2|%3").arg(m.ID).arg(m.NickName, m.Number);
        }
    }
    return out;
}

const QByteArray kCurrentCver = "<CVER>" + GetProgramVersion().toLatin1() + "</CVER>";
} // namespace

class TestPreviousPhoneBook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsLayouts_data();
    void readsLayouts();
    void listFilesGiveMembers();
    void rewriteOnlyWhenVersionDiffers();
    void badFilesAreNotRewritten_data();
    void badFilesAreNotRewritten();
    void listNamesStayInTheFolder();
    void encodings_data();
    void encodings();
    void writerNumbersAndRoundTrips();
    void listXmlPath_data();
    void listXmlPath();
    void upgradeFromXml();
    void upgradeGivesListsUsableNames();

private:
    QString Write(const QString& name, const QByteArray& bytes);
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_main;
};

void TestPreviousPhoneBook::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_main = m_dir->filePath(QStringLiteral("PBook.xml"));
}

void TestPreviousPhoneBook::cleanup()
{
    m_dir.reset();
}

QString TestPreviousPhoneBook::Write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
    return path;
}

void TestPreviousPhoneBook::readsLayouts_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("current layout")
        << QByteArray(
               "<MAIN_CONTACTS><CONTACTS_SINGLES><CONTACT><ID>4</ID><FIRST_NAME>Anna</FIRST_NAME><LAST_NAME>"
               "Neri</LAST_NAME><NICK_NAME/><PHONE_NUMBER>333</PHONE_NUMBER><TYPE>HOME</TYPE></CONTACT>"
               "</CONTACTS_SINGLES><CONTACTS_LISTS/>" +
               kCurrentCver + "</MAIN_CONTACTS>")
        << QStringList{QStringLiteral("0|4|Anna|Neri||333|1|1")};
    QTest::newRow("three PHONE_NUMBERS")
        << QByteArray("<MAIN_CONTACTS><CONTACTS><C><ID>x</ID><NICK_NAME>Bo</NICK_NAME><PHONE_NUMBERS>"
                      "<P><TYPE>OFFICE</TYPE><NUMBER>1</NUMBER></P><P><NUMBER>2</NUMBER><TYPE>HOME</TYPE></P>"
                      "<Q><TYPE>FAX</TYPE><NUMBER>3</NUMBER></Q></PHONE_NUMBERS></C></CONTACTS>" +
                      kCurrentCver + "</MAIN_CONTACTS>")
        << QStringList{QStringLiteral("0|-1|||Bo|1|2|1"), QStringLiteral("0|-1|||Bo (2)|2|1|1"),
                       QStringLiteral("0|-1|||Bo (3)|3|0|1")};
    QTest::newRow("names do not carry over")
        << QByteArray(
               "<MAIN_CONTACTS><CONTACTS_SINGLES><CONTACT><FIRST_NAME>Zed</FIRST_NAME><PHONE_NUMBER>1"
               "</PHONE_NUMBER></CONTACT><CONTACT><NICK_NAME>al</NICK_NAME><PHONE_NUMBER>2</PHONE_NUMBER>"
               "</CONTACT></CONTACTS_SINGLES>" +
               kCurrentCver + "</MAIN_CONTACTS>")
        << QStringList{QStringLiteral("0|-1|||al|2|0|1"), QStringLiteral("0|-1|Zed|||1|0|1")};
    QTest::newRow("no MAIN_CONTACTS")
        << QByteArray("<CONTACTS><CONTACT><NICK_NAME>x</NICK_NAME><PHONE_NUMBER>9</PHONE_NUMBER></CONTACT></"
                      "CONTACTS>")
        << QStringList{QStringLiteral("0|1|||x|9|0|1")}; // numbered by the rewrite
    QTest::newRow("contact without number gives nothing")
        << QByteArray("<MAIN_CONTACTS><CONTACTS><CONTACT><NICK_NAME>x</NICK_NAME></CONTACT></CONTACTS>" +
                      kCurrentCver + "</MAIN_CONTACTS>")
        << QStringList{};
    QTest::newRow("empty file") << QByteArray("") << QStringList{};
}

void TestPreviousPhoneBook::readsLayouts()
{
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, tree);
    Write(QStringLiteral("PBook.xml"), xml);
    TPreviousPhoneBook previous(m_main);
    TContactsTree t;
    QVERIFY2(previous.ImportPreviousPhoneBook(m_main, t), qPrintable(previous.LastError()));
    QCOMPARE(Dump(t), tree);
}

void TestPreviousPhoneBook::listFilesGiveMembers()
{
    Write(QStringLiteral("PBook.xml"),
          "<MAIN_CONTACTS><CONTACTS_SINGLES><CONTACT><ID>3</ID><NICK_NAME>s</NICK_NAME><PHONE_NUMBER>1</"
          "PHONE_NUMBER>"
          "</CONTACT></CONTACTS_SINGLES><CONTACTS_LISTS><L><ID>77</ID><NICK_NAME>Amici</NICK_NAME><COUNT>5</"
          "COUNT>"
          "<LID>9</LID></L><L><COUNT>4</COUNT><NICK_NAME>Gone</NICK_NAME></L></CONTACTS_LISTS>" +
              kCurrentCver + "</MAIN_CONTACTS>");
    Write(QStringLiteral("Amici.xml"),
          "<MAIN_CONTACTS><CONTACTS><C><ID>2</ID><NICK_NAME>zz</NICK_NAME><PHONE_NUMBER>"
          "5</PHONE_NUMBER></C><C><ID>1</ID><NICK_NAME>aa</NICK_NAME><PHONE_NUMBER>6"
          "</PHONE_NUMBER></C></CONTACTS></MAIN_CONTACTS>");
    TPreviousPhoneBook previous(m_main);
    TContactsTree t;
    QVERIFY(previous.ImportPreviousPhoneBook(m_main, t));
    // Lists take the LID; a list without one takes the largest top-level ID. Members keep file order.
    QCOMPARE(Dump(t), (QStringList{QStringLiteral("0|3|||s|1|0|1"), QStringLiteral("1|9|||Amici||0|5"),
                                   QStringLiteral("  2|zz|5"), QStringLiteral("  1|aa|6"),
                                   QStringLiteral("1|9|||Gone||0|4")}));
}

void TestPreviousPhoneBook::rewriteOnlyWhenVersionDiffers()
{
    const QByteArray same =
        "<MAIN_CONTACTS><CONTACTS_SINGLES><CONTACT><NICK_NAME>a</NICK_NAME><PHONE_NUMBER>1"
        "</PHONE_NUMBER></CONTACT></CONTACTS_SINGLES>" +
        kCurrentCver + "</MAIN_CONTACTS>";
    Write(QStringLiteral("PBook.xml"), same);
    TPreviousPhoneBook previous(m_main);
    TContactsTree t;
    QVERIFY(previous.ImportPreviousPhoneBook(m_main, t));
    QFile f(m_main);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), same);
    f.close();

    Write(QStringLiteral("PBook.xml"),
          "<CONTACTS><CONTACT><NICK_NAME>a</NICK_NAME><PHONE_NUMBER>1</PHONE_NUMBER>"
          "</CONTACT></CONTACTS>");
    QVERIFY(previous.ImportPreviousPhoneBook(m_main, t));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray rewritten = f.readAll();
    QVERIFY2(rewritten.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"), rewritten.constData());
    QVERIFY(rewritten.contains(kCurrentCver));
    QVERIFY(rewritten.contains("<ID>1</ID>")); // the ID -1 was numbered
}

void TestPreviousPhoneBook::badFilesAreNotRewritten_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("keptNodes");
    QTest::newRow("COUNT not a number")
        << QByteArray("<MAIN_CONTACTS><CONTACTS><C><NICK_NAME>a</NICK_NAME><PHONE_NUMBER>1</PHONE_NUMBER></C>"
                      "</CONTACTS><CONTACTS_LISTS><L><NICK_NAME>x</NICK_NAME><COUNT>many</COUNT></L></"
                      "CONTACTS_LISTS>"
                      "</MAIN_CONTACTS>")
        << QStringLiteral("COUNT \"many\"") << 1;
    QTest::newRow("malformed") << QByteArray("<MAIN_CONTACTS><CONTACTS><C>")
                               << QStringLiteral("not well-formed") << 0;
    QTest::newRow("nested 100,000 levels")
        << QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000)
        << QStringLiteral("nested more than 64 levels") << 0;
}

void TestPreviousPhoneBook::listNamesStayInTheFolder()
{
    const QByteArray member =
        "<CONTACTS><C><NICK_NAME>m</NICK_NAME><PHONE_NUMBER>1</PHONE_NUMBER></C></CONTACTS>";
    Write(QStringLiteral("secret.xml"), member);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("book")));
    Write(QStringLiteral("book/in.xml"), member);
    const QString main =
        Write(QStringLiteral("book/PBook.xml"),
              "<MAIN_CONTACTS><CONTACTS_LISTS><L><NICK_NAME>../secret</NICK_NAME><COUNT>1</COUNT></L>"
              "<L><NICK_NAME>in</NICK_NAME><COUNT>1</COUNT></L></CONTACTS_LISTS>" +
                  kCurrentCver + "</MAIN_CONTACTS>");
    TPreviousPhoneBook previous(main);
    TContactsTree t;
    QVERIFY(previous.ImportPreviousPhoneBook(main, t));
    QCOMPARE(t.TopLevelCount(), 2);
    QCOMPARE(t.TopLevel(0)->Data().NickName, QStringLiteral("../secret"));
    QCOMPARE(t.TopLevel(0)->ChildCount(), 0);
    QCOMPARE(t.TopLevel(1)->ChildCount(), 1);
}

void TestPreviousPhoneBook::badFilesAreNotRewritten()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, error);
    QFETCH(int, keptNodes);
    Write(QStringLiteral("PBook.xml"), xml);
    TPreviousPhoneBook previous(m_main);
    TContactsTree t;
    QVERIFY(!previous.ImportPreviousPhoneBook(m_main, t));
    QVERIFY2(previous.LastError().contains(error), qPrintable(previous.LastError()));
    QCOMPARE(t.TopLevelCount(), keptNodes);
    QFile f(m_main);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), xml);

    // the upgrade stops before writing anything
    TPhoneBook book(m_dir->filePath(QStringLiteral("pbook.qpb")),
                    m_dir->filePath(QStringLiteral("none.qpb")));
    QList<bool> busy;
    book.SetBusyHook([&](bool on) { busy << on; });
    TContactsTree tree;
    QVERIFY(!book.UpgradePhoneBook(-1, tree, m_main));
    QVERIFY(book.LastError().contains(error));
    QCOMPARE(busy, (QList<bool>{true, false})); // the wait cursor showed while the file was read
    QVERIFY(!QFileInfo::exists(book.CurrentFile()));
}

void TestPreviousPhoneBook::encodings_data()
{
    QTest::addColumn<QByteArray>("declaration");
    QTest::addColumn<QByteArray>("nick");
    QTest::newRow("Windows-1252 without declaration") << QByteArray() << QByteArray("Citt\xE0 \x80");
    QTest::newRow("declared windows-1252")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n") << QByteArray("Citt\xE0 \x80");
    QTest::newRow("declared ISO-8859-1")
        << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>") << QByteArray("Citt\xE0 \x80");
    QTest::newRow("UTF-8 without declaration") << QByteArray() << QByteArray("Citt\xC3\xA0 \xE2\x82\xAC");
    QTest::newRow("declared UTF-8") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
                                    << QByteArray("Citt\xC3\xA0 \xE2\x82\xAC");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") << QByteArray("Citt\xC3\xA0 \xE2\x82\xAC");
}

void TestPreviousPhoneBook::encodings()
{
    QFETCH(QByteArray, declaration);
    QFETCH(QByteArray, nick);
    Write(QStringLiteral("PBook.xml"),
          declaration + "<MAIN_CONTACTS><CONTACTS_SINGLES><CONTACT><NICK_NAME>" + nick +
              "</NICK_NAME><PHONE_NUMBER>1</PHONE_NUMBER></CONTACT></CONTACTS_SINGLES>"
              "</MAIN_CONTACTS>");
    TPreviousPhoneBook previous(m_main);
    TContactsTree t;
    QVERIFY2(previous.ImportPreviousPhoneBook(m_main, t), qPrintable(previous.LastError()));
    QCOMPARE(t.TopLevelCount(), 1);
    QCOMPARE(t.TopLevel(0)->Data().NickName, QStringLiteral("Città €"));
    // rewritten as UTF-8 and read back the same
    TContactsTree again;
    QVERIFY(previous.ImportPreviousPhoneBook(m_main, again));
    QCOMPARE(again.TopLevel(0)->Data().NickName, QStringLiteral("Città €"));
}

void TestPreviousPhoneBook::writerNumbersAndRoundTrips()
{
    TContactsTree t;
    TContactData a;
    a.ID = 5;
    a.NickName = QStringLiteral("a <&> \"q\"");
    a.Number = QStringLiteral("1");
    a.PhoneType = TContactData::Office;
    TContactData b;
    b.NickName = QStringLiteral("b");
    b.FirstName = QStringLiteral("Ünal");
    b.PhoneType = 7;
    TContactData l;
    l.Kind = TContactData::KindList;
    l.NickName = QStringLiteral("L");
    l.Count = 3;
    t.AddNode(nullptr, a);
    t.AddNode(nullptr, b);
    t.AddNode(nullptr, l);
    TPreviousPhoneBook previous(m_main);
    QVERIFY(previous.WritePreviousPhoneBook(m_main, t));
    QCOMPARE(t.TopLevel(1)->Data().ID, 6);
    QCOMPARE(t.TopLevel(2)->Data().ID, 7);

    QDomDocument doc;
    QString error;
    QVERIFY(TPreviousPhoneBook::LoadXml(m_main, doc, &error));
    const QDomElement main = doc.documentElement();
    QCOMPARE(main.tagName(), QStringLiteral("MAIN_CONTACTS"));
    QStringList sections;
    for (QDomElement e = main.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        sections << e.tagName();
    QCOMPARE(sections, (QStringList{QStringLiteral("CONTACTS_SINGLES"), QStringLiteral("CONTACTS_LISTS"),
                                    QStringLiteral("CVER")}));
    QStringList fields;
    for (QDomElement e = main.firstChildElement().firstChildElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        fields << e.tagName() + u'=' + e.text();
    QCOMPARE(fields, (QStringList{QStringLiteral("ID=5"), QStringLiteral("FIRST_NAME="),
                                  QStringLiteral("LAST_NAME="), QStringLiteral("NICK_NAME=a <&> \"q\""),
                                  QStringLiteral("PHONE_NUMBER=1"), QStringLiteral("TYPE=OFFICE")}));
    QCOMPARE(main.firstChildElement().lastChildElement().lastChildElement().text(), QString()); // type 7

    TContactsTree back;
    QVERIFY(previous.ImportPreviousPhoneBook(m_main, back));
    QCOMPARE(back.TopLevel(1)->Data().FirstName, QStringLiteral("Ünal"));
    QCOMPARE(back.TopLevel(0)->Data().NickName, a.NickName);
    QCOMPARE(back.TopLevel(2)->Data().Count, 3);
}

void TestPreviousPhoneBook::listXmlPath_data()
{
    QTest::addColumn<QString>("contactsFile");
    QTest::addColumn<QString>("path");
    QTest::newRow("bare name") << QStringLiteral("PBook.xml") << QStringLiteral("Amici.xml");
    QTest::newRow("doubled backslashes")
        << QStringLiteral("C:\\\\Dati\\\\PBook.xml") << QStringLiteral("C:\\Dati\\Amici.xml");
    QTest::newRow("unix folder") << QStringLiteral("/home/u/old/PBook.xml")
                                 << QStringLiteral("/home/u/old/Amici.xml");
}

void TestPreviousPhoneBook::listXmlPath()
{
    QFETCH(QString, contactsFile);
    QFETCH(QString, path);
    QCOMPARE(TPreviousPhoneBook(contactsFile).ListXmlPath(QStringLiteral("Amici")), path);
}

void TestPreviousPhoneBook::upgradeFromXml()
{
    Write(QStringLiteral("PBook.xml"),
          "<MAIN_CONTACTS><CONTACTS_SINGLES><CONTACT><ID>3</ID><NICK_NAME>s</NICK_NAME><PHONE_NUMBER>1 "
          "2</PHONE_NUMBER>"
          "</CONTACT></CONTACTS_SINGLES><CONTACTS_LISTS><L><NICK_NAME>Amici</NICK_NAME><COUNT>1</COUNT>"
          "<LID>9</LID></L></CONTACTS_LISTS></MAIN_CONTACTS>");
    Write(QStringLiteral("Amici.xml"),
          "<CONTACTS><C><NICK_NAME>m</NICK_NAME><PHONE_NUMBER>5</PHONE_NUMBER></C>"
          "</CONTACTS>");
    TPhoneBook book(m_dir->filePath(QStringLiteral("pbook.qpb")),
                    m_dir->filePath(QStringLiteral("none.qpb")));
    QCOMPARE(book.GetPhoneBookVersion(), -1);
    TContactsTree tree;
    QVERIFY2(book.UpgradePhoneBook(-1, tree, m_main), qPrintable(book.LastError()));
    QCOMPARE(Dump(tree), (QStringList{QStringLiteral("0|1|||s|12|0|1"), QStringLiteral("1|2|||Amici||0|1"),
                                      QStringLiteral("  1|m|5")}));
    QCOMPARE(book.GetPhoneBookVersion(), 21);
}

void TestPreviousPhoneBook::upgradeGivesListsUsableNames()
{
    // Names the earlier version allowed but no list table can have.
    Write(QStringLiteral("PBook.xml"),
          "<MAIN_CONTACTS><CONTACTS_LISTS>"
          "<L><NICK_NAME>Amici</NICK_NAME><COUNT>1</COUNT></L><L><NICK_NAME>amici</NICK_NAME><COUNT>1</"
          "COUNT></L>"
          "<L><NICK_NAME>QPB_DETAILS</NICK_NAME><COUNT>0</COUNT></L><L><NICK_NAME>sqlite_x</"
          "NICK_NAME><COUNT>0</COUNT>"
          "</L><L><NICK_NAME></NICK_NAME><COUNT>0</COUNT></L></CONTACTS_LISTS></MAIN_CONTACTS>");
    Write(QStringLiteral("Amici.xml"),
          "<CONTACTS><C><NICK_NAME>m</NICK_NAME><PHONE_NUMBER>5</PHONE_NUMBER></C>"
          "</CONTACTS>");
    TPhoneBook book(m_dir->filePath(QStringLiteral("pbook.qpb")),
                    m_dir->filePath(QStringLiteral("none.qpb")));
    TContactsTree tree;
    QVERIFY2(book.UpgradePhoneBook(-1, tree, m_main), qPrintable(book.LastError()));
    QCOMPARE(Dump(tree),
             (QStringList{QStringLiteral("1|1|||Amici||0|1"), QStringLiteral("  1|m|5"),
                          QStringLiteral("1|2|||amici (2)||0|0"), QStringLiteral("1|5|||list||0|0"),
                          QStringLiteral("1|4|||list sqlite_x||0|0"),
                          QStringLiteral("1|3|||QPB_DETAILS (2)||0|0")}));
    QCOMPARE(book.GetPhoneBookVersion(), 21);
}

QTEST_GUILESS_MAIN(TestPreviousPhoneBook)
#include "TestPreviousPhoneBook.moc"
