#include "UpdateTestSupport.h"
#include "net/PeerProcesses.h"
#include "platform/OleDate.h"
#include "platform/SystemFacts.h"
#include "update/FileDownload.h"
#include "update/UpdateCheck.h"
#include "update/UpdaterRefresh.h"

#include <QCryptographicHash>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>

// The check and the downloads against nginx and the provider stand-in on loopback (the setup
// download as a whole is tested through brelmont-cli and the update row).
class TestUpdateNetwork : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void nginx_data();
    void nginx();
    void check_data();
    void check();
    void automaticCheckWaitsForExpiryAndTimesOut();
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
    for (const QString& name : FilesIn(m_target.path()))
        QFile::remove(m_target.filePath(name));
    SystemFacts::OverrideNow(kNow);
}

void TestUpdateNetwork::nginx_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("sha256");
    QTest::addColumn<QString>("interrupt"); // after the first bytes
    QTest::addColumn<int>("failure");       // -1: success
    using F = TFileDownload::Failure;
    const QString right =
        QString::fromLatin1(QCryptographicHash::hash(kBody, QCryptographicHash::Sha256).toHex());
    QTest::newRow("whole, digest in upper case") << "/setup.bin" << right.toUpper() << QString() << -1;
    QTest::newRow("slow, redirect within http") << "/to-slow" << QString() << QString() << -1;
    QTest::newRow("digest differs") << "/setup.bin" << QString(64, u'0') << QString() << int(F::Checksum);
    QTest::newRow("digest malformed") << "/setup.bin"
                                      << "abc" << QString() << int(F::Checksum);
    QTest::newRow("not found") << "/missing.bin" << QString() << QString() << int(F::HttpStatus);
    QTest::newRow("redirect to ftp") << "/to-ftp" << QString() << QString() << int(F::Redirect);
    QTest::newRow("cancelled") << "/slow.bin" << QString() << "cancel" << int(F::Cancelled);
    QTest::newRow("server ends mid-file") << "/slow.bin" << QString() << "terminate" << int(F::Length);
    QTest::newRow("server stalls") << "/slow.bin" << QString() << "stop" << int(F::TimedOut);
}

void TestUpdateNetwork::nginx()
{
    QFETCH(QString, path);
    QFETCH(QString, sha256);
    QFETCH(QString, interrupt);
    QFETCH(int, failure);
    if (!Nginx::Available())
        QSKIP("nginx is not installed");
    Nginx nginx;
    QVERIFY(nginx.Start(QStringLiteral("location = /slow.bin { alias www/setup.bin; limit_rate 512k; } "
                                       "location = /to-slow { return 302 /slow.bin; } "
                                       "location = /to-ftp { return 302 ftp://127.0.0.1/setup.bin; }")));
    QFile www(nginx.WwwPath(QStringLiteral("setup.bin")));
    QVERIFY(www.open(QIODevice::WriteOnly) && www.write(kBody) == kBody.size());
    www.close();
    QNetworkAccessManager network;
    TFileDownload download(network);
    download.SetTimeout(1500);
    QSignalSpy progress(&download, &TFileDownload::progress);
    QSignalSpy finished(&download, &TFileDownload::finished);
    QSignalSpy failed(&download, &TFileDownload::failed);
    const TFileDownload::Job job{QUrl(nginx.Url(path)), m_target.filePath(QStringLiteral("setup")), sha256,
                                 true};
    QVERIFY(download.Start(job));
    QVERIFY(!download.Start(job)); // one at a time
    const auto pid = static_cast<pid_t>(nginx.process.processId());
    if (!interrupt.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), 10000);
        if (interrupt == u"cancel")
            download.Cancel();
        else if (interrupt == u"terminate")
            nginx.process.terminate();
        else
            ::kill(pid, SIGSTOP);
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished.size() + failed.size(), 1, 20000);
    ::kill(pid, SIGCONT);
    QCOMPARE(failed.isEmpty() ? -1 : int(failed.first().first().value<TFileDownload::Failure>()), failure);
    QCOMPARE(FilesIn(m_target.path()), failure == -1 ? QStringList{QStringLiteral("setup")} : QStringList());
    if (failure != -1)
        return;
    QFile file(job.TargetFile);
    QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == kBody);
    QVERIFY(file.permissions() & QFileDevice::ExeOwner);
    QCOMPARE(progress.last(), (QList<QVariant>{kBody.size(), kBody.size()}));
    for (qsizetype i = 1; i < progress.size(); ++i)
        QVERIFY(progress[i - 1].first().toLongLong() < progress[i].first().toLongLong());
}

void TestUpdateNetwork::check_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<bool>("newer");
    QTest::addColumn<bool>("failed");
    const char* build2 = "--update-description newer --update-version 2.0.0.2";
    QTest::newRow("newer, automatic") << Args("--update-description newer") << false << true << false;
    QTest::newRow("2.0.0.2, automatic") << Args(build2) << false << false << false;
    QTest::newRow("2.0.0.2, manual") << Args(build2) << true << true << false;
    QTest::newRow("none, manual") << QStringList() << true << false << false;
    QTest::newRow("malformed, automatic") << Args("--update-description malformed") << false << false << true;
    QTest::newRow("missing, manual") << Args("--update-description missing") << true << false << true;
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
    if (newer) {
        QVERIFY(
            found.first().at(1).toUrl().path().endsWith(QStringLiteral("/LastVersion/brelmont-setup.sh")));
        return;
    }
    QCOMPARE(expire.first().first().toDouble(), kMidnight);
    QCOMPARE(none.first().first().toBool(), manual);
}

void TestUpdateNetwork::automaticCheckWaitsForExpiryAndTimesOut()
{
    ScriptedPeer silent; // accepts and never answers
    TUpdateCheck check;
    check.SetTimeout(300);
    check.SetDescriptionUrl(DescriptionUrl(QStringLiteral("http://127.0.0.1:%1").arg(silent.Port())));
    QSignalSpy failure(&check, &TUpdateCheck::checkFailed);
    QSignalSpy none(&check, &TUpdateCheck::noUpdate);
    const double now = DateTimeToDays(kNow);
    QVERIFY(!check.CheckForUpdates(false, now));
    QVERIFY(!check.IsRunning());
    QVERIFY(check.CheckForUpdates(false, now - 1.0 / 86400));
    QVERIFY(check.CheckForUpdates(true, now)); // joins the running check, which becomes manual
    QTRY_COMPARE_WITH_TIMEOUT(none.size(), 1, 5000);
    QCOMPARE(none.first().first().toBool(), true);
    QCOMPARE(failure.size(), 1);
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
    QFile f(file);
    QVERIFY(size < 0 || (f.open(QIODevice::WriteOnly) && f.resize(size)));
    f.close();
    QObject owner;
    QPointer<TUpdaterRefresh> refresh = TUpdaterRefresh::DownloadUpdater(m_target.path(), Base(sim), &owner);
    QCOMPARE(!refresh.isNull(), refreshed);
    QTRY_VERIFY_WITH_TIMEOUT(refresh.isNull(), 20000); // deletes itself when done
    QCOMPARE(QFileInfo(file).size(), refreshed ? 1200000 : std::max<qint64>(size, 0));
    QCOMPARE(QFileInfo(file).isExecutable(), refreshed);
}

QTEST_GUILESS_MAIN(TestUpdateNetwork)
#include "TestUpdateNetwork.moc"
