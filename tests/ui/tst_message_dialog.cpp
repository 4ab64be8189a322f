#include "WidgetChecks.h"
#include "ui/dialogs/MessageDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {
// Acts on the modal dialog once its event loop runs.
void WhenModalShown(std::function<void(TF_Message*)> action)
{
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<TF_Message*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        action(dialog);
    });
}
} // namespace

class TestMessageDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void results_data();
    void results();
    void buttonSets_data();
    void buttonSets();
    void unknownButtonSetChangesNothing();
    void doNotShowMoreIsHiddenUntilOffered();
    void doNotShowMoreIsReadAfterShowText();
    void nextAnswersQueueUpWithoutShowing();
    void languageTexts_data();
    void languageTexts();
    void textIsPlainWithLineBreaks();
    void textsFitInEveryLanguage_data();
    void textsFitInEveryLanguage();
};

void TestMessageDialog::cleanup()
{
    TF_Message::ClearNextAnswers();
}

void TestMessageDialog::results_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("Ok set, OK") << TF_Message::ButtonsOk << QStringLiteral("BtnOk_1") << 1;
    QTest::newRow("Ok set, close box") << TF_Message::ButtonsOk << QStringLiteral("close") << 2;
    QTest::newRow("Ok set, Escape") << TF_Message::ButtonsOk << QStringLiteral("escape") << 2;
    QTest::newRow("OkCancel set, OK") << TF_Message::ButtonsOkCancel << QStringLiteral("BtnOk_2") << 1;
    QTest::newRow("OkCancel set, Cancel")
        << TF_Message::ButtonsOkCancel << QStringLiteral("BtnCancel_2") << 2;
    QTest::newRow("OkCancel set, close box") << TF_Message::ButtonsOkCancel << QStringLiteral("close") << 2;
    QTest::newRow("OkCancel set, Enter takes OK")
        << TF_Message::ButtonsOkCancel << QStringLiteral("enter") << 1;
}

void TestMessageDialog::results()
{
    QFETCH(int, buttons);
    QFETCH(QString, action);
    QFETCH(int, expected);

    QWidget owner;
    owner.setGeometry(100, 100, 300, 300);
    owner.show();
    TF_Message dialog(&owner, buttons, QStringLiteral("ENG"));
    bool acted = false;
    WhenModalShown([&](TF_Message* shown) {
        acted = true;
        QCOMPARE(shown, &dialog);
        if (action == u"close")
            shown->close();
        else if (action == u"escape")
            QTest::keyClick(shown, Qt::Key_Escape);
        else if (action == u"enter")
            QTest::keyClick(shown, Qt::Key_Return);
        else
            shown->findChild<QPushButton*>(action)->click();
    });
    QCOMPARE(dialog.ShowText(QStringLiteral("Title"), QStringLiteral("Body")), expected);
    QVERIFY(acted);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Title"));
    QCOMPARE(dialog.lblMessageText->text(), QStringLiteral("Body"));
}

void TestMessageDialog::buttonSets_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("single");
    QTest::newRow("ButtonsOk") << TF_Message::ButtonsOk << true;
    QTest::newRow("ButtonsOkCancel") << TF_Message::ButtonsOkCancel << false;
}

void TestMessageDialog::buttonSets()
{
    QFETCH(int, buttons);
    QFETCH(bool, single);
    TF_Message dialog(nullptr, buttons, QStringLiteral("ITA"));
    QCOMPARE(dialog.BtnOk_1->isVisibleTo(&dialog), single);
    QCOMPARE(dialog.BtnOk_2->isVisibleTo(&dialog), !single);
    QCOMPARE(dialog.BtnCancel_2->isVisibleTo(&dialog), !single);
}

void TestMessageDialog::unknownButtonSetChangesNothing()
{
    TF_Message dialog(nullptr, TF_Message::ButtonsOkCancel, QStringLiteral("ITA"));
    dialog.SetButtons(7);
    QVERIFY(!dialog.BtnOk_1->isVisibleTo(&dialog));
    QVERIFY(dialog.BtnCancel_2->isVisibleTo(&dialog));
}

void TestMessageDialog::doNotShowMoreIsHiddenUntilOffered()
{
    TF_Message dialog(nullptr, TF_Message::ButtonsOk, QStringLiteral("ITA"));
    QVERIFY(!dialog.cbDoNotShowMore->isVisibleTo(&dialog));
    QVERIFY(!dialog.cbDoNotShowMore->isChecked());
}

void TestMessageDialog::doNotShowMoreIsReadAfterShowText()
{
    TF_Message dialog(nullptr, TF_Message::ButtonsOk, QStringLiteral("ITA"));
    dialog.cbDoNotShowMore->show();
    WhenModalShown([](TF_Message* shown) {
        QVERIFY(shown->cbDoNotShowMore->isVisible());
        // The offered box must not be cut off by the fixed size.
        QVERIFY(shown->rect().contains(shown->cbDoNotShowMore->geometry()));
        shown->cbDoNotShowMore->click();
        shown->BtnOk_1->click();
    });
    QCOMPARE(dialog.ShowText(QStringLiteral("t"), QStringLiteral("x")), 1);
    QVERIFY(dialog.cbDoNotShowMore->isChecked());
}

void TestMessageDialog::nextAnswersQueueUpWithoutShowing()
{
    TF_Message::SetNextAnswer(2);
    TF_Message::SetNextAnswer(1, true);
    TF_Message first(nullptr, TF_Message::ButtonsOkCancel, QStringLiteral("ITA"));
    QCOMPARE(first.ShowText(QStringLiteral("Q1"), QStringLiteral("first?")), 2);
    QVERIFY(!first.isVisible());
    QVERIFY(!first.cbDoNotShowMore->isChecked());
    TF_Message second(nullptr, TF_Message::ButtonsOkCancel, QStringLiteral("ITA"));
    QCOMPARE(second.ShowText(QStringLiteral("Q2"), QStringLiteral("second?")), 1);
    QVERIFY(second.cbDoNotShowMore->isChecked());
    QCOMPARE(TF_Message::LastCaption(), QStringLiteral("Q2"));
    QCOMPARE(TF_Message::LastText(), QStringLiteral("second?"));
}

void TestMessageDialog::textIsPlainWithLineBreaks()
{
    TF_Message dialog(nullptr, TF_Message::ButtonsOk, QStringLiteral("ITA"));
    TF_Message::SetNextAnswer(1);
    dialog.ShowText(QStringLiteral("t"), QStringLiteral("Contact <b>Rossi</b>\r\nsecond line"));
    QCOMPARE(dialog.lblMessageText->text(), QStringLiteral("Contact <b>Rossi</b>\nsecond line"));
    QCOMPARE(dialog.lblMessageText->textFormat(), Qt::PlainText);
    QCOMPARE(TF_Message::LastText(), QStringLiteral("Contact <b>Rossi</b>\r\nsecond line"));
}

void TestMessageDialog::languageTexts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("box");
    const QString ita = QStringLiteral("Non mostrare più questo messaggio.");
    const QString eng = QStringLiteral("Don't show this message any more.");
    QTest::newRow("ITA") << QStringLiteral("ITA") << QStringLiteral("Annulla") << ita;
    QTest::newRow("ENG") << QStringLiteral("ENG") << QStringLiteral("Cancel") << eng;
    QTest::newRow("DEU shows English") << QStringLiteral("DEU") << QStringLiteral("Cancel") << eng;
    QTest::newRow("POR") << QStringLiteral("POR") << QStringLiteral("Anula")
                         << QStringLiteral("Não mostrar esta mensagem mais nenhuma.");
    QTest::newRow("lower case keeps layout texts")
        << QStringLiteral("eng") << QStringLiteral("Annulla") << ita;
    QTest::newRow("empty keeps layout texts") << QString() << QStringLiteral("Annulla") << ita;
}

void TestMessageDialog::languageTexts()
{
    QFETCH(QString, code);
    QFETCH(QString, cancel);
    QFETCH(QString, box);
    TF_Message dialog(nullptr, TF_Message::ButtonsOkCancel, code);
    QCOMPARE(dialog.BtnCancel_2->text(), cancel);
    QCOMPARE(dialog.cbDoNotShowMore->text(), box);
    QCOMPARE(dialog.BtnOk_1->text(), QStringLiteral("Ok"));
    QCOMPARE(dialog.BtnOk_2->text(), QStringLiteral("Ok"));
}

void TestMessageDialog::textsFitInEveryLanguage_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("buttons");
    for (const char* code : {"ITA", "ENG", "POR"}) {
        QTest::addRow("%s, Ok", code) << QString::fromLatin1(code) << TF_Message::ButtonsOk;
        QTest::addRow("%s, Ok and Cancel", code) << QString::fromLatin1(code) << TF_Message::ButtonsOkCancel;
    }
}

void TestMessageDialog::textsFitInEveryLanguage()
{
    QFETCH(QString, code);
    QFETCH(int, buttons);
    TF_Message dialog(nullptr, buttons, code);
    dialog.cbDoNotShowMore->show();
    QStringList cut{QStringLiteral("not shown")};
    WhenModalShown([&cut](TF_Message* shown) {
        cut = CutControls(shown);
        shown->close();
    });
    dialog.ShowText(
        QStringLiteral("Brelmont"),
        QStringLiteral("A long message that has to wrap over several lines of the dialog, because it "
                       "explains what will happen next and asks whether to go on with it."));
    QCOMPARE(cut, QStringList());
}

QTEST_MAIN(TestMessageDialog)
#include "tst_message_dialog.moc"
