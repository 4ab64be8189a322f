#include "net/Cipher.h"
#include "platform/Autostart.h"
#include "platform/OleDate.h"
#include "platform/RegistryStore.h"
#include "platform/SystemFacts.h"
#include "settings/SettingsHolder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kKey = QStringLiteral("Software\\Dalvenor");
const QString kProgram = QStringLiteral("/opt/brelmont/bin/brelmont");
const QDateTime kNow(QDate(2026, 12, 9), QTime(12, 0));

QString Stored(const QString& plain)
{
    return QString::fromLatin1(EncodeBase64(EncryptString(plain.toLatin1())));
}

QString Plain(const QString& stored)
{
    return QString::fromLatin1(DecryptString(DecodeBase64(stored.toLatin1())));
}

// A main window that records what the holder asks of it.
class FakeWindow : public ISettingsWindowHost
{
public:
    QPoint CurrentPosition() const override { return position; }
    void ResizeTo(int width, int height) override { size = QSize(width, height); }
    void MoveTo(int left, int top) override
    {
        position = QPoint(left, top);
        ++moves;
    }
    void ResetCredit() override { ++creditResets; }

    QPoint position{-1, -1};
    QSize size;
    int moves = 0;
    int creditResets = 0;
};
} // namespace

class TestSettingsHolder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStartOnCleanProfile();
    void legacyKeyIsCopied_data();
    void legacyKeyIsCopied();
    void legacyKeyIgnoredWhenSettingsExist();
    void legacySender_data();
    void legacySender();
    void senderRule_data();
    void senderRule();
    void language_data();
    void language();
    void timeZone_data();
    void timeZone();
    void proxyAddressOfBlanksSavesProxyOff();
    void rememberPwdOffStoresEmptyPassword();
    void credentialsRoundTrip();
    void emptyUserNameIsStoredAsDemoName();
    void undecipherableCredentialIsEmpty_data();
    void undecipherableCredentialIsEmpty();
    void firstTimeAndExpiryAreWrittenAtOnce();
    void refusedImmediateWriteIsReported();
    void wrongTypedValueIsReported_data();
    void wrongTypedValueIsReported();
    void saveWritesValuesInOrder();
    void autostartEntries();
    void endpointsAreReadNeverWritten();
    void cancelRestoresAndWindowIsPlaced();
    void unparsableFileIsKeptAside();

private:
    QString Path() const { return m_dir->filePath(QStringLiteral("registry.reg")); }
    void WriteRegistry(const QString& body);
    RegistryStore Store() const;
    std::unique_ptr<TSettingsHolder> Holder();

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsHolder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
    SystemFacts::OverrideLocaleId(0x0409);
    SystemFacts::OverrideTimeZoneBiasMinutes(-60);
    SystemFacts::OverrideNow(kNow);
}

void TestSettingsHolder::cleanup()
{
    SystemFacts::OverrideLocaleId(std::nullopt);
    SystemFacts::OverrideTimeZoneBiasMinutes(std::nullopt);
    SystemFacts::OverrideNow(std::nullopt);
}

void TestSettingsHolder::WriteRegistry(const QString& body)
{
    QFile file(Path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QString text = QStringLiteral("Windows Registry Editor Version 5.00\n\n") + body;
    file.write(text.replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toUtf8());
}

RegistryStore TestSettingsHolder::Store() const
{
    RegistryStore store(Path());
    store.Load();
    return store;
}

std::unique_ptr<TSettingsHolder> TestSettingsHolder::Holder()
{
    auto holder = std::make_unique<TSettingsHolder>(Path());
    holder->SetProgramPath(kProgram);
    return holder;
}

void TestSettingsHolder::firstStartOnCleanProfile()
{
    auto holder = Holder();
    QSignalSpy applied(holder.get(), &TSettingsHolder::languageApplied);
    QVERIFY(holder->LoadSettings(true));
    QCOMPARE(holder->LastError(), QString());

    RegistryStore store = Store();
    QVERIFY(store.KeyExists(kKey));
    QCOMPARE(store.Value(kKey, QStringLiteral("FirstTime")), std::optional<RegValue>(RegValue::Dword(1)));
    QCOMPARE(store.ReadDateTime(kKey, QStringLiteral("NextUpdateExpire")), DateTimeToDays(kNow.addDays(-1)));
    QCOMPARE(store.ValueNames(kKey).size(), 2); // nothing else until the first save
    QCOMPARE(applied.size(), 1);
    QCOMPARE(applied.at(0).at(0).toString(), QStringLiteral("ENG"));

    // The defaults of the table.
    QCOMPARE(holder->GetSender(), QStringLiteral("Brelmont"));
    QCOMPARE(holder->GetUserName(), TSettingsHolder::DemoUserName());
    QCOMPARE(holder->GetPassword(), TSettingsHolder::DemoPassword());
    QCOMPARE(holder->GetStartUpConnection(), true);
    QCOMPARE(holder->GetDisableSound(), false);
    QCOMPARE(holder->GetCheckForUpdatesOnStartup(), true);
    QCOMPARE(holder->GetRunAtStartup(), true);
    QCOMPARE(holder->GetUsePGOnline(), false);
    QCOMPARE(holder->GetRememberPwd(), false);
    QCOMPARE(holder->IsFirstTime(), true);
    QCOMPARE(holder->GetFirstTimeClose(), false);
    QCOMPARE(holder->GetTimeZone(), 1);
    QCOMPARE(holder->GetContactsFile(), QStringLiteral("PBook.xml"));
    QCOMPARE(QRect(holder->LastX(), holder->LastY(), holder->LastW(), holder->LastH()),
             QRect(100, 50, 487, 635));
    QCOMPARE(holder->GetProxyEnabled(), false);
    QCOMPARE(holder->GetProxyPort(), 0);
    QCOMPARE(holder->GetWarningMediumQuality(), true);
    QCOMPARE(holder->GetWarningUnicode(), true);
    QCOMPARE(holder->GetWarningManySMS(), true);

    QVERIFY(!Autostart::Exists(QStringLiteral("Brelmont")));
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Autostart::Command(QStringLiteral("Brelmont")), kProgram);
}

void TestSettingsHolder::legacyKeyIsCopied_data()
{
    QTest::addColumn<QString>("flagLine");
    QTest::addColumn<bool>("expected");
    QTest::newRow("text 1") << QStringLiteral("\"StartUpConnection\"=\"1\"\n") << true;
    QTest::newRow("text 0") << QStringLiteral("\"StartUpConnection\"=\"0\"\n") << false;
    QTest::newRow("other text") << QStringLiteral("\"StartUpConnection\"=\"yes\"\n") << false;
    QTest::newRow("text with blank") << QStringLiteral("\"StartUpConnection\"=\"1 \"\n") << false;
    QTest::newRow("absent") << QString() << true;
}

void TestSettingsHolder::legacyKeyIsCopied()
{
    QFETCH(QString, flagLine);
    QFETCH(bool, expected);
    const QString legacy =
        QStringLiteral("[HKEY_CURRENT_USER\\Software\\Mirabex]\n") + flagLine +
        QStringLiteral("\"Sender\"=\"Mario\"\n\"LastX\"=dword:00000011\n\n"
                       "[HKEY_CURRENT_USER\\Software\\Mirabex\\Lists\\Old]\n\"Count\"=dword:00000003\n\n");
    WriteRegistry(legacy);
    const RegistryStore before = Store();

    auto holder = Holder();
    QVERIFY(holder->LoadSettings(false));
    QCOMPARE(holder->GetStartUpConnection(), expected);
    QCOMPARE(holder->GetSender(), QStringLiteral("Mario"));
    QCOMPARE(holder->LastX(), 17);

    RegistryStore store = Store();
    QCOMPARE(store.Value(kKey, QStringLiteral("StartUpConnection")),
             std::optional<RegValue>(RegValue::Dword(expected ? 1 : 0)));
    QCOMPARE(store.ReadInteger(kKey + QStringLiteral("\\Lists\\Old"), QStringLiteral("Count")), 3);
    // The legacy key is untouched.
    for (const QString& sub :
         {QStringLiteral("Software\\Mirabex"), QStringLiteral("Software\\Mirabex\\Lists\\Old")}) {
        QCOMPARE(store.ValueNames(sub), before.ValueNames(sub));
        for (const QString& name : before.ValueNames(sub))
            QCOMPARE(store.Value(sub, name), before.Value(sub, name));
    }
}

void TestSettingsHolder::legacyKeyIgnoredWhenSettingsExist()
{
    WriteRegistry(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Mirabex]\n\"Sender\"=\"Old\"\n"
                                 "\"StartUpConnection\"=\"0\"\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Dalvenor]\n\"Sender\"=\"New\"\n\n"));
    auto holder = Holder();
    QVERIFY(holder->LoadSettings(false));
    QCOMPARE(holder->GetSender(), QStringLiteral("New"));
    QCOMPARE(holder->GetStartUpConnection(), true);
    QVERIFY(!Store().ValueExists(kKey, QStringLiteral("StartUpConnection")));
}

void TestSettingsHolder::legacySender_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    const QStringList legacy = TSettingsHolder::LegacyDefaultSenders();
    QCOMPARE(legacy.size(), 2);
    QTest::newRow("first legacy sender") << legacy[0] << QStringLiteral("Brelmont");
    QTest::newRow("second legacy sender") << legacy[1] << QStringLiteral("Brelmont");
    QTest::newRow("other letter case") << legacy[0].toUpper() << legacy[0].toUpper().left(11);
    QTest::newRow("own sender") << QStringLiteral("Mario") << QStringLiteral("Mario");
}

void TestSettingsHolder::legacySender()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    auto holder = Holder();
    holder->LoadSettings(false);
    RegistryStore store = Store();
    store.WriteString(kKey, QStringLiteral("Sender"), stored);
    store.Save();

    QVERIFY(holder->LoadSettings(false));
    QCOMPARE(holder->GetSender(), shown);
    QCOMPARE(Store().ReadString(kKey, QStringLiteral("Sender")), stored); // kept until the next save
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Store().ReadString(kKey, QStringLiteral("Sender")), shown);
}

void TestSettingsHolder::senderRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("international number")
        << QStringLiteral("+391234567890123") << QStringLiteral("+391234567890123") << 16;
    QTest::newRow("20 digits kept whole")
        << QStringLiteral("12345678901234567890") << QStringLiteral("12345678901234567890") << 16;
    QTest::newRow("14 letters cut to 11")
        << QStringLiteral("Brelmont Mario") << QStringLiteral("Brelmont Ma") << 11;
    QTest::newRow("number and a letter") << QStringLiteral("+39a") << QStringLiteral("+39a") << 11;
    QTest::newRow("plus inside") << QStringLiteral("3+9") << QStringLiteral("3+9") << 11;
    QTest::newRow("plus alone") << QStringLiteral("+") << QStringLiteral("+") << 16;
    QTest::newRow("empty") << QString() << QString() << 16;
    QTest::newRow("Arabic-Indic digits are letters") << QStringLiteral("١٢٣") << QStringLiteral("١٢٣") << 11;
}

void TestSettingsHolder::senderRule()
{
    QFETCH(QString, text);
    QFETCH(QString, kept);
    QFETCH(int, maxLength);
    auto holder = Holder();
    holder->SetSender(text);
    QCOMPARE(holder->GetSender(), kept);
    QCOMPARE(holder->SenderMaxLength(), maxLength);
}

void TestSettingsHolder::language_data()
{
    QTest::addColumn<QString>("storedLine");
    QTest::addColumn<int>("localeId");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ITA") << QStringLiteral("\"Language\"=\"ITA\"") << 0x0409 << QStringLiteral("ITA");
    QTest::newRow("POR") << QStringLiteral("\"Language\"=\"POR\"") << 0x0410 << QStringLiteral("POR");
    QTest::newRow("ENG on Italian system")
        << QStringLiteral("\"Language\"=\"ENG\"") << 0x0410 << QStringLiteral("ENG");
    QTest::newRow("FRA on English system")
        << QStringLiteral("\"Language\"=\"FRA\"") << 0x0409 << QStringLiteral("ENG");
    QTest::newRow("FRA on Italian system")
        << QStringLiteral("\"Language\"=\"FRA\"") << 0x0410 << QStringLiteral("ITA");
    QTest::newRow("FRA on Swiss Italian system")
        << QStringLiteral("\"Language\"=\"FRA\"") << 0x0810 << QStringLiteral("ITA");
    QTest::newRow("lower case") << QStringLiteral("\"Language\"=\"ita\"") << 0x0409 << QStringLiteral("ENG");
    QTest::newRow("empty on Portuguese system")
        << QStringLiteral("\"Language\"=\"\"") << 0x0816 << QStringLiteral("ENG");
    QTest::newRow("absent on Italian system") << QString() << 0x0410 << QStringLiteral("ITA");
    QTest::newRow("absent on Brazilian system") << QString() << 0x0416 << QStringLiteral("ENG");
}

void TestSettingsHolder::language()
{
    QFETCH(QString, storedLine);
    QFETCH(int, localeId);
    QFETCH(QString, expected);
    SystemFacts::OverrideLocaleId(localeId);
    WriteRegistry(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Dalvenor]\n") + storedLine + u'\n');
    auto holder = Holder();
    QVERIFY(holder->LoadSettings(false));
    QCOMPARE(holder->GetLanguage(), expected);
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Store().ReadString(kKey, QStringLiteral("Language")), expected);
}

void TestSettingsHolder::timeZone_data()
{
    QTest::addColumn<QString>("storedLine");
    QTest::addColumn<int>("biasMinutes");
    QTest::addColumn<int>("expected");
    QTest::newRow("stored 3") << QStringLiteral("\"TimeZone\"=dword:00000003") << -60 << 3;
    QTest::newRow("stored -12") << QStringLiteral("\"TimeZone\"=dword:fffffff4") << -60 << -12;
    QTest::newRow("stored 12") << QStringLiteral("\"TimeZone\"=dword:0000000c") << -60 << 12;
    QTest::newRow("stored 0") << QStringLiteral("\"TimeZone\"=dword:00000000") << -60 << 0;
    QTest::newRow("stored 15 takes the system zone")
        << QStringLiteral("\"TimeZone\"=dword:0000000f") << -60 << 1;
    QTest::newRow("stored -13 takes the system zone")
        << QStringLiteral("\"TimeZone\"=dword:fffffff3") << 300 << -5;
    QTest::newRow("stored 15 on a +13 system") << QStringLiteral("\"TimeZone\"=dword:0000000f") << -780 << 0;
    QTest::newRow("absent: system +1") << QString() << -60 << 1;
    QTest::newRow("absent: India -330 to 6") << QString() << -330 << 6;
    QTest::newRow("absent: -270 to 4") << QString() << -270 << 4;
    QTest::newRow("absent: 210 to -4") << QString() << 210 << -4;
    QTest::newRow("absent: 150 to -2") << QString() << 150 << -2;
    QTest::newRow("absent: -345 to 6") << QString() << -345 << 6;
    QTest::newRow("absent: +14 system") << QString() << -840 << 0;
}

void TestSettingsHolder::timeZone()
{
    QFETCH(QString, storedLine);
    QFETCH(int, biasMinutes);
    QFETCH(int, expected);
    SystemFacts::OverrideTimeZoneBiasMinutes(biasMinutes);
    WriteRegistry(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Dalvenor]\n") + storedLine + u'\n');
    auto holder = Holder();
    QVERIFY(holder->LoadSettings(false));
    QCOMPARE(holder->GetTimeZone(), expected);
}

void TestSettingsHolder::proxyAddressOfBlanksSavesProxyOff()
{
    auto holder = Holder();
    holder->LoadSettings(false);
    holder->SetProxyEnabled(true);
    holder->SetProxyAddress(QStringLiteral("  \t "));
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Store().ReadBool(kKey, QStringLiteral("ProxyEnabled")), false);
    QCOMPARE(Store().ReadString(kKey, QStringLiteral("ProxyAddress")), QStringLiteral("  \t "));
    QCOMPARE(holder->GetProxyEnabled(), true); // the check box stays ticked

    holder->SetProxyAddress(QStringLiteral("127.0.0.1"));
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Store().ReadBool(kKey, QStringLiteral("ProxyEnabled")), true);
}

void TestSettingsHolder::rememberPwdOffStoresEmptyPassword()
{
    auto holder = Holder();
    holder->LoadSettings(false);
    holder->SetUserName(QStringLiteral("mario"));
    holder->SetPassword(QStringLiteral("secret"));
    holder->SetRememberPwd(false);
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Store().ReadString(kKey, QStringLiteral("Password")), Stored(QString()));

    auto next = Holder();
    QVERIFY(next->LoadSettings(false));
    QCOMPARE(next->PasswordField(), QString());
    QCOMPARE(next->GetPassword(), TSettingsHolder::DemoPassword());
    QCOMPARE(next->GetUserName(), QStringLiteral("mario"));
}

void TestSettingsHolder::credentialsRoundTrip()
{
    auto holder = Holder();
    holder->LoadSettings(false);
    holder->SetUserName(QStringLiteral("mario.rossi@example.it"));
    holder->SetPassword(QStringLiteral("pàss wörd"));
    holder->SetRememberPwd(true);
    QVERIFY(holder->SaveSettings());
    const QString stored = Store().ReadString(kKey, QStringLiteral("UserName"));
    QCOMPARE(stored, Stored(QStringLiteral("mario.rossi@example.it")));
    QVERIFY(!Store().ToExportText().contains(QStringLiteral("mario")));

    auto next = Holder();
    QVERIFY(next->LoadSettings(false));
    QCOMPARE(next->GetUserName(), QStringLiteral("mario.rossi@example.it"));
    QCOMPARE(next->GetPassword(), QStringLiteral("pàss wörd"));
}

void TestSettingsHolder::emptyUserNameIsStoredAsDemoName()
{
    auto holder = Holder();
    holder->LoadSettings(false);
    holder->SetRememberPwd(true);
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Plain(Store().ReadString(kKey, QStringLiteral("UserName"))), TSettingsHolder::DemoUserName());
    QCOMPARE(Plain(Store().ReadString(kKey, QStringLiteral("Password"))), TSettingsHolder::DemoPassword());

    auto next = Holder();
    QVERIFY(next->LoadSettings(false));
    QCOMPARE(next->UserNameField(), QString());
    QCOMPARE(next->PasswordField(), QString());
    next->SetUserName(TSettingsHolder::DemoUserName().toUpper());
    QCOMPARE(next->UserNameField(), QString());
    next->SetPassword(TSettingsHolder::DemoPassword().toUpper());
    QCOMPARE(next->PasswordField(), QString());
}

void TestSettingsHolder::undecipherableCredentialIsEmpty_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain text") << QStringLiteral("mario");
    QTest::newRow("no marker") << QStringLiteral("AAAAAAAA");
    QTest::newRow("wrong length") << Stored(QStringLiteral("mario")).chopped(1);
    QTest::newRow("empty") << QString();
}

void TestSettingsHolder::undecipherableCredentialIsEmpty()
{
    QFETCH(QString, stored);
    WriteRegistry(
        QStringLiteral("[HKEY_CURRENT_USER\\Software\\Dalvenor]\n\"UserName\"=\"%1\"\n\"Password\"=\"%1\"\n"
                       "\"RememberPwd\"=dword:00000001\n")
            .arg(stored));
    auto holder = Holder();
    QVERIFY(holder->LoadSettings(false));
    QCOMPARE(holder->UserNameField(), QString());
    QCOMPARE(holder->PasswordField(), QString());
    QCOMPARE(holder->GetUserName(), TSettingsHolder::DemoUserName());
}

void TestSettingsHolder::firstTimeAndExpiryAreWrittenAtOnce()
{
    auto holder = Holder();
    holder->LoadSettings(false);
    // Another writer changes the file meanwhile; the holder has unsaved edits.
    RegistryStore other = Store();
    other.WriteString(kKey, QStringLiteral("LastIntPrefix"), QStringLiteral("Italia"));
    other.Save();
    holder->SetSender(QStringLiteral("Unsaved"));

    holder->SetFirstTime(false);
    QCOMPARE(Store().ReadBool(kKey, QStringLiteral("FirstTime")), false);
    holder->SetNextUpdateExpire(46000.25);
    QCOMPARE(Store().ReadDateTime(kKey, QStringLiteral("NextUpdateExpire")), 46000.25);
    QCOMPARE(Store().ReadString(kKey, QStringLiteral("LastIntPrefix")), QStringLiteral("Italia"));
    QVERIFY(!Store().ValueExists(kKey, QStringLiteral("Sender")));

    auto next = Holder();
    QVERIFY(next->LoadSettings(false));
    QCOMPARE(next->IsFirstTime(), false);
    QCOMPARE(next->GetNextUpdateExpire(), 46000.25);
}

void TestSettingsHolder::refusedImmediateWriteIsReported()
{
    // The registry's folder is a plain file: nothing can be written there.
    QFile blocker(m_dir->filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TSettingsHolder holder(m_dir->filePath(QStringLiteral("blocked/registry.reg")));
    holder.SetProgramPath(kProgram);
    QSignalSpy errors(&holder, &TSettingsHolder::registryError);
    holder.SetFirstTime(false);
    QCOMPARE(holder.LastError(), QStringLiteral("Failed to set data for 'FirstTime'"));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(holder.IsFirstTime(), false);
    QVERIFY(!holder.SaveSettings());
    QVERIFY(holder.LastError().startsWith(QStringLiteral("Failed to set data for '")));
}

void TestSettingsHolder::wrongTypedValueIsReported_data()
{
    QTest::addColumn<QString>("badLine");
    QTest::addColumn<QString>("error");
    QTest::newRow("string for a Boolean") << QStringLiteral("\"DisableSound\"=\"yes\"")
                                          << QStringLiteral("Invalid data type for 'DisableSound'");
    QTest::newRow("dword for a string") << QStringLiteral("\"UserName\"=dword:00000001")
                                        << QStringLiteral("Invalid data type for 'UserName'");
    QTest::newRow("string for an integer")
        << QStringLiteral("\"TimeZone\"=\"2\"") << QStringLiteral("Invalid data type for 'TimeZone'");
    QTest::newRow("date-time of 4 bytes") << QStringLiteral("\"NextUpdateExpire\"=hex:00,00,00,00")
                                          << QStringLiteral("Invalid data type for 'NextUpdateExpire'");
    QTest::newRow("date-time as dword") << QStringLiteral("\"NextUpdateExpire\"=dword:00000001")
                                        << QStringLiteral("Invalid data type for 'NextUpdateExpire'");
    QTest::newRow("binary for a Boolean")
        << QStringLiteral("\"FirstTime\"=hex:01") << QStringLiteral("Invalid data type for 'FirstTime'");
}

void TestSettingsHolder::wrongTypedValueIsReported()
{
    QFETCH(QString, badLine);
    QFETCH(QString, error);
    WriteRegistry(
        QStringLiteral("[HKEY_CURRENT_USER\\Software\\Dalvenor]\n\"StartUpConnection\"=dword:00000000\n") +
        badLine +
        QStringLiteral("\n\"Sender\"=\"Mario\"\n\"LastX\"=dword:00000005\n\"ProxyAddress\"=\"proxy.lan\"\n"
                       "\"WarningManySMS\"=dword:00000000\n\"WarningUnicode\"=\"broken too\"\n"));
    auto holder = Holder();
    QSignalSpy errors(holder.get(), &TSettingsHolder::registryError);
    QVERIFY(!holder->LoadSettings(false));
    QCOMPARE(holder->LastError(), error);
    QCOMPARE(errors.size(), 1);
    // Values before and after the bad one are read.
    QCOMPARE(holder->GetStartUpConnection(), false);
    QCOMPARE(holder->GetSender(), QStringLiteral("Mario"));
    QCOMPARE(holder->LastX(), 5);
    QCOMPARE(holder->GetProxyAddress(), QStringLiteral("proxy.lan"));
    QCOMPARE(holder->GetWarningManySMS(), false);
    // The next save keeps them and repairs the bad value's type.
    QVERIFY(holder->SaveSettings());
    RegistryStore store = Store();
    QCOMPARE(store.ReadString(kKey, QStringLiteral("Sender")), QStringLiteral("Mario"));
    QCOMPARE(store.ReadInteger(kKey, QStringLiteral("LastX")), 5);
    QCOMPARE(store.ReadBool(kKey, QStringLiteral("WarningManySMS")), false);
    auto next = Holder();
    QVERIFY(next->LoadSettings(false));
}

void TestSettingsHolder::saveWritesValuesInOrder()
{
    auto holder = Holder();
    holder->LoadSettings(false);
    QVERIFY(holder->SaveSettings());
    const QStringList expected = {
        // written at once by the load
        QStringLiteral("FirstTime"), QStringLiteral("NextUpdateExpire"),
        // the save
        QStringLiteral("StartUpConnection"), QStringLiteral("CheckForUpdatesOnStartup"),
        QStringLiteral("RunAtStartup"), QStringLiteral("UsePGOnline"), QStringLiteral("DisableSound"),
        QStringLiteral("UserName"), QStringLiteral("RememberPwd"), QStringLiteral("Password"),
        QStringLiteral("Language"), QStringLiteral("Sender"), QStringLiteral("FirstTimeClose"),
        QStringLiteral("TimeZone"), QStringLiteral("LastX"), QStringLiteral("LastY"), QStringLiteral("LastW"),
        QStringLiteral("LastH"), QStringLiteral("ProxyEnabled"), QStringLiteral("ProxyAddress"),
        QStringLiteral("ProxyPort"), QStringLiteral("ProxyAuthEnabled"), QStringLiteral("ProxyUsername"),
        QStringLiteral("ProxyPassword"), QStringLiteral("WarningMediumQuality"),
        QStringLiteral("WarningManySMS"), QStringLiteral("WarningUnicode"), QStringLiteral("LastIntPrefix")};
    QCOMPARE(Store().ValueNames(kKey), expected);
    QVERIFY(!Store().ValueExists(kKey, QStringLiteral("ContactsFile"))); // read only
}

void TestSettingsHolder::autostartEntries()
{
    const QStringList legacy = TSettingsHolder::LegacyAutostartNames();
    QCOMPARE(legacy.size(), 4);
    for (const QString& name : legacy + QStringList{QStringLiteral("Unrelated")})
        QVERIFY(Autostart::Set(name, QStringLiteral("/usr/bin/") + name));

    auto holder = Holder();
    holder->SetProgramPath(QStringLiteral("/opt/my apps/100% brelmont/brelmont"));
    holder->LoadSettings(false);
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Autostart::Command(QStringLiteral("Brelmont")),
             QStringLiteral("/opt/my apps/100% brelmont/brelmont"));
    for (const QString& name : legacy)
        QVERIFY2(!Autostart::Exists(name), qPrintable(name));
    QVERIFY(Autostart::Exists(QStringLiteral("Unrelated")));

    holder->SetRunAtStartup(false);
    QVERIFY(holder->SaveSettings());
    QVERIFY(!Autostart::Exists(QStringLiteral("Brelmont")));
    QVERIFY(holder->SaveSettings()); // removing an absent entry is no failure
}

void TestSettingsHolder::endpointsAreReadNeverWritten()
{
    WriteRegistry(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Dalvenor\\Endpoints]\n"
                                 "\"GatewayHost\"=\"127.0.0.1\"\n\"GatewayPort\"=dword:00004e20\n"
                                 "\"WebBaseUrl\"=\"http://127.0.0.1:18080\"\n"));
    auto holder = Holder();
    QVERIFY(holder->LoadSettings(false));
    const TEndpoints& e = holder->GetEndpoints();
    QCOMPARE(e.GatewayHost, QStringLiteral("127.0.0.1"));
    QCOMPARE(e.GatewayPort, quint16(20000));
    QCOMPARE(e.WebBaseUrl, QStringLiteral("http://127.0.0.1:18080"));
    QCOMPARE(e.GatewayFallbackPort, quint16(26));
    QCOMPARE(e.ServicePort, quint16(8999));
    QCOMPARE(e.ServiceHost, QStringLiteral("service.tarvotelecom.example"));
    QVERIFY(holder->SaveSettings());
    QCOMPARE(Store().ValueNames(TEndpoints::KeyPath()),
             (QStringList{QStringLiteral("GatewayHost"), QStringLiteral("GatewayPort"),
                          QStringLiteral("WebBaseUrl")}));

    // A bad endpoint value keeps its default, reports its name, and hides none of the others.
    RegistryStore store = Store();
    store.WriteString(TEndpoints::KeyPath(), QStringLiteral("GatewayPort"), QStringLiteral("80"));
    store.WriteInteger(TEndpoints::KeyPath(), QStringLiteral("ServicePort"), 70000);
    store.Save();
    QVERIFY(!holder->LoadSettings(false));
    QCOMPARE(holder->LastError(), QStringLiteral("Invalid data type for 'GatewayPort'"));
    QCOMPARE(holder->GetEndpoints().GatewayPort, quint16(80));
    QCOMPARE(holder->GetEndpoints().ServicePort, quint16(8999));
    QCOMPARE(holder->GetEndpoints().GatewayHost, QStringLiteral("127.0.0.1"));
}

void TestSettingsHolder::cancelRestoresAndWindowIsPlaced()
{
    WriteRegistry(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Dalvenor]\n\"Sender\"=\"Stored\"\n"
                                 "\"LastX\"=dword:fffff830\n\"LastY\"=dword:00000014\n"
                                 "\"LastW\"=dword:00000200\n\"LastH\"=dword:00000300\n"));
    FakeWindow window;
    auto holder = Holder();
    holder->SetWindowHost(&window);
    QVERIFY(holder->LoadSettings(true));
    QCOMPARE(window.size, QSize(512, 768));
    QCOMPARE(window.position, QPoint(-2000, 20)); // as stored, even off every screen

    QSignalSpy changed(holder.get(), &TSettingsHolder::valueChanged);
    holder->SetSender(QStringLiteral("Edited"));
    holder->SetSender(QStringLiteral("Edited"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("Sender"));
    QCOMPARE(holder->GetSender(), QStringLiteral("Edited")); // readers see the edit at once

    window.position = QPoint(300, 200);
    holder->SetWindowPlace(holder->LastX(), holder->LastY(), 640, holder->LastH());
    QVERIFY(holder->LoadSettings(false)); // Cancel
    QCOMPARE(holder->GetSender(), QStringLiteral("Stored"));
    QCOMPARE(window.moves, 1);
    QCOMPARE(window.size, QSize(512, 768));

    QVERIFY(holder->SaveSettings());
    QCOMPARE(window.creditResets, 1);
    QCOMPARE(Store().ReadInteger(kKey, QStringLiteral("LastX")), 300);
    QCOMPARE(Store().ReadInteger(kKey, QStringLiteral("LastY")), 200);
}

void TestSettingsHolder::unparsableFileIsKeptAside()
{
    QFile file(Path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a registry file at all");
    file.close();

    auto holder = Holder();
    QSignalSpy told(holder.get(), &TSettingsHolder::registryError);
    QVERIFY(holder->LoadSettings(false));
    QVERIFY(!holder->QuarantinedFile().isEmpty());
    QCOMPARE(holder->LastError(), QString());
    QCOMPARE(told.size(), 1);
    QVERIFY(told.at(0).at(0).toString().contains(
        QStringLiteral("could not be read and was kept as '%1'").arg(holder->QuarantinedFile())));
    QFile aside(holder->QuarantinedFile());
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), QByteArray("not a registry file at all"));
    QCOMPARE(Store().Status(), RegistryStore::LoadStatus::Loaded);
    QVERIFY(Store().KeyExists(kKey));
}

QTEST_GUILESS_MAIN(TestSettingsHolder)
#include "TestSettingsHolder.moc"
