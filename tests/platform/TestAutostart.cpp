#include "platform/Autostart.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestAutostart : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void entryStartsTheProgram_data();
    void entryStartsTheProgram();
    void removeIsQuietForAbsentEntries();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAutostart::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
}

void TestAutostart::entryStartsTheProgram_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("execLine");
    QTest::newRow("plain") << QStringLiteral("/usr/bin/brelmont") << QStringLiteral("Exec=/usr/bin/brelmont");
    QTest::newRow("blank") << QStringLiteral("/opt/my apps/brelmont")
                           << QStringLiteral("Exec=\"/opt/my apps/brelmont\"");
    QTest::newRow("percent") << QStringLiteral("/opt/100%/brelmont")
                             << QStringLiteral("Exec=/opt/100%%/brelmont");
    // Inside quotes a backslash is doubled, then doubled again by the string escape.
    QTest::newRow("backslash and dollar") << QStringLiteral("/opt/a\\b$c/brelmont")
                                          << QStringLiteral("Exec=\"/opt/a\\\\\\\\b\\\\$c/brelmont\"");
    QTest::newRow("quote") << QStringLiteral("/opt/\"q\"/brelmont")
                           << QStringLiteral("Exec=\"/opt/\\\\\"q\\\\\"/brelmont\"");
}

void TestAutostart::entryStartsTheProgram()
{
    QFETCH(QString, program);
    QFETCH(QString, execLine);
    QVERIFY(Autostart::Set(QStringLiteral("Brelmont"), program));
    QCOMPARE(Autostart::EntryPath(QStringLiteral("Brelmont")),
             m_dir->filePath(QStringLiteral("autostart/Brelmont.desktop")));
    QFile file(Autostart::EntryPath(QStringLiteral("Brelmont")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
    QVERIFY(lines.contains(QStringLiteral("Type=Application")));
    QVERIFY2(lines.contains(execLine), qPrintable(lines.join(u'|')));
    QCOMPARE(Autostart::Command(QStringLiteral("Brelmont")), program);
}

void TestAutostart::removeIsQuietForAbsentEntries()
{
    QVERIFY(!Autostart::Exists(QStringLiteral("Brelmont")));
    QVERIFY(Autostart::Remove(QStringLiteral("Brelmont")));
    QVERIFY(Autostart::Set(QStringLiteral("Brelmont"), QStringLiteral("/usr/bin/brelmont")));
    QVERIFY(Autostart::Exists(QStringLiteral("Brelmont")));
    QVERIFY(Autostart::Remove(QStringLiteral("Brelmont")));
    QVERIFY(!Autostart::Exists(QStringLiteral("Brelmont")));
    QCOMPARE(Autostart::Command(QStringLiteral("Brelmont")), QString());
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "TestAutostart.moc"
