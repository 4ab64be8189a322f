#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void userDataFolderIsCreated();
    void programFacts();
};

void TestPaths::userDataFolderIsCreated()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data/"))));
    const QString folder = UserDataFolder();
    QCOMPARE(folder, dir.filePath(QStringLiteral("data/Brelmont")));
    QVERIFY(QDir(folder).exists());
}

void TestPaths::programFacts()
{
    QCOMPARE(GetProgramVersion(), QStringLiteral("2.0.0.1"));
    QCOMPARE(QFileInfo(ExecutablePath()).fileName(), QStringLiteral("test_paths"));
    QCOMPARE(ExecutableFolder(), QFileInfo(ExecutablePath()).absolutePath());
}

QTEST_GUILESS_MAIN(TestPaths)
#include "TestPaths.moc"
