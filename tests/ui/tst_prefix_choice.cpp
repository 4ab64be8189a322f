#include "compose/CountryTable.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/CountrySelector.h"
#include "ui/dialogs/MissingPrefixDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

class TestPrefixChoice : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void selectorHoldsTheTableInOrder();
    void rememberedCountry_data();
    void rememberedCountry();
    void countryOfNumber_data();
    void countryOfNumber();
    void keyboardStepsApplyOnLeaving();
    void popupChoiceAppliesByUser();
    void missingPrefixAnswer_data();
    void missingPrefixAnswer();
    void okFollowsTheSelection();
};

void TestPrefixChoice::cleanup()
{
    TF_PrefissoMancante::ClearNextAnswers();
}

void TestPrefixChoice::selectorHoldsTheTableInOrder()
{
    TCountrySelector selector;
    QCOMPARE(selector.count(), 237);
    QCOMPARE(selector.SelectedRow(), -1);
    QCOMPARE(selector.itemText(0), QStringLiteral("Aruba"));
    QCOMPARE(selector.itemText(103), QStringLiteral("Italy"));
    QCOMPARE(selector.itemText(236), QStringLiteral("Zimbabwe"));
}

void TestPrefixChoice::rememberedCountry_data()
{
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("exact") << QStringLiteral("Italy") << 103 << QStringLiteral("+39");
    QTest::newRow("letter case ignored") << QStringLiteral("SAN MARINO") << 182 << QStringLiteral("+39");
    QTest::newRow("bare plus") << QStringLiteral("Western Sahara") << 232 << QStringLiteral("+");
    QTest::newRow("nothing remembered") << QString() << -1 << QString();
    QTest::newRow("unknown name") << QStringLiteral("Atlantis") << -1 << QString();
}

void TestPrefixChoice::rememberedCountry()
{
    QFETCH(QString, remembered);
    QFETCH(int, row);
    QFETCH(QString, prefix);
    TCountrySelector selector;
    QSignalSpy applied(&selector, &TCountrySelector::countryApplied);
    QCOMPARE(selector.SelectRemembered(remembered), row >= 0);
    QCOMPARE(selector.SelectedRow(), row);
    QCOMPARE(selector.SelectedPrefix(), prefix);
    QCOMPARE(applied.size(), row >= 0 ? 1 : 0);
    if (row >= 0) {
        QCOMPARE(applied[0][0].toInt(), row);
        QCOMPARE(applied[0][1].toString(), CountryName(row));
        QCOMPARE(applied[0][3].toBool(), false);
    }
}

void TestPrefixChoice::countryOfNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("rest");
    QTest::newRow("five characters win")
        << QStringLiteral("+12645551234") << QStringLiteral("Anguilla") << QStringLiteral("5551234");
    QTest::newRow("top row of +1") << QStringLiteral("+15551234") << QStringLiteral("Canada")
                                   << QStringLiteral("5551234");
    QTest::newRow("Italy before San Marino")
        << QStringLiteral("+393331234567") << QStringLiteral("Italy") << QStringLiteral("3331234567");
    QTest::newRow("no prefix") << QStringLiteral("3331234567") << QString() << QStringLiteral("3331234567");
}

void TestPrefixChoice::countryOfNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, country);
    QFETCH(QString, rest);
    TCountrySelector selector;
    selector.SelectRow(5);
    QSignalSpy applied(&selector, &TCountrySelector::countryApplied);
    QCOMPARE(selector.SelectCountryOfNumber(number), rest);
    QCOMPARE(selector.SelectedName(), country);
    QCOMPARE(applied.size(), 1);
    QCOMPARE(applied[0][1].toString(), country);
}

void TestPrefixChoice::keyboardStepsApplyOnLeaving()
{
    QWidget window;
    auto* selector = new TCountrySelector(&window);
    auto* other = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(selector);
    layout->addWidget(other);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    selector->setFocus();
    QTRY_VERIFY(selector->hasFocus());
    QSignalSpy applied(selector, &TCountrySelector::countryApplied);
    QTest::keyClick(selector, Qt::Key_Down);
    QTest::keyClick(selector, Qt::Key_Down);
    QCOMPARE(selector->SelectedRow(), 1);
    QCOMPARE(applied.size(), 0);
    other->setFocus();
    QTRY_COMPARE(applied.size(), 1);
    QCOMPARE(applied[0][2].toString(), QStringLiteral("+93"));
    QCOMPARE(applied[0][3].toBool(), false);
    // Leaving again without a change applies nothing more.
    selector->setFocus();
    other->setFocus();
    QTest::qWait(20);
    QCOMPARE(applied.size(), 1);
}

void TestPrefixChoice::popupChoiceAppliesByUser()
{
    TCountrySelector selector;
    selector.show();
    QSignalSpy applied(&selector, &TCountrySelector::countryApplied);
    selector.showPopup();
    selector.setCurrentIndex(72);
    selector.hidePopup();
    QTRY_COMPARE(applied.size(), 1);
    QCOMPARE(applied[0][1].toString(), QStringLiteral("France"));
    QCOMPARE(applied[0][3].toBool(), true);
    // Closing the drop-down on the same country changes nothing.
    selector.showPopup();
    selector.hidePopup();
    QTest::qWait(20);
    QCOMPARE(applied.size(), 1);
}

void TestPrefixChoice::missingPrefixAnswer_data()
{
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("prefix"); // "-": no prefix (cancelled)
    QTest::addColumn<QString>("stored"); // LastIntPrefix read back from the registry
    QTest::newRow("remembered country")
        << QStringLiteral("Spain") << 1 << QString() << QStringLiteral("+34") << QStringLiteral("Spain");
    QTest::newRow("picked country") << QStringLiteral("Spain") << 1 << QStringLiteral("united kingdom")
                                    << QStringLiteral("+44") << QStringLiteral("United Kingdom");
    QTest::newRow("cancel keeps the pick")
        << QString() << 0 << QStringLiteral("Italy") << QStringLiteral("-") << QStringLiteral("Italy");
    QTest::newRow("no country cannot be confirmed")
        << QString() << 1 << QString() << QStringLiteral("-") << QString();
}

void TestPrefixChoice::missingPrefixAnswer()
{
    QFETCH(QString, remembered);
    QFETCH(int, result);
    QFETCH(QString, picked);
    QFETCH(QString, prefix);
    QFETCH(QString, stored);
    QTemporaryDir dir;
    const QString registry = dir.filePath(QStringLiteral("registry.reg"));
    {
        TSettingsHolder settings(registry);
        settings.SetLastIntPrefix(remembered);
        QVERIFY(settings.SaveSettings());
        TF_PrefissoMancante::SetNextAnswer(result, picked);
        const std::optional<QString> answer =
            TF_PrefissoMancante::Ask(nullptr, QStringLiteral("ENG"), settings);
        QCOMPARE(answer.value_or(QStringLiteral("-")), prefix);
        QCOMPARE(TF_PrefissoMancante::PendingAnswers(), 0);
    }
    TSettingsHolder reread(registry);
    reread.LoadSettings(false);
    QCOMPARE(reread.GetLastIntPrefix(), stored);
}

void TestPrefixChoice::okFollowsTheSelection()
{
    TF_PrefissoMancante dialog(QStringLiteral("ITA"), QStringLiteral("Atlantis"));
    QVERIFY(!dialog.BtnOk->isEnabled());
    QCOMPARE(dialog.Prefix(), QString());
    dialog.ComboNazione->SelectRow(43);
    QVERIFY(dialog.BtnOk->isEnabled());
    QCOMPARE(dialog.Prefix(), QStringLiteral("+86"));
    dialog.ComboNazione->SelectRow(-1);
    QVERIFY(!dialog.BtnOk->isEnabled());
}

QTEST_MAIN(TestPrefixChoice)
#include "tst_prefix_choice.moc"
