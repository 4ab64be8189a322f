#include "i18n/Language.h"

#include <QtTest>

Q_DECLARE_METATYPE(LanguageGroup)

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void dispatch_data();
    void dispatch();
};

void TestLanguage::dispatch_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<LanguageGroup>("group");
    QTest::addColumn<QString>("applied"); // what ApplyText leaves in a field holding "before"

    QTest::newRow("ITA") << QStringLiteral("ITA") << LanguageGroup::Italian << QStringLiteral("Lingua");
    QTest::newRow("ENG") << QStringLiteral("ENG") << LanguageGroup::English << QStringLiteral("Language");
    QTest::newRow("POR") << QStringLiteral("POR") << LanguageGroup::Portuguese << QStringLiteral("Idioma");
    QTest::newRow("FRA shows English")
        << QStringLiteral("FRA") << LanguageGroup::English << QStringLiteral("Language");
    QTest::newRow("DEU shows English")
        << QStringLiteral("DEU") << LanguageGroup::English << QStringLiteral("Language");
    QTest::newRow("ESP shows English")
        << QStringLiteral("ESP") << LanguageGroup::English << QStringLiteral("Language");
    QTest::newRow("lower case") << QStringLiteral("ita") << LanguageGroup::None << QStringLiteral("before");
    QTest::newRow("mixed case") << QStringLiteral("Eng") << LanguageGroup::None << QStringLiteral("before");
    QTest::newRow("empty") << QString() << LanguageGroup::None << QStringLiteral("before");
    QTest::newRow("with blank") << QStringLiteral("ITA ") << LanguageGroup::None << QStringLiteral("before");
    QTest::newRow("other code") << QStringLiteral("NLD") << LanguageGroup::None << QStringLiteral("before");
}

void TestLanguage::dispatch()
{
    QFETCH(QString, code);
    QFETCH(LanguageGroup, group);
    QFETCH(QString, applied);

    QCOMPARE(LanguageGroupOf(code), group);
    const Tr text{"Lingua", "Language", "Idioma"};
    QString field = QStringLiteral("before");
    ApplyText(code, field, text);
    QCOMPARE(field, applied);
    QCOMPARE(PickText(code, text).has_value(), group != LanguageGroup::None);
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "TestLanguage.moc"
