#include "platform/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {
const QString kKey = QStringLiteral("Software\\Dalvenor");

QByteArray Utf16LeWithBom(const QString& text)
{
    QStringEncoder encode(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE", 2) + QByteArray(encode(text));
}

// Text in the export format with CRLF line ends, as regedit writes it.
QString Crlf(const QString& text)
{
    QString out = text;
    return out.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString Header()
{
    return QStringLiteral(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Dalvenor]\n");
}
} // namespace

Q_DECLARE_METATYPE(RegValue)
Q_DECLARE_METATYPE(RegistryStore::LoadStatus)

class TestRegistryStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void parsesValueLine_data();
    void parsesValueLine();
    void readsEveryEncoding_data();
    void readsEveryEncoding();
    void keysAndValuesIgnoreCase();
    void valueNamesAreEscaped();
    void importDeletesKeysAndValues();
    void copyKeyIsRecursive();
    void deleteValue();
    void subKeysListsDirectChildren();
    void unparsableFileIsKeptAside();
    void unreadableFileIsKeptAside();
    void unusablePathsAreRefused_data();
    void unusablePathsAreRefused();
    void hostileFiles_data();
    void hostileFiles();
    void emptyFileIsAFreshHive();
    void damagedLinesAreSkipped();
    void savedFileIsPrivate();
    void savedFileIsRegeditText();
    void regeditExportImportsAsIs();
    void typedReaders_data();
    void typedReaders();
    void defaultPath();

private:
    QString Path() const { return m_dir->filePath(QStringLiteral("registry.reg")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRegistryStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRegistryStore::roundTrip_data()
{
    QTest::addColumn<RegValue>("value");
    QTest::addColumn<QString>("line"); // how the value appears in the file (a line, or the start of one)

    QTest::newRow("dword") << RegValue::Dword(10) << QStringLiteral("\"v\"=dword:0000000a");
    QTest::newRow("dword max") << RegValue::Dword(0xFFFFFFFFu) << QStringLiteral("\"v\"=dword:ffffffff");
    QTest::newRow("string") << RegValue::String(QStringLiteral("Brelmont"))
                            << QStringLiteral("\"v\"=\"Brelmont\"");
    QTest::newRow("string escapes") << RegValue::String(QStringLiteral("C:\\dir\\\"quoted\""))
                                    << QStringLiteral("\"v\"=\"C:\\\\dir\\\\\\\"quoted\\\"\"");
    QTest::newRow("string empty") << RegValue::String(QString()) << QStringLiteral("\"v\"=\"\"");
    QTest::newRow("string non-latin")
        << RegValue::String(QStringLiteral("città €")) << QStringLiteral("\"v\"=\"città €\"");
    QTest::newRow("string outside the BMP")
        << RegValue::String(QStringLiteral("ok 😀")) << QStringLiteral("\"v\"=\"ok 😀\"");
    QTest::newRow("string with line break") << RegValue::String(QStringLiteral("a\r\nb"))
                                            << QStringLiteral("\"v\"=hex(1):61,00,0d,00,0a,00,62,00,00,00");
    QTest::newRow("expand string") << RegValue::Expand(QStringLiteral("%A%"))
                                   << QStringLiteral("\"v\"=hex(2):25,00,41,00,25,00,00,00");
    QByteArray many;
    for (int i = 0; i < 100; ++i)
        many.append(static_cast<char>(i * 7));
    QTest::newRow("binary over several lines")
        << RegValue::Binary(many) << QStringLiteral("\"v\"=hex:00,07,0e,15,");
    QTest::newRow("binary empty") << RegValue::Binary({}) << QStringLiteral("\"v\"=hex:");
    QTest::newRow("date-time") << RegValue::DateTime(45000.5)
                               << QStringLiteral("\"v\"=hex:00,00,00,00,10,f9,e5,40");
    QTest::newRow("multi string kept raw") << RegValue{RegType::Raw, 7, {}, QByteArray("a\0\0\0\0\0", 6)}
                                           << QStringLiteral("\"v\"=hex(7):61,00,00,00,00,00");
    QTest::newRow("none kept raw") << RegValue{RegType::Raw, 0, {}, QByteArray()}
                                   << QStringLiteral("\"v\"=hex(0):");
    QTest::newRow("qword kept raw") << RegValue{RegType::Raw, 0xb, {}, QByteArray(8, '\x01')}
                                    << QStringLiteral("\"v\"=hex(b):01,01,01,01,01,01,01,01");
}

void TestRegistryStore::roundTrip()
{
    QFETCH(RegValue, value);
    QFETCH(QString, line);

    RegistryStore writer(Path());
    writer.SetValue(kKey, QStringLiteral("v"), value);
    writer.Save();
    const QString text = writer.ToExportText();
    QVERIFY2(text.contains(QStringLiteral("\r\n") + line +
                           (line.endsWith(u',') ? QString() : QStringLiteral("\r\n"))),
             qPrintable(text));

    RegistryStore reader(Path());
    QCOMPARE(reader.Load(), RegistryStore::LoadStatus::Loaded);
    const auto read = reader.Value(kKey, QStringLiteral("v"));
    QVERIFY(read.has_value());
    QCOMPARE(static_cast<int>(read->type), static_cast<int>(value.type));
    QCOMPARE(read->dword, value.dword);
    QCOMPARE(read->text, value.text);
    QCOMPARE(read->binary, value.binary);
    // A second save writes the same bytes: nothing drifts from one run to the next.
    const QByteArray first = ReadFile(Path());
    reader.Save();
    QCOMPARE(ReadFile(Path()), first);
}

void TestRegistryStore::parsesValueLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<RegValue>("expected");

    QTest::newRow("dword upper case") << QStringLiteral("\"v\"=dword:0000000A") << RegValue::Dword(10);
    QTest::newRow("blanks around equals")
        << QStringLiteral("\"v\" = \"x\"") << RegValue::String(QStringLiteral("x"));
    QTest::newRow("escapes") << QStringLiteral("\"v\"=\"C:\\\\Program Files\\\\\\\"B\\\"\"")
                             << RegValue::String(QStringLiteral("C:\\Program Files\\\"B\""));
    QTest::newRow("hex continued") << QStringLiteral("\"v\"=hex:01,02,\\\n  03,ff")
                                   << RegValue::Binary(QByteArray("\x01\x02\x03\xff", 4));
    QTest::newRow("expand string") << QStringLiteral("\"v\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00")
                                   << RegValue::Expand(QStringLiteral("%PATH%"));
    QTest::newRow("hex(1) string") << QStringLiteral("\"v\"=hex(1):68,00,69,00,00,00")
                                   << RegValue::String(QStringLiteral("hi"));
    QTest::newRow("hex(3) binary") << QStringLiteral("\"v\"=hex(3):0a,0b")
                                   << RegValue::Binary(QByteArray("\x0a\x0b"));
    QTest::newRow("hex(4) dword") << QStringLiteral("\"v\"=hex(4):0a,00,00,00") << RegValue::Dword(10);
    QTest::newRow("hex(7) raw") << QStringLiteral("\"v\"=hex(7):61,00,00,00,00,00")
                                << RegValue{RegType::Raw, 7, {}, QByteArray("a\0\0\0\0\0", 6)};
}

void TestRegistryStore::parsesValueLine()
{
    QFETCH(QString, line);
    QFETCH(RegValue, expected);

    RegistryStore store(Path());
    QVERIFY(store.ParseExportText(Crlf(Header() + line + u'\n')));
    QCOMPARE(store.Value(kKey, QStringLiteral("v")), std::optional<RegValue>(expected));
}

void TestRegistryStore::readsEveryEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    const QString text = Crlf(Header() + QStringLiteral("\"v\"=\"città €\"\n"));
    QTest::newRow("UTF-16LE with BOM") << Utf16LeWithBom(text) << QStringLiteral("città €");
    QTest::newRow("UTF-8") << text.toUtf8() << QStringLiteral("città €");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + text.toUtf8()
                                    << QStringLiteral("città €");
    QTest::newRow("UTF-8 LF only") << Header().append(QStringLiteral("\"v\"=\"città €\"\n")).toUtf8()
                                   << QStringLiteral("città €");
    // REGEDIT4 files are 8-bit Windows-1252: 0xE0 is "à", 0x80 the euro sign.
    QTest::newRow("REGEDIT4") << QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Dalvenor]\r\n"
                                            "\"v\"=\"citt\xE0 \x80\"\r\n")
                              << QStringLiteral("città €");
    QTest::newRow("REGEDIT4 hex(2) is 8-bit")
        << QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Dalvenor]\r\n\"v\"=hex(2):63,69,74,74,"
                      "e0,00\r\n")
        << QStringLiteral("città");
}

void TestRegistryStore::readsEveryEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);

    WriteFile(Path(), bytes);
    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Loaded);
    QCOMPARE(store.ReadString(kKey, QStringLiteral("v")), expected);
}

void TestRegistryStore::keysAndValuesIgnoreCase()
{
    WriteFile(Path(), Crlf(QStringLiteral("Windows Registry Editor Version 5.00\n\n"
                                          "[HKEY_CURRENT_USER\\SOFTWARE\\dalvenor]\n\"userNAME\"=\"x\"\n"))
                          .toUtf8());
    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Loaded);
    QVERIFY(store.KeyExists(QStringLiteral("software\\DALVENOR")));
    QCOMPARE(store.ReadString(kKey, QStringLiteral("UserName")), QStringLiteral("x"));

    store.WriteString(kKey, QStringLiteral("USERNAME"), QStringLiteral("y"));
    // One value, keeping the spelling it was created with.
    QCOMPARE(store.ValueNames(kKey), QStringList{QStringLiteral("userNAME")});
    QCOMPARE(store.ReadString(kKey, QStringLiteral("username")), QStringLiteral("y"));
    QVERIFY(store.ToExportText().contains(QStringLiteral("[HKEY_CURRENT_USER\\SOFTWARE\\dalvenor]\r\n")));
}

void TestRegistryStore::valueNamesAreEscaped()
{
    RegistryStore writer(Path());
    const QString name = QStringLiteral("a \"quoted\" \\ name");
    writer.WriteString(kKey, name, QStringLiteral("x"));
    writer.WriteString(kKey, QString(), QStringLiteral("default"));
    writer.Save();
    QVERIFY(writer.ToExportText().contains(QStringLiteral("\r\n\"a \\\"quoted\\\" \\\\ name\"=\"x\"\r\n")));
    QVERIFY(writer.ToExportText().contains(QStringLiteral("\r\n@=\"default\"\r\n")));
    RegistryStore reader(Path());
    reader.Load();
    QCOMPARE(reader.ValueNames(kKey), (QStringList{name, QString()}));
    QCOMPARE(reader.ReadString(kKey, name), QStringLiteral("x"));
}

void TestRegistryStore::importDeletesKeysAndValues()
{
    RegistryStore store(Path());
    QVERIFY(
        store.ParseExportText(Crlf(QStringLiteral("Windows Registry Editor Version 5.00\n\n"
                                                  "[HKEY_CURRENT_USER\\Software\\Old]\n\"a\"=dword:00000001\n"
                                                  "[HKEY_CURRENT_USER\\Software\\Old\\Sub]\n\"b\"=dword:00000002\n"
                                                  "[HKEY_CURRENT_USER\\Software\\Older]\n\"c\"=dword:00000003\n"
                                                  "[HKEY_CURRENT_USER\\Software\\Dalvenor]\n"
                                                  "\"keep\"=\"1\"\n\"drop\"=\"2\"\n"
                                                  "[-HKEY_CURRENT_USER\\software\\old]\n"
                                                  "[HKEY_CURRENT_USER\\Software\\Dalvenor]\n\"DROP\"=-\n"))));
    QVERIFY(!store.KeyExists(QStringLiteral("Software\\Old")));
    QVERIFY(!store.KeyExists(QStringLiteral("Software\\Old\\Sub")));
    QVERIFY(store.KeyExists(QStringLiteral("Software\\Older"))); // a longer name is another key
    QCOMPARE(store.ValueNames(kKey), QStringList{QStringLiteral("keep")});
}

void TestRegistryStore::copyKeyIsRecursive()
{
    RegistryStore store(Path());
    const QString legacy = QStringLiteral("Software\\Mirabex");
    store.WriteString(legacy, QStringLiteral("Sender"), QStringLiteral("old"));
    store.WriteInteger(legacy + QStringLiteral("\\A\\B"), QStringLiteral("deep"), 7);
    store.WriteInteger(QStringLiteral("Software\\MirabexOther"), QStringLiteral("x"), 1);
    store.WriteString(kKey, QStringLiteral("Sender"), QStringLiteral("new"));
    store.WriteString(kKey, QStringLiteral("Only"), QStringLiteral("here"));

    store.CopyKey(legacy, kKey);

    QCOMPARE(store.ReadString(kKey, QStringLiteral("Sender")), QStringLiteral("old")); // overwritten
    QCOMPARE(store.ReadString(kKey, QStringLiteral("Only")), QStringLiteral("here"));
    QCOMPARE(store.ReadInteger(kKey + QStringLiteral("\\A\\B"), QStringLiteral("deep")), 7);
    QVERIFY(!store.KeyExists(kKey + QStringLiteral("Other"))); // a sibling with a longer name stays out
    QCOMPARE(store.ReadString(legacy, QStringLiteral("Sender")), QStringLiteral("old")); // source untouched
    QCOMPARE(store.ReadInteger(legacy + QStringLiteral("\\A\\B"), QStringLiteral("deep")), 7);
}

void TestRegistryStore::deleteValue()
{
    RegistryStore store(Path());
    store.WriteInteger(kKey, QStringLiteral("a"), 1);
    store.WriteInteger(kKey, QStringLiteral("b"), 2);
    QVERIFY(store.DeleteValue(kKey, QStringLiteral("A")));
    QVERIFY(!store.DeleteValue(kKey, QStringLiteral("a")));
    QVERIFY(!store.DeleteValue(QStringLiteral("Software\\Missing"), QStringLiteral("a")));
    QCOMPARE(store.ValueNames(kKey), QStringList{QStringLiteral("b")});
    store.Save();
    RegistryStore reader(Path());
    reader.Load();
    QVERIFY(!reader.ValueExists(kKey, QStringLiteral("a")));
    QVERIFY(reader.ValueExists(kKey, QStringLiteral("b")));
}

void TestRegistryStore::subKeysListsDirectChildren()
{
    RegistryStore store(Path());
    store.CreateKey(kKey + QStringLiteral("\\Endpoints"));
    store.CreateKey(kKey + QStringLiteral("\\Zeta\\Deeper"));
    store.CreateKey(QStringLiteral("Software\\Dalvenor2"));
    store.CreateKey(QStringLiteral("Software\\Dalvenor-x"));
    QStringList children = store.SubKeys(QStringLiteral("SOFTWARE\\DALVENOR"));
    children.sort();
    QCOMPARE(children, (QStringList{QStringLiteral("Endpoints"), QStringLiteral("Zeta")}));
    QCOMPARE(store.SubKeys(QStringLiteral("Software\\Missing")), QStringList());
    store.DeleteKey(kKey + QStringLiteral("\\Zeta"));
    QVERIFY(!store.KeyExists(kKey + QStringLiteral("\\Zeta\\Deeper")));
    QVERIFY(store.KeyExists(kKey + QStringLiteral("\\Endpoints")));
}

void TestRegistryStore::unparsableFileIsKeptAside()
{
    const QByteArray garbage("this is no registry file\n\"v\"=dword:1\n");
    WriteFile(Path(), garbage);

    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Unparsable);
    const QString aside = store.QuarantinedPath();
    QVERIFY(!aside.isEmpty());
    QVERIFY(QFileInfo(aside).fileName().startsWith(QStringLiteral("registry.reg.broken-")));
    QCOMPARE(ReadFile(aside), garbage); // nothing of it is lost
    QVERIFY(!QFile::exists(Path()));

    store.WriteInteger(kKey, QStringLiteral("v"), 2);
    store.Save();
    RegistryStore reader(Path());
    QCOMPARE(reader.Load(), RegistryStore::LoadStatus::Loaded);
    QCOMPARE(reader.ReadInteger(kKey, QStringLiteral("v")), 2);

    // A second broken file within the same second gets a name of its own.
    WriteFile(Path(), QByteArray("\x01\x02\x03 binary junk"));
    RegistryStore again(Path());
    QCOMPARE(again.Load(), RegistryStore::LoadStatus::Unparsable);
    QVERIFY(!again.QuarantinedPath().isEmpty());
    QVERIFY(again.QuarantinedPath() != aside);
    QCOMPARE(ReadFile(aside), garbage);
    QCOMPARE(ReadFile(again.QuarantinedPath()), QByteArray("\x01\x02\x03 binary junk"));
}

void TestRegistryStore::unreadableFileIsKeptAside()
{
    const QByteArray content = Utf16LeWithBom(Crlf(Header() + QStringLiteral("\"v\"=dword:00000001\n")));
    WriteFile(Path(), content);
    QFile::setPermissions(Path(), QFileDevice::Permissions());
    if (QFile(Path()).open(QIODevice::ReadOnly))
        QSKIP("this user reads files without read permission (root)");

    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Unparsable);
    QVERIFY(!store.QuarantinedPath().isEmpty());
    QFile::setPermissions(store.QuarantinedPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(ReadFile(store.QuarantinedPath()), content);
}

void TestRegistryStore::unusablePathsAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("fifo") << QStringLiteral("fifo");
}

void TestRegistryStore::unusablePathsAreRefused()
{
    QFETCH(QString, kind);
    if (kind == u"folder")
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("registry.reg/inside")));
    else
        QCOMPARE(::mkfifo(QFile::encodeName(Path()).constData(), 0600), 0);
    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Unusable); // a FIFO would hang an open()
    QVERIFY(store.LoadProblem().contains(QStringLiteral("not a regular file")));
    QVERIFY(store.QuarantinedPath().isEmpty());
    store.WriteInteger(kKey, QStringLiteral("v"), 1);
    QVERIFY_THROWS_EXCEPTION(ERegistryException, store.Save());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
             QStringList{QStringLiteral("registry.reg")});
}

void TestRegistryStore::emptyFileIsAFreshHive()
{
    WriteFile(Path(), QByteArray("\r\n  \r\n"));
    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Missing);
    QVERIFY(store.QuarantinedPath().isEmpty());
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).size() == 1);
}

void TestRegistryStore::damagedLinesAreSkipped()
{
    const QString text = Crlf(QStringLiteral("Windows Registry Editor Version 5.00\n\n"
                                             "\"outside\"=dword:1\n"
                                             "[HKEY_CURRENT_USER\\Software\\Dalvenor]\n"
                                             "\"a\"=dword:00000001\n"
                                             "\"bad dword\"=dword:xyz\n"
                                             "\"too long\"=dword:123456789\n"
                                             "\"cut short\"=dword:000046\n"
                                             "\"bad hex\"=hex:zz,01\n"
                                             "\"bad byte\"=hex:100\n"
                                             "\"unterminated\"=\"abc\n"
                                             "\"no equals\" \"x\"\n"
                                             "garbage line\n"
                                             "\"unknown\"=qword:1\n"
                                             "\"b\"=\"two\"\n"
                                             "[HKEY_CURRENT_USER\\Software\\Other\n"
                                             "\"misplaced\"=dword:1\n"
                                             "[HKEY_CURRENT_USER\\Software\\Dalvenor\\Endpoints]\n"
                                             "\"GatewayPort\"=dword:00000050\n"));
    WriteFile(Path(), Utf16LeWithBom(text));
    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Loaded);
    QCOMPARE(store.ValueNames(kKey), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(store.ReadString(kKey, QStringLiteral("b")), QStringLiteral("two"));
    QCOMPARE(store.ReadInteger(kKey + QStringLiteral("\\Endpoints"), QStringLiteral("GatewayPort")), 80);
    QCOMPARE(store.DamagedLines(), 12);
    // The first write keeps the file as it was, once.
    store.Save();
    QCOMPARE(ReadFile(store.DamagedCopyPath()), Utf16LeWithBom(text));
    const QString copy = store.DamagedCopyPath();
    store.Save();
    QCOMPARE(store.DamagedCopyPath(), copy);
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Loaded);
    QCOMPARE(store.DamagedLines(), 0);
}

void TestRegistryStore::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<RegistryStore::LoadStatus>("status");
    QTest::addColumn<int>("values");    // in kKey
    QTest::addColumn<int>("damaged");   // lines
    QTest::addColumn<QString>("check"); // a value of kKey as "name=text" that must survive a save

    const QByteArray head =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Dalvenor]\r\n";
    QTest::newRow("one Windows-1252 byte among UTF-8 lines")
        << head + "\"a\"=\"caf\xE9\"\r\n\"b\"=\"citt\xC3\xA0\"\r\n"
        << RegistryStore::LoadStatus::Loaded << 2 << 0 << QStringLiteral("b=citt\u00E0");
    QTest::newRow("text with NUL inside, written back as read")
        << head + "\"s\"=hex(1):61,00,00,00,62,00,00,00\r\n"
        << RegistryStore::LoadStatus::Loaded << 1 << 0 << QStringLiteral("s=a");
    QByteArray many = head;
    for (int i = 0; i < 40000; ++i)
        many += "\"v" + QByteArray::number(i) + "\"=dword:00000001\r\n";
    QTest::newRow("40,000 values in one key")
        << many << RegistryStore::LoadStatus::Loaded << 40000 << 0 << QString();
    QByteArray deep = head;
    QByteArray path = "HKEY_CURRENT_USER\\Software\\Other";
    for (int i = 0; i < 2000; ++i) {
        path += "\\k";
        deep += '[' + path + "]\r\n";
    }
    QTest::newRow("key nested 2,000 levels") << deep << RegistryStore::LoadStatus::Loaded << 0
                                             << 2000 - RegistryStore::MaxKeyDepth + 2 << QString();
    QTest::newRow("over 16 MB") << head + QByteArray(RegistryStore::MaxFileBytes, ';')
                                << RegistryStore::LoadStatus::Unparsable << 0 << 0 << QString();
}

void TestRegistryStore::hostileFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(RegistryStore::LoadStatus, status);
    QFETCH(int, values);
    QFETCH(int, damaged);
    QFETCH(QString, check);
    WriteFile(Path(), content);
    RegistryStore store(Path());
    QCOMPARE(store.Load(), status);
    QCOMPARE(store.ValueNames(kKey).size(), values);
    QCOMPARE(store.DamagedLines(), damaged);
    if (status == RegistryStore::LoadStatus::Unparsable)
        QCOMPARE(QFileInfo(store.QuarantinedPath()).size(), content.size());
    if (check.isEmpty())
        return;
    const QString name = check.section(u'=', 0, 0);
    QCOMPARE(store.ReadString(kKey, name), check.section(u'=', 1));
    store.Save();
    RegistryStore again(Path());
    QCOMPARE(again.Load(), RegistryStore::LoadStatus::Loaded);
    QCOMPARE(again.ReadString(kKey, name), check.section(u'=', 1));
    // What was read is written back as it stood.
    const QString line =
        QString::fromUtf8(content).split(QStringLiteral("\r\n")).filter(u'"' + name + u'"').value(0);
    if (name == u"s")
        QVERIFY(again.ToExportText().contains(line));
}

void TestRegistryStore::savedFileIsPrivate()
{
    WriteFile(Path(), QByteArray());
    QFile::setPermissions(Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ReadOther);
    RegistryStore store(QDir(m_dir->path()).filePath(QStringLiteral("sub/dir/registry.reg")));
    store.WriteInteger(kKey, QStringLiteral("v"), 1);
    store.Save(); // creates the missing folders
    RegistryStore existing(Path());
    existing.WriteInteger(kKey, QStringLiteral("v"), 1);
    existing.Save(); // replaces a file that was readable by others

    for (const QString& path : {store.FilePath(), existing.FilePath()}) {
        struct stat info
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
    }
}

void TestRegistryStore::savedFileIsRegeditText()
{
    RegistryStore store(Path());
    store.WriteString(kKey, QStringLiteral("Sender"), QStringLiteral("Brelmont"));
    QByteArray many(200, '\xAB');
    store.SetValue(kKey, QStringLiteral("Blob"), RegValue::Binary(many));
    store.Save();

    const QByteArray bytes = ReadFile(Path());
    QVERIFY(bytes.startsWith(QByteArray("\xFF\xFE", 2)));
    QCOMPARE(bytes.size() % 2, 0);
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    QVERIFY(text.startsWith(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n")));
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(text.count(u'\n'), text.count(QStringLiteral("\r\n")));
    QVERIFY(text.contains(
        QStringLiteral("[HKEY_CURRENT_USER\\Software\\Dalvenor]\r\n\"Sender\"=\"Brelmont\"\r\n")));
    // Long hex values continue on indented lines, each at most 80 characters.
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    int continued = 0;
    for (const QString& line : lines) {
        QVERIFY2(line.size() <= 80, qPrintable(line));
        if (line.startsWith(QStringLiteral("  ab,")))
            ++continued;
    }
    QVERIFY(continued >= 2);
}

void TestRegistryStore::regeditExportImportsAsIs()
{
    // What regedit's "Export" writes for the settings key: UTF-16LE with BOM, CRLF, a blank
    // line after every key, hex values wrapped at 80 columns with two blanks of indent.
    const QString exported = QStringLiteral(
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Dalvenor]\r\n"
        "\"StartUpConnection\"=dword:00000001\r\n"
        "\"UserName\"=\"e0AyfQ==\"\r\n"
        "\"Language\"=\"ITA\"\r\n"
        "\"Sender\"=\"Mario \\\"Super\\\" Rossi\"\r\n"
        "\"NextUpdateExpire\"=hex:00,00,00,00,10,f9,e5,40\r\n"
        "\"TimeZone\"=dword:ffffffff\r\n"
        "\"ContactsFile\"=\"C:\\\\Users\\\\mario\\\\Documents\\\\PBook.xml\"\r\n"
        "\"DataPath\"=hex(2):25,00,4c,00,4f,00,43,00,41,00,4c,00,41,00,50,00,50,00,44,00,\\\r\n"
        "  41,00,54,00,41,00,25,00,5c,00,42,00,72,00,65,00,6c,00,6d,00,6f,00,6e,00,74,\\\r\n"
        "  00,00,00\r\n"
        "\"Recent\"=hex(7):61,00,2e,00,78,00,6d,00,6c,00,00,00,00,00\r\n"
        "@=\"default value\"\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Dalvenor\\Endpoints]\r\n"
        "\"GatewayHost\"=\"127.0.0.1\"\r\n"
        "\"GatewayPort\"=dword:00004e20\r\n"
        "\r\n");
    WriteFile(Path(), Utf16LeWithBom(exported));

    RegistryStore store(Path());
    QCOMPARE(store.Load(), RegistryStore::LoadStatus::Loaded);
    QCOMPARE(store.ReadBool(kKey, QStringLiteral("StartUpConnection")), true);
    QCOMPARE(store.ReadString(kKey, QStringLiteral("UserName")), QStringLiteral("e0AyfQ=="));
    QCOMPARE(store.ReadString(kKey, QStringLiteral("Sender")), QStringLiteral("Mario \"Super\" Rossi"));
    QCOMPARE(store.ReadDateTime(kKey, QStringLiteral("NextUpdateExpire")), 45000.5);
    QCOMPARE(store.ReadInteger(kKey, QStringLiteral("TimeZone")), -1);
    QCOMPARE(store.ReadString(kKey, QStringLiteral("ContactsFile")),
             QStringLiteral("C:\\Users\\mario\\Documents\\PBook.xml"));
    QCOMPARE(store.ReadString(kKey, QStringLiteral("DataPath")), QStringLiteral("%LOCALAPPDATA%\\Brelmont"));
    QCOMPARE(store.Value(kKey, QStringLiteral("Recent"))->type, RegType::Raw);
    QCOMPARE(store.ReadString(kKey, QString()), QStringLiteral("default value"));
    QCOMPARE(store.ReadString(kKey + QStringLiteral("\\Endpoints"), QStringLiteral("GatewayHost")),
             QStringLiteral("127.0.0.1"));
    QCOMPARE(store.ReadInteger(kKey + QStringLiteral("\\Endpoints"), QStringLiteral("GatewayPort")), 20000);

    // Written back, every key and value comes out with the same text (our file only adds
    // the parent keys), and the written file reads back to the same hive.
    store.Save();
    const QString rewritten = store.ToExportText();
    for (const QString& line : exported.split(QStringLiteral("\r\n"))) {
        if (!line.startsWith(u' ') && !line.endsWith(u'\\') &&
            !line.startsWith(QStringLiteral("\"DataPath\"")))
            QVERIFY2(rewritten.contains(line), qPrintable(line));
    }
    RegistryStore reader(Path());
    QCOMPARE(reader.Load(), RegistryStore::LoadStatus::Loaded);
    QCOMPARE(reader.ToExportText(), rewritten);
}

void TestRegistryStore::typedReaders_data()
{
    QTest::addColumn<RegValue>("stored");
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("error"); // empty: reads fine

    const QString wrongType = QStringLiteral("Invalid data type for 'V'");
    QTest::newRow("bool from string") << RegValue::String(QStringLiteral("1")) << "bool" << wrongType;
    QTest::newRow("integer from binary") << RegValue::Binary("1234") << "integer" << wrongType;
    QTest::newRow("string from dword") << RegValue::Dword(1) << "string" << wrongType;
    QTest::newRow("string from expand") << RegValue::Expand(QStringLiteral("x")) << "string" << QString();
    QTest::newRow("date-time of 7 bytes") << RegValue::Binary(QByteArray(7, '\0')) << "datetime" << wrongType;
    QTest::newRow("date-time from dword") << RegValue::Dword(1) << "datetime" << wrongType;
    QTest::newRow("date-time of 8 bytes") << RegValue::DateTime(1.5) << "datetime" << QString();
    QTest::newRow("bool any non-zero") << RegValue::Dword(2) << "bool" << QString();
    QTest::newRow("raw is no dword") << RegValue{RegType::Raw, 0xb, {}, QByteArray(8, '\0')} << "integer"
                                     << wrongType;
}

void TestRegistryStore::typedReaders()
{
    QFETCH(RegValue, stored);
    QFETCH(QString, reader);
    QFETCH(QString, error);

    RegistryStore store(Path());
    store.SetValue(kKey, QStringLiteral("v"), stored);
    const QString name = QStringLiteral("V");
    QString thrown;
    try {
        if (reader == u"bool")
            QCOMPARE(store.ReadBool(kKey, name), true);
        else if (reader == u"integer")
            store.ReadInteger(kKey, name);
        else if (reader == u"string")
            QCOMPARE(store.ReadString(kKey, name), QStringLiteral("x"));
        else
            QCOMPARE(store.ReadDateTime(kKey, name), 1.5);
    } catch (const ERegistryException& e) {
        thrown = e.Message();
    }
    QCOMPARE(thrown, error);

    try {
        store.ReadString(kKey, QStringLiteral("absent"));
        QFAIL("an absent value was read");
    } catch (const ERegistryException& e) {
        QCOMPARE(e.Message(), QStringLiteral("Failed to get data for 'absent'"));
    }
}

void TestRegistryStore::defaultPath()
{
    const QByteArray saved = qgetenv("BRELMONT_REGISTRY");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("BRELMONT_REGISTRY", "/tmp/x/file.reg");
    QCOMPARE(RegistryStore::DefaultPath(), QStringLiteral("/tmp/x/file.reg"));
    qunsetenv("BRELMONT_REGISTRY");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg");
    QCOMPARE(RegistryStore::DefaultPath(), QStringLiteral("/tmp/cfg/Brelmont/registry.reg"));
    qputenv("BRELMONT_REGISTRY", saved);
    qputenv("XDG_CONFIG_HOME", savedConfig);
}

QTEST_GUILESS_MAIN(TestRegistryStore)
#include "TestRegistryStore.moc"
