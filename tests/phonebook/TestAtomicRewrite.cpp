#include "phonebook/SQLiteDatabase.h"
#include "platform/Win1252.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {
constexpr int kContacts = 3000;
constexpr int kLists = 20;
constexpr int kMembers = 50;
constexpr int kKills = 30;

QStringList ChildArguments(const QString& file, int generation)
{
    return {file, QString::number(generation), QString::number(kContacts), QString::number(kLists),
            QString::number(kMembers)};
}

// The generation every row of the file carries; -1 (with a failed check) when rows disagree,
// rows are missing, or the file is damaged.
int GenerationOf(const QString& file)
{
    TSQLiteDatabase db(file);
    if (db.Query("PRAGMA integrity_check").FieldText(0) != "ok")
        return -1;
    if (db.Query("SELECT VERSION FROM QPB_DETAILS").FieldText(0) != "21")
        return -1;
    TSQLiteTable singles = db.Query("SELECT DISTINCT NUMBER FROM MainContacts WHERE CONTACT_TYPE = 'SINGLE'");
    if (singles.RowCount() != 1)
        return -1;
    const QByteArray generation = singles.FieldText(0);
    if (db.Query("SELECT ID FROM MainContacts").RowCount() != kContacts + kLists)
        return -1;
    for (int l = 0; l < kLists; ++l) {
        const QByteArray table = SqlIdentifier(QStringLiteral("list%1").arg(l));
        TSQLiteTable members = db.Query("SELECT NUMBER, count(*) FROM " + table + " GROUP BY NUMBER");
        if (members.RowCount() != 1 || members.FieldText(0) != generation || members.FieldInt64(1) != kMembers)
            return -1;
    }
    return generation.toInt();
}
} // namespace

// A rewrite killed at any moment leaves the previous content or the new content, whole.
class TestAtomicRewrite : public QObject
{
    Q_OBJECT

private slots:
    void killedRewriteLeavesOneWholeContent();
};

void TestAtomicRewrite::killedRewriteLeavesOneWholeContent()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pbook.qpb"));

    QElapsedTimer timer;
    QProcess child;
    child.start(QStringLiteral(REWRITE_CHILD), ChildArguments(file, 0));
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    child.start(QStringLiteral(REWRITE_CHILD), ChildArguments(file, 1));
    QVERIFY(child.waitForReadyRead(60000));
    timer.start();
    QVERIFY(child.waitForFinished(60000));
    const qint64 rewriteMs = std::max<qint64>(timer.elapsed(), 5);
    QCOMPARE(GenerationOf(file), 1);

    int previous = 1;
    int cutShort = 0;
    for (int round = 2; round < kKills + 2; ++round) {
        child.start(QStringLiteral(REWRITE_CHILD), ChildArguments(file, round));
        QVERIFY(child.waitForReadyRead(60000)); // "ready": the rewrite starts now
        QThread::msleep(QRandomGenerator::global()->bounded(quint32(rewriteMs)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(60000));
        const bool finished = child.readAllStandardOutput().contains("done");

        const int found = GenerationOf(file);
        QVERIFY2(found == previous || found == round,
                 qPrintable(QStringLiteral("round %1: found generation %2, expected %3 or %1")
                                .arg(round)
                                .arg(found)
                                .arg(previous)));
        if (!finished && found == previous)
            ++cutShort;
        previous = found;
    }
    qInfo("%d of %d rewrites were cut short", cutShort, kKills);
    QVERIFY2(cutShort > 0, "no kill landed inside a rewrite");
}

QTEST_GUILESS_MAIN(TestAtomicRewrite)
#include "TestAtomicRewrite.moc"
