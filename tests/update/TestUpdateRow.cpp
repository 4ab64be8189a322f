#include "UpdateTestSupport.h"
#include "i18n/GlobalTexts.h"
#include "net/PeerProcesses.h"
#include "ui/main/UpdateLinkRow.h"
#include "ui/main/UpdateProgressRow.h"
#include "update/SetupDownload.h"
#include "update/UpdateCheck.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

// The update row offscreen, driven by a real check and download against the stand-in.
class TestUpdateRow : public QObject
{
    Q_OBJECT

private slots:
    void newerVersionDownloadedWithProgress();
    void notices_data();
    void notices();
};

namespace {

// A check, a download into a folder of its own and the row, in English, against a stand-in.
struct Fixture
{
    explicit Fixture(const QStringList& options) : started(sim.Start(options))
    {
        const QUrl description = DescriptionUrl(QStringLiteral("http://127.0.0.1:%1").arg(sim.httpPort));
        check.SetDescriptionUrl(description);
        check.SetProgramVersion(QStringLiteral("2.0.0.1"));
        download.SetDescriptionUrl(description);
        download.SetRunSetup(false);
        download.SetTargetFolder(folder.path());
        texts.ApplyLanguage(QStringLiteral("ENG"));
        row.ApplyLanguage(QStringLiteral("ENG"));
    }
    ProviderSim sim;
    bool started;
    QTemporaryDir folder;
    TGlobalTexts texts;
    TUpdateCheck check;
    TSetupDownload download;
    TUpdateLinkRow row{check, download, texts};
};

} // namespace

void TestUpdateRow::newerVersionDownloadedWithProgress()
{
    Fixture f(Args("--update-description newer --update-setup slow --update-rate 131072"));
    QVERIFY(f.started);
    QSignalSpy heights(&f.row, &TUpdateLinkRow::commandPanelHeightChanged);
    QSignalSpy started(&f.download, &TSetupDownload::started);
    QSignalSpy finished(&f.download, &TSetupDownload::finished);
    QCOMPARE(f.row.CommandPanelHeightNow(), 84);
    QVERIFY(f.check.CheckForUpdates(false, 0));
    QTRY_COMPARE(heights.size(), 1);
    QCOMPARE(heights.last().first().toInt(), 112);
    QCOMPARE(f.row.CommandPanelHeightNow(), 112);
    QCOMPARE(f.row.lblNewVersion->text(), QStringLiteral(" Download a new version."));
    f.row.show();

    QTest::mouseClick(f.row.lblNewVersion, Qt::LeftButton);
    QTest::mouseClick(f.row.Image2, Qt::LeftButton); // while it runs: nothing
    QCOMPARE(started.size(), 1);
    QVERIFY(!f.row.lblNewVersion->isVisible());
    QVERIFY(f.row.ProgressRow->isVisible());
    QTRY_VERIFY(f.row.ProgressRow->lblPercentage->text() != QStringLiteral("0%"));
    QTest::mouseClick(f.row.ProgressRow->BtnCancelUpdate, Qt::LeftButton);
    QVERIFY(!f.row.ProgressRow->isVisible());
    QVERIFY(f.row.lblNewVersion->isVisible());
    QCOMPARE(FilesIn(f.folder.path()), QStringList());

    QTest::mouseClick(f.row.Image2, Qt::LeftButton); // again, from 0 this time
    QCOMPARE(f.row.ProgressRow->lblPercentage->text(), QStringLiteral("0%"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    QCOMPARE(f.row.ProgressRow->lblPercentage->text(), QStringLiteral("100%"));
    QVERIFY(!f.row.ProgressRow->isVisible());
    QVERIFY(QFileInfo(finished.first().first().toString()).isExecutable());

    QTest::mouseClick(f.row.Image1, Qt::LeftButton);
    QVERIFY(!f.row.isVisible());
    QCOMPARE(heights.last().first().toInt(), 84);
}

void TestUpdateRow::notices_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("manual");
    QTest::addColumn<bool>("download");
    QTest::addColumn<QStringList>("notices"); // kind, name and text of each
    const QStringList none{QStringLiteral("0"), QStringLiteral("FR_NOUPDATES"),
                           QStringLiteral("No updates found for this application.")};
    QTest::newRow("manual check twice, one name") << QStringList() << true << false << none + none;
    QTest::newRow("automatic check, no notice") << QStringList() << false << false << QStringList();
    QTest::newRow("download cut short")
        << Args("--update-description newer --update-setup short") << false << true
        << QStringList{QStringLiteral("1"), QStringLiteral("FR_UPDATEFAILED"),
                       QStringLiteral("The update could not be downloaded.")};
}

void TestUpdateRow::notices()
{
    QFETCH(QStringList, options);
    QFETCH(bool, manual);
    QFETCH(bool, download);
    QFETCH(QStringList, notices);
    Fixture f(options);
    QVERIFY(f.started);
    QStringList shown;
    connect(&f.row, &TUpdateLinkRow::noticeRequested, this,
            [&shown](int kind, const QString& text, const QString& name) {
                shown << QString::number(kind) << name << text;
            });
    int ended = 0;
    connect(&f.download, &TSetupDownload::failed, this, [&ended] { ++ended; });
    connect(&f.check, &TUpdateCheck::noUpdate, this, [&ended] { ++ended; });
    for (int i = 0; i < (download ? 1 : 2); ++i) {
        QVERIFY(download ? f.download.Start() : f.check.CheckForUpdates(manual, 0));
        QTRY_COMPARE_WITH_TIMEOUT(ended, i + 1, 10000);
    }
    QCOMPARE(shown, notices);
}

QTEST_MAIN(TestUpdateRow)
#include "TestUpdateRow.moc"
