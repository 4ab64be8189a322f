#include "LoopbackEndpoints.h"
#include "platform/RegistryStore.h"
#include "platform/SingleInstance.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <csignal>
#include <unistd.h>

namespace {
bool HasSetting(const QString& registryPath, const QString& name)
{
    RegistryStore store(registryPath);
    store.Load();
    return store.ValueExists(QStringLiteral("Software\\Dalvenor"), name);
}
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondInstanceIsRefused();
    void requestCarriesArguments();
    void staleLockIsTakenOver();
    void noInstanceNoAnswer();
    void missingFolderIsCreated();
    void unwritableFolderStillStarts();
    void secondProcessHandsOver();
    void signalEndsInOrder_data();
    void signalEndsInOrder();

private:
    // Runs SendRestoreRequest on another thread so this thread's event loop can answer it.
    bool SendFromThread(const SingleInstance& sender, const QStringList& arguments);
    QProcessEnvironment ProgramEnvironment(const QTemporaryDir& folder) const;
    bool StartProgram(QProcess& process, const QTemporaryDir& folder, const QStringList& arguments);
};

bool TestSingleInstance::SendFromThread(const SingleInstance& sender, const QStringList& arguments)
{
    bool answered = false;
    std::unique_ptr<QThread> thread(
        QThread::create([&] { answered = sender.SendRestoreRequest(arguments, 5000); }));
    thread->start();
    // The sender gives up after 5 s; this thread keeps serving its requests meanwhile.
    [[maybe_unused]] const bool finished = QTest::qWaitFor([&] { return thread->isFinished(); }, 10000);
    thread->wait();
    return answered;
}

void TestSingleInstance::secondInstanceIsRefused()
{
    QTemporaryDir folder;
    SingleInstance first(QStringLiteral("TEST"), folder.path());
    SingleInstance second(QStringLiteral("TEST"), folder.path());
    QVERIFY(first.TryBecomePrimary());
    QVERIFY(!second.TryBecomePrimary());
    QVERIFY(!second.IsPrimary());
}

void TestSingleInstance::requestCarriesArguments()
{
    QTemporaryDir folder;
    SingleInstance first(QStringLiteral("TEST"), folder.path());
    QVERIFY(first.TryBecomePrimary());
    QSignalSpy requests(&first, &SingleInstance::restoreRequested);
    SingleInstance second(QStringLiteral("TEST"), folder.path());
    QVERIFY(SendFromThread(second, {QStringLiteral("show"), QStringLiteral("two words")}));
    QTRY_COMPARE(requests.size(), 1);
    QCOMPARE(requests[0][0].toStringList(),
             (QStringList{QStringLiteral("show"), QStringLiteral("two words")}));
}

void TestSingleInstance::staleLockIsTakenOver()
{
    QTemporaryDir folder;
    SingleInstance instance(QStringLiteral("TEST"), folder.path());
    // A lock and a socket file left by a process that no longer exists.
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QFile lock(instance.LockFilePath());
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\nbrelmont\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile socket(instance.SocketPath());
    QVERIFY(socket.open(QIODevice::WriteOnly));
    socket.close();

    QVERIFY(instance.TryBecomePrimary());
    QSignalSpy requests(&instance, &SingleInstance::restoreRequested);
    SingleInstance second(QStringLiteral("TEST"), folder.path());
    QVERIFY(SendFromThread(second, {}));
    QTRY_COMPARE(requests.size(), 1);
}

void TestSingleInstance::noInstanceNoAnswer()
{
    QTemporaryDir folder;
    SingleInstance lone(QStringLiteral("TEST"), folder.path());
    QVERIFY(!lone.SendRestoreRequest({}, 200));
}

void TestSingleInstance::missingFolderIsCreated()
{
    QTemporaryDir folder;
    SingleInstance first(QStringLiteral("TEST"), folder.filePath(QStringLiteral("not/yet")));
    QVERIFY(first.TryBecomePrimary());
    QVERIFY(QFile::exists(first.LockFilePath()));
    SingleInstance second(QStringLiteral("TEST"), folder.filePath(QStringLiteral("not/yet")));
    QVERIFY(!second.TryBecomePrimary());
}

void TestSingleInstance::unwritableFolderStillStarts()
{
    if (::geteuid() == 0)
        QSKIP("root writes into any folder");
    QTemporaryDir folder;
    QVERIFY(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    SingleInstance instance(QStringLiteral("TEST"), folder.path());
    QVERIFY(instance.TryBecomePrimary());
    QFile::setPermissions(folder.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QProcessEnvironment TestSingleInstance::ProgramEnvironment(const QTemporaryDir& folder) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("BRELMONT_REGISTRY"), folder.filePath(QStringLiteral("registry.reg")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("brelmont.instance.info=true"));
    return env;
}

bool TestSingleInstance::StartProgram(QProcess& process, const QTemporaryDir& folder,
                                      const QStringList& arguments)
{
    WriteLoopbackEndpoints(folder.filePath(QStringLiteral("registry.reg")));
    process.setProcessEnvironment(ProgramEnvironment(folder));
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QStringLiteral(BRELMONT_EXE), arguments);
    return process.waitForStarted(10000);
}

void TestSingleInstance::secondProcessHandsOver()
{
    QTemporaryDir folder;
    QProcess first;
    QVERIFY(StartProgram(first, folder, {}));
    // Ready once it listens for later starts.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath(QStringLiteral("BRELMONT_DALVENOR.sock"))), 15000);

    QProcess second;
    QVERIFY(StartProgram(second, folder, {QStringLiteral("show")}));
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT((log += first.readAllStandardError()).contains("restore requested"), 10000);
    QVERIFY(log.contains("\"show\""));

    first.terminate();
    QVERIFY(first.waitForFinished(15000));
    QCOMPARE(first.exitCode(), 0);
}

void TestSingleInstance::signalEndsInOrder_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestSingleInstance::signalEndsInOrder()
{
    QFETCH(int, signalNumber);
    QTemporaryDir folder;
    QProcess program;
    QVERIFY(StartProgram(program, folder, {}));
    const QString registry = folder.filePath(QStringLiteral("registry.reg"));
    // Running once its settings are loaded: the first load writes FirstTime.
    QTRY_VERIFY_WITH_TIMEOUT(HasSetting(registry, QStringLiteral("FirstTime")), 15000);
    QVERIFY(!HasSetting(registry, QStringLiteral("LastW")));
    ::kill(static_cast<pid_t>(program.processId()), signalNumber);
    QVERIFY(program.waitForFinished(15000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    RegistryStore stored(registry);
    stored.Load();
    // Everything was written on the way out, and the instance lock was released.
    QCOMPARE(stored.ReadInteger(QStringLiteral("Software\\Dalvenor"), QStringLiteral("LastW")), 487);
    QVERIFY(stored.ValueExists(QStringLiteral("Software\\Dalvenor"), QStringLiteral("Sender")));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("BRELMONT_DALVENOR.lock"))));
}

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
