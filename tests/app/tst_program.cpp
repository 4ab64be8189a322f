#include "LoopbackEndpoints.h"
#include "app/DataModule.h"
#include "app/Program.h"
#include "platform/RegistryStore.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/main/TrayController.h"

#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void settingsPlaceMainWindowAtCreation();
    void dataModuleFollowsStoredLanguage();
    void mainWindowTakesLanguageAtStartStep();
    void startUpVisibility_data();
    void startUpVisibility();
    void exitEndsAndSettingsAreWritten();
    void settingsDialogBelongsToTheProgram();
    void unreadableSettingIsReported();

private:
    void Store(const QString& name, const RegValue& value);
    RegistryStore Stored();
    QString RegistryPath() const { return m_folder->filePath(QStringLiteral("registry.reg")); }

    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestProgram::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    WriteLoopbackEndpoints(RegistryPath());
    DialogTestHook::AnswerAtOnce(true);
}

void TestProgram::cleanup()
{
    DialogTestHook::AnswerAtOnce(false);
    DialogTestHook::ClearExecutedDialogs();
    m_folder.reset();
}

void TestProgram::Store(const QString& name, const RegValue& value)
{
    RegistryStore store(RegistryPath());
    store.Load();
    store.SetValue(TSettingsHolder::SettingsKey(), name, value);
    store.Save();
}

RegistryStore TestProgram::Stored()
{
    RegistryStore store(RegistryPath());
    store.Load();
    return store;
}

void TestProgram::settingsPlaceMainWindowAtCreation()
{
    Store(QStringLiteral("LastX"), RegValue::Dword(150));
    Store(QStringLiteral("LastY"), RegValue::Dword(80));
    Store(QStringLiteral("LastW"), RegValue::Dword(500));
    Store(QStringLiteral("LastH"), RegValue::Dword(610));
    TBrelmontProgram program({}, RegistryPath());
    // The main window existed when the settings loaded, so they sized and placed it.
    QCOMPARE(program.MainWindow()->pos(), QPoint(150, 80));
    QCOMPARE(program.MainWindow()->size(), QSize(500, 610));
}

void TestProgram::dataModuleFollowsStoredLanguage()
{
    Store(QStringLiteral("Language"), RegValue::String(QStringLiteral("POR")));
    TBrelmontProgram program({}, RegistryPath());
    // The data module existed before the settings loaded, so their first load reached it.
    QCOMPARE(program.DataModule()->Texts.TextSent, QStringLiteral("Envio com sucesso"));
}

void TestProgram::mainWindowTakesLanguageAtStartStep()
{
    Store(QStringLiteral("Language"), RegValue::String(QStringLiteral("ENG")));
    TBrelmontProgram program({}, RegistryPath());
    // Created before the settings, the window has its own (Italian) texts until its start step.
    QCOMPARE(program.MainWindow()->aChiudiProgramma->text(), QStringLiteral("&Esci"));
    QTRY_VERIFY(!program.MainWindow()->TimerStart->isActive());
    QCOMPARE(program.MainWindow()->aChiudiProgramma->text(), QStringLiteral("&Exit"));
}

void TestProgram::startUpVisibility_data()
{
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("shown");
    QTest::newRow("first start shown") << true << QStringList() << true;
    QTest::newRow("later start in the tray") << false << QStringList() << false;
    QTest::newRow("later start with show") << false << QStringList{QStringLiteral("show")} << true;
}

void TestProgram::startUpVisibility()
{
    QFETCH(bool, firstStart);
    QFETCH(QStringList, arguments);
    QFETCH(bool, shown);
    if (!firstStart)
        Store(QStringLiteral("FirstTime"), RegValue::Dword(0));
    TBrelmontProgram program(arguments, RegistryPath());
    TF_Main* main = program.MainWindow();
    QVERIFY(!main->isVisible()); // nothing shows before the start step
    QTRY_VERIFY(!main->TimerStart->isActive());
    // Without a tray the window waits minimised instead of hidden; either way it is not shown.
    QCOMPARE(main->isVisible() && !main->isMinimized(), shown);
    QCOMPARE(main->Tray().HiddenInTray, !shown);
    QCOMPARE(Stored().ReadBool(TSettingsHolder::SettingsKey(), QStringLiteral("FirstTime")), false);
}

void TestProgram::exitEndsAndSettingsAreWritten()
{
    {
        TBrelmontProgram program({}, RegistryPath());
        QSignalSpy ending(&program, &TBrelmontProgram::ending);
        QTRY_VERIFY(program.MainWindow()->isVisible());
        program.MainWindow()->move(210, 120);
        program.Settings()->SetSender(QStringLiteral("Mario"));
        // Nothing but the first-start values is in the file while the program runs.
        QVERIFY(!Stored().ValueExists(TSettingsHolder::SettingsKey(), QStringLiteral("Sender")));
        program.MainWindow()->aChiudiProgramma->trigger();
        QCOMPARE(ending.size(), 1);
    }
    RegistryStore stored = Stored();
    const QString key = TSettingsHolder::SettingsKey();
    QCOMPARE(stored.ReadString(key, QStringLiteral("Sender")), QStringLiteral("Mario"));
    QCOMPARE(stored.ReadInteger(key, QStringLiteral("LastX")), 210);
    QCOMPARE(stored.ReadInteger(key, QStringLiteral("LastY")), 120);
}

void TestProgram::settingsDialogBelongsToTheProgram()
{
    TBrelmontProgram program({}, RegistryPath());
    QTRY_VERIFY(program.MainWindow()->isVisible());
    program.MainWindow()->aImpostazioni->trigger();
    QVERIFY(program.MainWindow()->SettingsDialog()->isVisible());
    QVERIFY(!program.MainWindow()->TimerAskCredit->isActive());
    program.MainWindow()->SettingsDialog()->BtnAnnullaClick();
    QVERIFY(program.MainWindow()->TimerAskCredit->isActive());
}

void TestProgram::unreadableSettingIsReported()
{
    Store(QStringLiteral("Sender"), RegValue::Dword(7));
    TF_Message::SetNextAnswer(TF_Message::ResultOk);
    TBrelmontProgram program({}, RegistryPath());
    QTRY_COMPARE(TF_Message::LastText(), QStringLiteral("Invalid data type for 'Sender'"));
    QCOMPARE(TF_Message::LastCaption(), QStringLiteral("Brelmont"));
    // The start goes on with the other settings.
    QTRY_VERIFY(program.MainWindow()->isVisible());
    TF_Message::ClearNextAnswers();
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
