#include "MainWindowFixture.h"
#include "platform/OleDate.h"
#include "platform/SystemFacts.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/ScheduleDialog.h"
#include "ui/main/MessagePanel.h"
#include "ui/main/RecipientsPanel.h"
#include "ui/main/SendControls.h"
#include "ui/main/StatusBar.h"
#include "ui/main/TopPanel.h"

#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

// The message box, the send controls and the send flow of the main window, by flow.
class TestSendFlow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void unicodeWarningOnceAndStored();
    void checksInOrder_data();
    void checksInOrder();
    void mediumQuality_data();
    void mediumQuality();
    void schedule_data();
    void schedule();
    void altS_data();
    void altS();
    void sentStateAndBack_data();
    void sentStateAndBack();
    void refusedSendKeepsComposition();

private:
    TMessagePanel* Panel() const { return f->main->MessagePanel(); }
    TSendControls* Controls() const { return Panel()->SendControls(); }
    const TComposeTexts& Texts() const { return Panel()->Texts(); }
    bool LightRed() const
    {
        return Panel()->TNTMemoMessage->palette().color(QPalette::Base) == TMessagePanel::LightRed();
    }
    // Recipients +393330000000, +393330000001, ..., and some numbers twice.
    void Compose(const QString& text, int recipients, int duplicates = 0);
    // Forgets the last message dialog, so a test can tell whether another one came.
    static void ForgetLastMessage();

    std::unique_ptr<TMainWindowFixture> f;
    const QDateTime m_now{QDate(2024, 5, 6), QTime(10, 0, 30)};
};

void TestSendFlow::init()
{
    f = std::make_unique<TMainWindowFixture>();
    f->Create();
    f->settings->SetWarningUnicode(false); // the warning has a test of its own
    SystemFacts::OverrideNow(m_now);
    ForgetLastMessage();
}

void TestSendFlow::cleanup()
{
    f.reset();
    TF_Message::ClearNextAnswers();
    DialogTestHook::AnswerAtOnce(false);
    DialogTestHook::ClearExecutedDialogs();
    SystemFacts::OverrideNow(std::nullopt);
}

void TestSendFlow::Compose(const QString& text, int recipients, int duplicates)
{
    QStringList numbers;
    for (int i = 0; i < recipients + duplicates; ++i)
        numbers.append(QStringLiteral("+39333%1").arg(i % qMax(1, recipients), 7, 10, QLatin1Char('0')));
    emit f->main->RecipientsPanel()->destinationsChanged(BuildDestinations(numbers, {}, {}));
    Panel()->TNTMemoMessage->setPlainText(text);
}

void TestSendFlow::ForgetLastMessage()
{
    TF_Message::SetNextAnswer(TF_Message::ResultOk);
    TF_Message(nullptr, TF_Message::ButtonsOk, {}).ShowText(QStringLiteral("-"), QStringLiteral("-"));
}

void TestSendFlow::unicodeWarningOnceAndStored()
{
    f->settings->SetWarningUnicode(true);
    TF_Message::SetNextAnswer(TF_Message::ResultOk, true); // do not show again
    Compose(QStringLiteral("Ciá"), 0);
    QCOMPARE(TF_Message::LastText(), Texts().UnicodeWarning);
    TSettingsHolder stored(f->RegistryPath());
    stored.LoadSettings(false);
    QVERIFY(!stored.GetWarningUnicode());
}

void TestSendFlow::checksInOrder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("recipients");
    QTest::addColumn<bool>("warnManySms");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message"); // "text", "recipients", "total", "multipart" or none
    QTest::addColumn<int>("sends");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<int>("totalSms");
    const QString a700(700, u'a'), a200(200, u'a'), unicode40(40, u'á');
    QTest::newRow("no text, nobody") << QString() << 0 << true << 1 << "text" << 0 << "0/160" << 0;
    QTest::newRow("blanks only") << " \n\t " << 2 << true << 1 << "text" << 0 << "(Unicode) 5/70" << 2;
    QTest::newRow("text, nobody") << "Ciao" << 0 << true << 1 << "recipients" << 0 << "4/160" << 0;
    QTest::newRow("700 characters") << a700 << 2 << true << 1 << QString() << 0 << "700/612" << 8;
    QTest::newRow("5 x 1 part") << "Ciao" << 5 << true << 0 << QString() << 1 << "4/160" << 5;
    QTest::newRow("6 x 1 part") << "Ciao" << 6 << true << 1 << "total" << 1 << "4/160" << 6;
    QTest::newRow("3 x 2 parts") << a200 << 3 << true << 1 << "multipart" << 1 << "200/306" << 6;
    QTest::newRow("40 Unicode to 10")
        << unicode40 << 10 << true << 1 << "total" << 1 << "(Unicode) 40/70" << 10;
    QTest::newRow("declined") << "Ciao" << 6 << true << 2 << "total" << 0 << "4/160" << 6;
    QTest::newRow("warning turned off") << "Ciao" << 6 << false << 0 << QString() << 1 << "4/160" << 6;
}

void TestSendFlow::checksInOrder()
{
    QFETCH(QString, text);
    QFETCH(int, recipients);
    QFETCH(bool, warnManySms);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(int, sends);
    QFETCH(QString, counter);
    QFETCH(int, totalSms);
    f->main->show();
    QVERIFY(QTest::qWaitForWindowActive(f->main.get()));
    f->settings->SetWarningManySMS(warnManySms);
    Compose(text, recipients);
    QCOMPARE(Panel()->lblNChars->text(), counter);
    QCOMPARE(Controls()->BtnInviaSMS->text(),
             Texts().SendCaption + (totalSms ? QStringLiteral(" %1 sms").arg(totalSms) : QString()));
    QCOMPARE(f->main->StatusBar()->Panel1Text(), text.size() > 612 ? Texts().TooLong : QString());
    Controls()->rbAnonimo->setFocus();
    TF_Message::SetNextAnswer(answer);
    Controls()->BtnInviaSMS->click();
    QCOMPARE(f->gateway.sends, sends);
    QString shown = message == u"text"         ? Texts().NoText
                    : message == u"recipients" ? Texts().NoRecipients
                    : message == u"multipart"  ? Texts().ConfirmMultipart
                    : message == u"total"      ? Texts().ConfirmTotal
                                               : QStringLiteral("-");
    QCOMPARE(TF_Message::LastText(), shown.replace(QStringLiteral("%d"), QString::number(totalSms)));
    // Refused for its text: the focus goes there, and an empty one stays light red, activation or not.
    QCOMPARE(QApplication::focusWidget() == Panel()->TNTMemoMessage, message == u"text" || text.size() > 612);
    f->main->FormActivate();
    QCOMPARE(LightRed(), message == u"text" || text.size() > 612);
    QCOMPARE(f->gateway.last.Unicode, sends > 0 && text.startsWith(u'á'));
    QCOMPARE(f->main->TimerInvioInCorso->isActive(), sends > 0);
}

void TestSendFlow::mediumQuality_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("cancelled") << 2 << false;
    QTest::newRow("ok") << 1 << false;
    QTest::newRow("ok, do not show again") << 1 << true;
}

void TestSendFlow::mediumQuality()
{
    QFETCH(int, answer);
    QFETCH(bool, ticked);
    TF_Message::SetNextAnswer(answer, ticked);
    Controls()->rbMQ->click();
    QCOMPARE(TF_Message::LastText(), Texts().MediumNotice);
    QCOMPARE(Controls()->rbMQ->isChecked(), answer == 1);
    QCOMPARE(Controls()->rbMittente->isEnabled(), answer != 1);
    QCOMPARE(Controls()->rbAnonimo->isEnabled(), answer != 1);
    TSettingsHolder stored(f->RegistryPath());
    stored.LoadSettings(false);
    QCOMPARE(stored.GetWarningMediumQuality(), !ticked);
}

void TestSendFlow::schedule_data()
{
    QTest::addColumn<int>("answer");  // of the schedule dialog; 0: the time is set without it
    QTest::addColumn<int>("seconds"); // the time chosen before, from now
    QTest::addColumn<int>("timeZone");
    QTest::addColumn<QString>("hint"); // empty: immediate delivery
    QTest::addColumn<QDateTime>("sent");
    const QDate today = m_now.date(), tomorrow = today.addDays(1);
    const int tomorrowAtTen = 86400 - 30;
    const QString todayHint = QStringLiteral("06/05/2024 10:00"),
                  tomorrowHint = QStringLiteral("07/05/2024 10:00");
    QTest::newRow("5 minutes ago") << 0 << -300 << 1 << QString() << QDateTime();
    QTest::newRow("30 seconds ago") << 0 << -30 << 1 << todayHint << QDateTime(today, QTime(10, 0));
    QTest::newRow("GMT") << 0 << tomorrowAtTen << 0 << tomorrowHint << QDateTime(tomorrow, QTime(11, 0));
    QTest::newRow("GMT +2") << 0 << tomorrowAtTen << 2 << tomorrowHint << QDateTime(tomorrow, QTime(9, 0));
    QTest::newRow("GMT -5") << 0 << tomorrowAtTen << -5 << tomorrowHint << QDateTime(tomorrow, QTime(16, 0));
    QTest::newRow("GMT +12, day before")
        << 0 << tomorrowAtTen << 12 << tomorrowHint << QDateTime(today, QTime(23, 0));
    QTest::newRow("dialog ok: now, whole minutes")
        << TF_Ritardo::ResultOk << 0 << 1 << todayHint << QDateTime(today, QTime(10, 0));
    QTest::newRow("dialog no delay") << TF_Ritardo::ResultImmediate << tomorrowAtTen << 1 << QString()
                                     << QDateTime();
    QTest::newRow("dialog cancel keeps earlier") << TF_Ritardo::ResultCancel << tomorrowAtTen << 1
                                                 << tomorrowHint << QDateTime(tomorrow, QTime(10, 0));
    QTest::newRow("dialog cancel, none earlier")
        << TF_Ritardo::ResultCancel << 0 << 1 << QString() << QDateTime();
}

void TestSendFlow::schedule()
{
    QFETCH(int, answer);
    QFETCH(int, seconds);
    QFETCH(int, timeZone);
    QFETCH(QString, hint);
    QFETCH(QDateTime, sent);
    f->settings->SetTimeZone(timeZone);
    Controls()->rbProgrammato->setChecked(answer == 0);
    if (seconds != 0)
        Controls()->SetSchedule(DateTimeToDays(m_now.addSecs(seconds)));
    if (answer != 0) {
        DialogTestHook::AnswerAtOnce(true, answer);
        Controls()->rbProgrammato->click();
        QCOMPARE(DialogTestHook::ExecutedDialogs(), QStringList{QStringLiteral("TF_Ritardo")});
    }
    QCOMPARE(Controls()->rbProgrammato->isChecked(), !hint.isEmpty());
    QCOMPARE(Controls()->rbProgrammato->toolTip(),
             hint.isEmpty() ? QString() : Texts().ScheduledPrefix + hint);
    Compose(QStringLiteral("Ciao"), 1);
    Controls()->BtnInviaSMS->click();
    QCOMPARE(f->gateway.last.Schedule == 0 ? QDateTime() : DaysToDateTime(f->gateway.last.Schedule), sent);
}

void TestSendFlow::altS_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("state"); // composing, sent, disabled
    QTest::newRow("Alt+S") << int(Qt::AltModifier) << "composing";
    QTest::newRow("Ctrl+S") << int(Qt::ControlModifier) << "composing";
    QTest::newRow("Alt+Shift+S") << int(Qt::AltModifier | Qt::ShiftModifier) << "composing";
    QTest::newRow("Alt+S on a sent message") << int(Qt::AltModifier) << "sent";
    QTest::newRow("Alt+S, window disabled") << int(Qt::AltModifier) << "disabled";
}

void TestSendFlow::altS()
{
    QFETCH(int, modifiers);
    QFETCH(QString, state);
    f->main->show();
    QVERIFY(QTest::qWaitForWindowActive(f->main.get()));
    Compose(QStringLiteral("Ciao"), 1);
    if (state == u"sent")
        emit f->gateway.sendAccepted(QStringLiteral("sent"), 1000);
    Panel()->setEnabled(state != u"disabled");
    QTest::keyClick(Panel()->TNTMemoMessage, Qt::Key_S, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f->gateway.sends, modifiers == Qt::AltModifier && state == u"composing" ? 1 : 0);
}

void TestSendFlow::sentStateAndBack_data()
{
    QTest::addColumn<bool>("close");
    QTest::newRow("continue") << false;
    QTest::newRow("close") << true;
}

void TestSendFlow::sentStateAndBack()
{
    QFETCH(bool, close);
    f->main->show();
    Compose(QStringLiteral("Ciao €"), 3);
    Controls()->rbAnonimo->click();
    Controls()->SetSchedule(DateTimeToDays(m_now.addDays(1)));
    Controls()->rbProgrammato->setChecked(true);
    Controls()->BtnInviaSMS->click();
    QCOMPARE(f->gateway.last.Text, QByteArray("Ciao \x80"));
    QVERIFY(f->gateway.last.Anonymous && f->gateway.last.Quality == 0 && f->gateway.last.Schedule > 0);
    f->main->TopPanel()->ShowNotice(0, QStringLiteral("credit"), QStringLiteral("FrCredit"));
    emit f->gateway.sendAccepted(QStringLiteral("Message sent"), 1000);

    QCOMPARE(Controls()->lblStatus->text(), QStringLiteral("Message sent"));
    QVERIFY(Controls()->BtnInviaSMS->isHidden() && !Controls()->BtnChiudi->isHidden() &&
            Controls()->pnSender->isHidden());
    QVERIFY(Controls()->rbMittente->isChecked() && Controls()->rbImmediato->isChecked());
    QCOMPARE(Panel()->TNTMemoMessage->palette().color(QPalette::Text), TMessagePanel::LockedText());
    QVERIFY(Panel()->TNTMemoMessage->isReadOnly() && !f->main->RecipientsPanel()->isEnabled() &&
            !f->main->menuBar()->isEnabled());

    (close ? Controls()->BtnChiudi : Controls()->BtnContinua)->click();
    QVERIFY(!Panel()->IsSentState() && !Controls()->BtnInviaSMS->isHidden() &&
            !Panel()->TNTMemoMessage->isReadOnly());
    QCOMPARE(Panel()->TNTMemoMessage->toPlainText(), QString());
    QCOMPARE(Controls()->BtnInviaSMS->text(), Texts().SendCaption); // no recipients left
    QVERIFY(f->main->RecipientsPanel()->isEnabled() && f->main->menuBar()->isEnabled());
    QCOMPARE(f->main->TopPanel()->NoticeCount(), 0);
    QCOMPARE(f->Tray().HiddenInTray, close);
}

void TestSendFlow::refusedSendKeepsComposition()
{
    Compose(QStringLiteral("Ciao"), 2);
    Controls()->BtnInviaSMS->click();
    QVERIFY(f->main->TimerInvioInCorso->isActive());
    emit f->gateway.sendRefused(20, QStringLiteral("Message not sent"));
    QVERIFY(!f->main->TimerInvioInCorso->isActive());
    QCOMPARE(f->main->StatusBar()->Panel2Text(), QStringLiteral("Message not sent"));
    QVERIFY(!Panel()->IsSentState() && !Panel()->TNTMemoMessage->isReadOnly());
    QCOMPARE(Panel()->TNTMemoMessage->toPlainText(), QStringLiteral("Ciao"));
    QCOMPARE(Panel()->Destinations().UniqueRecipients, 2);
    // A submission that cannot even start says so instead of animating for ever.
    f->gateway.sendStarts = false;
    Controls()->BtnInviaSMS->click();
    QVERIFY(!f->main->TimerInvioInCorso->isActive());
    QVERIFY(!f->main->StatusBar()->Panel2Text().isEmpty());
}

QTEST_MAIN(TestSendFlow)
#include "tst_send_flow.moc"
