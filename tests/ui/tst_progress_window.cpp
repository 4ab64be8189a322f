#include "ui/dialogs/ProgressWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class TestProgressWindow : public QObject
{
    Q_OBJECT

private slots:
    void roundedPercent_data();
    void roundedPercent();
    void stepItShowsPercent_data();
    void stepItShowsPercent();
    void descriptionRestartsAfterSetMax();
    void clearedRestartKeepsPosition();
    void neverStepsPastMaximum();
    void smallerMaximumPullsPositionDown();
};

void TestProgressWindow::roundedPercent_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<qint64>("maximum");
    QTest::addColumn<int>("expected");
    QTest::newRow("12.5 down to even 12") << qint64(1) << qint64(8) << 12;
    QTest::newRow("37.5 up to even 38") << qint64(3) << qint64(8) << 38;
    QTest::newRow("0.5 down to 0") << qint64(1) << qint64(200) << 0;
    QTest::newRow("1.5 up to 2") << qint64(3) << qint64(200) << 2;
    QTest::newRow("2.5 down to 2") << qint64(5) << qint64(200) << 2;
    QTest::newRow("33.3 to 33") << qint64(1) << qint64(3) << 33;
    QTest::newRow("66.7 to 67") << qint64(2) << qint64(3) << 67;
    QTest::newRow("whole") << qint64(7) << qint64(7) << 100;
    QTest::newRow("large counts do not overflow") << qint64(3'000'000'000) << qint64(6'000'000'000) << 50;
}

void TestProgressWindow::roundedPercent()
{
    QFETCH(qint64, position);
    QFETCH(qint64, maximum);
    QFETCH(int, expected);
    QCOMPARE(RoundedPercent(position, maximum), expected);
}

void TestProgressWindow::stepItShowsPercent_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("SetMax(0) then one step") << 0 << 1 << QStringLiteral("100%");
    QTest::newRow("negative maximum") << -5 << 1 << QStringLiteral("100%");
    QTest::newRow("1 of 8") << 8 << 1 << QStringLiteral("12%");
    QTest::newRow("3 of 8") << 8 << 3 << QStringLiteral("38%");
    QTest::newRow("5 of 8") << 8 << 5 << QStringLiteral("62%");
    QTest::newRow("1 of 200") << 200 << 1 << QStringLiteral("0%");
    QTest::newRow("3 of 200") << 200 << 3 << QStringLiteral("2%");
}

void TestProgressWindow::stepItShowsPercent()
{
    QFETCH(int, maximum);
    QFETCH(int, steps);
    QFETCH(QString, expected);
    TF_Progresso window;
    window.SetMax(maximum);
    window.SetDescription(QStringLiteral("Importing"));
    for (int i = 0; i < steps; ++i)
        window.StepIt();
    QCOMPARE(window.lblPercent->text(), expected);
    QCOMPARE(window.lblDescrizioneProcesso->text(), QStringLiteral("Importing"));
}

void TestProgressWindow::descriptionRestartsAfterSetMax()
{
    TF_Progresso window;
    window.SetMax(10);
    window.SetDescription(QStringLiteral("first"));
    for (int i = 0; i < 4; ++i)
        window.StepIt();
    QCOMPARE(window.Position(), 4);
    window.SetMax(20);
    QVERIFY(window.RestartPending);
    window.SetDescription(QStringLiteral("second"));
    QCOMPARE(window.Position(), 0);
    QCOMPARE(window.pbProgress->value(), 0);
    window.StepIt();
    QCOMPARE(window.lblPercent->text(), QStringLiteral("5%"));
}

void TestProgressWindow::clearedRestartKeepsPosition()
{
    TF_Progresso window;
    window.SetMax(10);
    window.SetDescription(QStringLiteral("first"));
    window.StepIt();
    window.StepIt();
    window.SetMax(4);
    window.RestartPending = false;
    window.SetDescription(QStringLiteral("second"));
    QCOMPARE(window.Position(), 2);
    window.StepIt();
    QCOMPARE(window.lblPercent->text(), QStringLiteral("75%"));
}

void TestProgressWindow::neverStepsPastMaximum()
{
    TF_Progresso window;
    window.SetMax(2);
    window.SetDescription(QStringLiteral("x"));
    for (int i = 0; i < 5; ++i)
        window.StepIt();
    QCOMPARE(window.Position(), 2);
    QCOMPARE(window.lblPercent->text(), QStringLiteral("100%"));
}

void TestProgressWindow::smallerMaximumPullsPositionDown()
{
    TF_Progresso window;
    window.SetMax(10);
    window.SetDescription(QStringLiteral("x"));
    for (int i = 0; i < 6; ++i)
        window.StepIt();
    window.SetMax(3);
    QCOMPARE(window.Position(), 3);
    QCOMPARE(window.pbProgress->value(), 3);
}

QTEST_MAIN(TestProgressWindow)
#include "tst_progress_window.moc"
