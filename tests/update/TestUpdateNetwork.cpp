#include "net/PeerProcesses.h"
#include "platform/OleDate.h"
#include "platform/SystemFacts.h"
#include "update/SetupDownload.h"
#include "update/UpdateCheck.h"
#include "update/UpdaterRefresh.h"

#include <QCryptographicHash>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>

// The check and the downloads against nginx and the provider stand-in on loopback.
class TestUpdateNetwork : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void nginxDownload_data();
    void nginxDownload();
    void nginxInterrupted_data();
    void nginxInterrupted();
    void check_data();
    void check();
    void automaticCheckWaitsForExpiry();
    void descriptionTimesOut();
    void setupDownload_data();
    void setupDownload();
    void updaterRefresh_data();
    void updaterRefresh();

private:
    QTemporaryDir m_target;
};

namespace {

const QByteArray kBody = [] {
    QByteArray b;
    for (quint32 i = 0; i < 1u << 20; ++i)
        b.append(static_cast<char>((i * 7919u) >> 3));
    return b;
}();

struct Outcome
{
    bool done = false;
    bool ok = false;
    TFileDownload::Failure failure{};
    QList<qint64> received;
    qint64 total = 0;
};

template <typename Download> void Watch(Download& download, Outcome& o)
{
    QObject::connect(&download, &Download::progress, [&o](qint64 received, qint64 total) {
        o.received.append(received);
        o.total = total;
    });
    QObject::connect(&download, &Download::finished, [&o] { o.done = o.ok = true; });
    QObject::connect(&download, &Download::failed, [&o](TFileDownload::Failure failure) {
        o.done = true;
        o.failure = failure;
    });
}

QStringList Entries(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QString Base(const ProviderSim& sim)
{
    return QStringLiteral("http://127.0.0.1:%1").arg(sim.httpPort);
}

const QDateTime kNow(QDate(2025, 3, 30), QTime(23, 59, 59));
constexpr double kMidnight = 45747; // 2025-03-31 00:00

} // namespace

void TestUpdateNetwork::init()
{
    QVERIFY(m_target.isValid());
    for (const QString& name : Entries(m_target))
        QFile::remove(m_target.filePath(name));
    SystemFacts::OverrideNow(kNow);
}

void TestUpdateNetwork::nginxDownload_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("sha256");
    QTest::addColumn<int>("failure"); // -1: success
    const QString right =
        QString::fromLatin1(QCryptographicHash::hash(kBody, QCryptographicHash::Sha256).toHex());
    QTest::newRow("whole, digest in upper case") << "/setup.bin" << right.toUpper() << -1;
    QTest::newRow("no digest, redirect within http") << "/to-setup"
                                                     << "" << -1;
    QTest::newRow("digest differs") << "/setup.bin" << QString(64, u'0')
                                    << int(TFileDownload::Failure::Checksum);
    QTest::newRow("digest malformed") << "/setup.bin"
                                      << "abc" << int(TFileDownload::Failure::Checksum);
    QTest::newRow("not found") << "/missing.bin"
                               << "" << int(TFileDownload::Failure::HttpStatus);
    QTest::newRow("redirect to ftp") << "/to-ftp"
                                     << "" << int(TFileDownload::Failure::Redirect);
}

void TestUpdateNetwork::nginxDownload()
{
    QFETCH(QString, path);
    QFETCH(QString, sha256);
    QFETCH(int, failure);
    if (!Nginx::Available())
        QSKIP("nginx is not installed");
    Nginx nginx;
    QVERIFY(nginx.dir.isValid());
    QDir().mkpath(nginx.WwwPath({}));
    QFile www(nginx.WwwPath(QStringLiteral("setup.bin")));
    QVERIFY(www.open(QIODevice::WriteOnly) && www.write(kBody) == kBody.size());
    www.close();
    QVERIFY(nginx.Start(QStringLiteral("location = /to-setup { return 302 /setup.bin; } "
                                       "location = /to-ftp { return 302 ftp://127.0.0.1/setup.bin; }")));

    QNetworkAccessManager network;
    TFileDownload download(network);
    Outcome o;
    Watch(download, o);
    const QString target = m_target.filePath(QStringLiteral("setup"));
    QVERIFY(download.Start({QUrl(nginx.Url(path)), target, sha256, true}));
    QVERIFY(!download.Start({QUrl(nginx.Url(path)), target, sha256, true})); // one at a time
    QTRY_VERIFY_WITH_TIMEOUT(o.done, 20000);
    QCOMPARE(o.ok ? -1 : int(o.failure), failure);
    if (failure != -1) {
        QCOMPARE(Entries(m_target), QStringList());
        return;
    }
    QCOMPARE(Entries(m_target), QStringList{QStringLiteral("setup")});
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == kBody);
    QVERIFY(file.permissions() & QFileDevice::ExeOwner);
    QCOMPARE(o.total, kBody.size());
    QCOMPARE(o.received.last(), kBody.size());
    QVERIFY(std::is_sorted(o.received.begin(), o.received.end()));
}

void TestUpdateNetwork::nginxInterrupted_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("failure");
    QTest::newRow("cancelled") << "cancel" << int(TFileDownload::Failure::Cancelled);
    QTest::newRow("server ends mid-file") << "terminate" << int(TFileDownload::Failure::Length);
    QTest::newRow("server stalls") << "stop" << int(TFileDownload::Failure::TimedOut);
}

void TestUpdateNetwork::nginxInterrupted()
{
    QFETCH(QString, how);
    QFETCH(int, failure);
    if (!Nginx::Available())
        QSKIP("nginx is not installed");
    Nginx nginx;
    QDir().mkpath(nginx.WwwPath({}));
    QFile www(nginx.WwwPath(QStringLiteral("setup.bin")));
    QVERIFY(www.open(QIODevice::WriteOnly) && www.write(kBody) == kBody.size());
    www.close();
    QVERIFY(nginx.Start(QStringLiteral("location = /slow.bin { alias www/setup.bin; limit_rate 128k; }")));

    QNetworkAccessManager network;
    TFileDownload download(network);
    download.SetTimeout(1500);
    Outcome o;
    Watch(download, o);
    QVERIFY(download.Start(
        {QUrl(nginx.Url(QStringLiteral("/slow.bin"))), m_target.filePath(QStringLiteral("s")), {}, true}));
    QTRY_VERIFY_WITH_TIMEOUT(!o.received.isEmpty(), 10000);
    const auto pid = static_cast<pid_t>(nginx.process.processId());
    if (how == u"cancel")
        download.Cancel();
    else if (how == u"terminate")
        nginx.process.terminate();
    else
        ::kill(pid, SIGSTOP);
    QTRY_VERIFY_WITH_TIMEOUT(o.done, 10000);
    if (how == u"stop")
        ::kill(pid, SIGCONT);
    QCOMPARE(int(o.failure), failure);
    QVERIFY(o.received.last() < kBody.size());
    QCOMPARE(Entries(m_target), QStringList());
}

void TestUpdateNetwork::check_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<bool>("newer");
    QTest::addColumn<bool>("failed");
    const QStringList newer{QStringLiteral("--update-description"), QStringLiteral("newer")};
    const QStringList build2 =
        newer + QStringList{QStringLiteral("--update-version"), QStringLiteral("2.0.0.2")};
    QTest::newRow("newer, automatic") << newer << false << true << false;
    QTest::newRow("2.0.0.2, automatic") << build2 << false << false << false;
    QTest::newRow("2.0.0.2, manual") << build2 << true << true << false;
    QTest::newRow("none, manual") << QStringList() << true << false << false;
    QTest::newRow("malformed, automatic")
        << QStringList{QStringLiteral("--update-description"), QStringLiteral("malformed")} << false << false
        << true;
    QTest::newRow("missing, manual") << QStringList{QStringLiteral("--update-description"),
                                                    QStringLiteral("missing")}
                                     << true << false << true;
}

void TestUpdateNetwork::check()
{
    QFETCH(QStringList, options);
    QFETCH(bool, manual);
    QFETCH(bool, newer);
    QFETCH(bool, failed);
    ProviderSim sim;
    QVERIFY(sim.Start(options));
    TUpdateCheck check;
    check.SetProgramVersion(QStringLiteral("2.0.0.1"));
    check.SetDescriptionUrl(DescriptionUrl(Base(sim) + u'/'));
    QSignalSpy found(&check, &TUpdateCheck::newerVersionFound);
    QSignalSpy none(&check, &TUpdateCheck::noUpdate);
    QSignalSpy failure(&check, &TUpdateCheck::checkFailed);
    QSignalSpy expire(&check, &TUpdateCheck::nextUpdateExpireChanged);
    QVERIFY(check.CheckForUpdates(manual, 0));
    QTRY_COMPARE_WITH_TIMEOUT(found.size() + none.size(), 1, 10000);
    QCOMPARE(found.size(), int(newer));
    QCOMPARE(failure.size(), int(failed));
    QCOMPARE(expire.size(), int(!newer));
    if (newer)
        QVERIFY(found.first().at(1).toUrl().toString().endsWith(
            QStringLiteral("/updates/LastVersion/brelmont-setup.sh")));
    else
        QCOMPARE(expire.first().first().toDouble(), kMidnight);
    if (!newer)
        QCOMPARE(none.first().first().toBool(), manual);
}

void TestUpdateNetwork::automaticCheckWaitsForExpiry()
{
    TUpdateCheck check;
    check.SetDescriptionUrl(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(ClosedLoopbackPort())));
    const double now = DateTimeToDays(kNow);
    QVERIFY(!check.CheckForUpdates(false, now));
    QVERIFY(!check.IsRunning());
    QVERIFY(check.CheckForUpdates(true, now));
    QVERIFY(check.CheckForUpdates(false, now - 1.0 / 86400)); // joins the running check
    QSignalSpy none(&check, &TUpdateCheck::noUpdate);
    QTRY_COMPARE(none.size(), 1);
    QCOMPARE(none.first().first().toBool(), true);
    QVERIFY(check.CheckForUpdates(false, now - 1.0 / 86400));
}

void TestUpdateNetwork::descriptionTimesOut()
{
    ScriptedPeer silent; // accepts and never answers
    TUpdateCheck check;
    check.SetTimeout(300);
    check.SetDescriptionUrl(DescriptionUrl(QStringLiteral("http://127.0.0.1:%1").arg(silent.Port())));
    QSignalSpy failure(&check, &TUpdateCheck::checkFailed);
    QSignalSpy none(&check, &TUpdateCheck::noUpdate);
    QVERIFY(check.CheckForUpdates(false, 0));
    QTRY_COMPARE_WITH_TIMEOUT(none.size(), 1, 5000);
    QCOMPARE(failure.size(), 1);
}

void TestUpdateNetwork::setupDownload_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("failure");
    const QStringList newer{QStringLiteral("--update-description"), QStringLiteral("newer")};
    auto with = [&](const char* setup, const char* sha) {
        return newer + QStringList{QStringLiteral("--update-setup"), QString::fromLatin1(setup),
                                   QStringLiteral("--update-sha256"), QString::fromLatin1(sha)};
    };
    QTest::newRow("whole, digest right: started") << with("whole", "right") << false << -1;
    QTest::newRow("cut short") << with("short", "none") << false << int(TFileDownload::Failure::Length);
    QTest::newRow("connection reset")
        << with("reset", "none") << false << int(TFileDownload::Failure::Network);
    QTest::newRow("digest wrong") << with("whole", "wrong") << false << int(TFileDownload::Failure::Checksum);
    QTest::newRow("cancelled") << with("slow", "none") << true << int(TFileDownload::Failure::Cancelled);
    QTest::newRow("no description") << QStringList{QStringLiteral("--update-description"),
                                                   QStringLiteral("missing")}
                                    << false << int(TFileDownload::Failure::NoSetup);
}

void TestUpdateNetwork::setupDownload()
{
    QFETCH(QStringList, options);
    QFETCH(bool, cancel);
    QFETCH(int, failure);
    ProviderSim sim;
    QVERIFY(sim.Start(options));
    TSetupDownload download;
    download.SetDescriptionUrl(DescriptionUrl(Base(sim)));
    download.SetTargetFolder(m_target.path());
    Outcome o;
    Watch(download, o);
    QVERIFY(download.Start());
    QVERIFY(download.IsRunning());
    if (cancel) {
        QTRY_VERIFY_WITH_TIMEOUT(!o.received.isEmpty(), 10000);
        download.Cancel();
    }
    QTRY_VERIFY_WITH_TIMEOUT(o.done, 20000);
    QVERIFY(!download.IsRunning());
    QCOMPARE(o.ok ? -1 : int(o.failure), failure);
    if (failure != -1) {
        QCOMPARE(Entries(m_target), QStringList());
        return;
    }
    // The stand-in's setup program leaves "<its path>.ran" behind.
    QTRY_COMPARE(Entries(m_target),
                 (QStringList{QStringLiteral("brelmont-setup.sh"), QStringLiteral("brelmont-setup.sh.ran")}));
}

void TestUpdateNetwork::updaterRefresh_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("refreshed");
    QTest::newRow("1,175,040 bytes") << qint64(1175040) << true;
    QTest::newRow("1,175,041 bytes") << qint64(1175041) << false;
    QTest::newRow("missing") << qint64(-1) << false;
}

void TestUpdateNetwork::updaterRefresh()
{
    QFETCH(qint64, size);
    QFETCH(bool, refreshed);
    ProviderSim sim;
    QVERIFY(sim.Start({}));
    const QString file = m_target.filePath(TUpdaterRefresh::FileName());
    if (size >= 0) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
    }
    QObject owner;
    QPointer<TUpdaterRefresh> refresh = TUpdaterRefresh::DownloadUpdater(m_target.path(), Base(sim), &owner);
    QCOMPARE(!refresh.isNull(), refreshed);
    QTRY_VERIFY_WITH_TIMEOUT(refresh.isNull(), 20000); // deletes itself when done
    QCOMPARE(QFileInfo(file).size(), refreshed ? 1200000 : std::max<qint64>(size, 0));
    QCOMPARE(QFileInfo(file).isExecutable(), refreshed);
}

QTEST_GUILESS_MAIN(TestUpdateNetwork)
#include "TestUpdateNetwork.moc"
