#include "ui/dialogs/Placement.h"

#include <QtTest>

Q_DECLARE_METATYPE(PlacementRule)

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void placeBeside_data();
    void placeBeside();
    void noMonitorLeavesTheDialog();
    void nearestMonitor_data();
    void nearestMonitor();
};

namespace {
const QRect Primary(0, 0, 1024, 768);
const QRect Second(1024, 0, 1280, 1024);
} // namespace

void TestPlacement::placeBeside_data()
{
    QTest::addColumn<PlacementRule>("rule");
    QTest::addColumn<QRect>("reference");
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<QList<QRect>>("monitors");
    QTest::addColumn<QPoint>("expected");

    const auto main = PlacementRule::BesideMainWindow;
    const auto settings = PlacementRule::SettingsBesideMainWindow;
    const auto owner = PlacementRule::BesideOwner;
    const auto schedule = PlacementRule::ScheduleBesideMainWindow;
    const QSize about(200, 150);
    const QList<QRect> one{Primary};
    const QList<QRect> two{Primary, Second};

    // About box and demo notice: 2 pixels apart, bottoms aligned.
    QTest::newRow("main: fits right")
        << main << QRect(100, 100, 400, 500) << about << one << QPoint(502, 450);
    QTest::newRow("main: touches right edge, goes left")
        << main << QRect(624, 100, 400, 500) << about << one << QPoint(422, 450);
    QTest::newRow("main: right room exactly too small")
        << main << QRect(300, 100, 522, 500) << about << one << QPoint(98, 450);
    QTest::newRow("main: right room one pixel more")
        << main << QRect(300, 100, 521, 500) << about << one << QPoint(823, 450);
    QTest::newRow("main: left of monitor pulled back")
        << main << QRect(50, 100, 960, 500) << about << one << QPoint(0, 450);
    QTest::newRow("main: top within 2 px of bottom moves up 2")
        << main << QRect(100, 417, 400, 500) << about << one << QPoint(502, 765);
    QTest::newRow("main: below monitor goes to its top")
        << main << QRect(100, 500, 400, 500) << about << one << QPoint(502, 0);
    QTest::newRow("main: above monitor goes to its top")
        << main << QRect(100, -400, 400, 300) << about << one << QPoint(502, 0);
    QTest::newRow("main: on the second monitor")
        << main << QRect(1100, 100, 400, 500) << about << two << QPoint(1502, 450);
    QTest::newRow("main: right edge of the second monitor")
        << main << QRect(1904, 100, 400, 500) << about << two << QPoint(1702, 450);

    // Settings dialog: touching the main window, no vertical adjustment.
    const QSize dlg(362, 289);
    QTest::newRow("settings: fits right")
        << settings << QRect(100, 100, 400, 500) << dlg << one << QPoint(500, 311);
    QTest::newRow("settings: touches right edge, goes left")
        << settings << QRect(624, 100, 400, 500) << dlg << one << QPoint(262, 311);
    QTest::newRow("settings: room test keeps the 2 px")
        << settings << QRect(400, 100, 260, 500) << dlg << one << QPoint(38, 311);
    QTest::newRow("settings: one pixel less fits right")
        << settings << QRect(400, 100, 259, 500) << dlg << one << QPoint(659, 311);
    QTest::newRow("settings: no 2 px lift near the bottom")
        << settings << QRect(100, 556, 400, 500) << dlg << one << QPoint(500, 767);
    QTest::newRow("settings: below monitor goes to its top")
        << settings << QRect(100, 600, 400, 500) << dlg << one << QPoint(500, 0);

    // Schedule dialog: touching on the right, 10 pixels apart on the left, lifted like the about box.
    QTest::newRow("schedule: fits right")
        << schedule << QRect(100, 100, 400, 500) << about << one << QPoint(500, 450);
    QTest::newRow("schedule: touches right edge, goes left 10 px apart")
        << schedule << QRect(624, 100, 400, 500) << about << one << QPoint(414, 450);
    QTest::newRow("schedule: top within 2 px of bottom moves up 2")
        << schedule << QRect(100, 417, 400, 500) << about << one << QPoint(500, 765);

    // Message dialog: overlapping its owner by one pixel.
    const QSize msg(323, 169);
    QTest::newRow("owner: fits right")
        << owner << QRect(100, 100, 400, 300) << msg << one << QPoint(499, 231);
    QTest::newRow("owner: right overflow goes left")
        << owner << QRect(700, 100, 300, 300) << msg << one << QPoint(376, 231);
    QTest::newRow("owner: bottom below screen moved up")
        << owner << QRect(100, 500, 400, 400) << msg << one << QPoint(499, 599);
    QTest::newRow("owner: both sides too narrow pulled to left edge")
        << owner << QRect(0, 100, 1000, 300) << msg << one << QPoint(0, 231);
    QTest::newRow("owner: on the second monitor")
        << owner << QRect(1200, 300, 400, 400) << msg << two << QPoint(1599, 531);
}

void TestPlacement::placeBeside()
{
    QFETCH(PlacementRule, rule);
    QFETCH(QRect, reference);
    QFETCH(QSize, dialog);
    QFETCH(QList<QRect>, monitors);
    QFETCH(QPoint, expected);

    const auto corner = PlaceBeside(rule, reference, dialog, monitors);
    QVERIFY(corner.has_value());
    QCOMPARE(*corner, expected);
}

void TestPlacement::noMonitorLeavesTheDialog()
{
    QVERIFY(!PlaceBeside(PlacementRule::BesideOwner, QRect(0, 0, 100, 100), QSize(10, 10), {}).has_value());
    QCOMPARE(PlaceWindow(PlacementRule::BesideOwner, nullptr, nullptr), false);
}

void TestPlacement::nearestMonitor_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("inside the first") << QPoint(10, 10) << Primary;
    QTest::newRow("inside the second") << QPoint(1024, 10) << Second;
    QTest::newRow("last column of the first") << QPoint(1023, 10) << Primary;
    QTest::newRow("below the first") << QPoint(500, 900) << Primary;
    QTest::newRow("below the second") << QPoint(1100, 1500) << Second;
    QTest::newRow("far left") << QPoint(-5000, 100) << Primary;
}

void TestPlacement::nearestMonitor()
{
    QFETCH(QPoint, point);
    QFETCH(QRect, expected);
    QCOMPARE(NearestMonitor({Primary, Second}, point).value_or(QRect()), expected);
    QVERIFY(!NearestMonitor({}, point).has_value());
}

QTEST_APPLESS_MAIN(TestPlacement)
#include "tst_placement.moc"
