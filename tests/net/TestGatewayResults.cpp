#include "NetTestSupport.h"
#include "net/GatewayResultView.h"
#include "net/GatewayResults.h"
#include "net/SMSServer.h"
#include "net/SoundPlayer.h"
#include "net/TcpClient.h"
#include "settings/GlobalTexts.h"
#include "settings/SettingsHolder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Records what the results did to the main window.
class FakeView : public IGatewayResultView
{
public:
    void ShowCreditNotice(const QString& text) override { notices.append(text); }
    void SetCredit(qint64 thousandths) override { credit = thousandths; }
    void SetConnectionState(bool error) override { connectionError = error; }
    void Relayout() override { ++relayouts; }
    bool IsWindowStateNormal() const override { return normal; }
    void StopSendingAnimation() override { ++animationStops; }
    void SetStatusText(const QString& text) override { status = text; }
    void StartStatusClearTimer() override { ++clearTimers; }
    void EnterSentState(const QString& text) override { sentText = text; }
    void ShowTestAccountNotice() override { ++testNotices; }

    bool normal = true;
    QStringList notices;
    qint64 credit = -100;
    std::optional<bool> connectionError;
    int relayouts = 0;
    int animationStops = 0;
    QString status = QStringLiteral("untouched");
    int clearTimers = 0;
    QString sentText;
    int testNotices = 0;
};

class CountingSounds : public ISoundPlayer
{
public:
    void Play(Sound sound) override { (sound == Sound::SmsOk ? ok : error)++; }
    int ok = 0;
    int error = 0;
};
} // namespace

// Send and credit results against a fake main window.
class TestGatewayResults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TSettingsHolder> m_settings;
    std::unique_ptr<TGlobalTexts> m_texts;
    std::unique_ptr<FakeView> m_view;
    std::unique_ptr<CountingSounds> m_sounds;
    std::unique_ptr<TGatewayResults> m_results;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString registry = m_dir->filePath(QStringLiteral("registry.reg"));
        m_settings = std::make_unique<TSettingsHolder>(registry);
        m_settings->LoadSettings(false);
        // Nothing listens on the gateway ports: sessions started here never reach anything.
        m_settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayHost"),
                                     RegValue::String(QStringLiteral("127.0.0.1")));
        m_settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayPort"),
                                     RegValue::Dword(ClosedLoopbackPort()));
        m_settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayFallbackPort"),
                                     RegValue::Dword(ClosedLoopbackPort()));
        m_settings->LoadSettings(false);
        m_settings->SetUserName(QStringLiteral("mario"));
        m_settings->SetPassword(QStringLiteral("secret"));
        m_settings->SetSender(QStringLiteral("Mario"));
        m_texts = std::make_unique<TGlobalTexts>();
        m_texts->ApplyLanguage(QStringLiteral("ENG"));
        m_view = std::make_unique<FakeView>();
        m_sounds = std::make_unique<CountingSounds>();
        m_results = std::make_unique<TGatewayResults>(*m_settings, *m_texts, *m_view, m_sounds.get());
        m_results->SetLocale(QLocale(QLocale::Italian, QLocale::Italy));
    }
    void cleanup()
    {
        m_results.reset();
        m_settings.reset();
        m_dir.reset();
    }

    void creditText_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qint64>("credit");
        QTest::addColumn<QString>("text");
        const QLocale comma(QLocale::Italian, QLocale::Italy);
        const QLocale point(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("comma") << "ITA" << comma << qint64(12340) << QStringLiteral("Credito: \u20AC 12,34");
        QTest::newRow("zero") << "ITA" << comma << qint64(0) << QStringLiteral("Credito: \u20AC 0,00");
        QTest::newRow("no grouping") << "ENG" << point << qint64(1234567)
                                     << QStringLiteral("Credits: \u20AC 1234.57");
        QTest::newRow("rounded half up")
            << "ENG" << point << qint64(5) << QStringLiteral("Credits: \u20AC 0.01");
        QTest::newRow("below a cent")
            << "ENG" << point << qint64(4) << QStringLiteral("Credits: \u20AC 0.00");
        QTest::newRow("negative") << "POR" << comma << qint64(-1500)
                                  << QStringLiteral("Credito: \u20AC -1,50");
    }
    void creditText()
    {
        QFETCH(QString, language);
        QFETCH(QLocale, locale);
        QFETCH(qint64, credit);
        QFETCH(QString, text);
        m_texts->ApplyLanguage(language);
        m_results->SetLocale(locale);
        QCOMPARE(m_results->CreditText(credit), text);
    }

    void creditShownWhenAsked()
    {
        m_texts->ApplyLanguage(QStringLiteral("ITA"));
        QSignalSpy finished(m_results.get(), &TGatewayResults::creditFinished);
        m_results->SMSLogin(nullptr, 12340, -1, 1);
        QCOMPARE(m_view->notices, QStringList{QStringLiteral("Credito: \u20AC 12,34")});
        QCOMPARE(m_view->credit, qint64(12340));
        QCOMPARE(m_view->connectionError, std::optional<bool>(false));
        QCOMPARE(m_view->relayouts, 1);
        QVERIFY(m_results->IsCreditReleasePending());
        QCOMPARE(finished.size(), 1);
    }

    void silentQueryShowsNoNotice()
    {
        m_results->SMSLogin(nullptr, 500, -1, 0);
        QVERIFY(m_view->notices.isEmpty());
        QCOMPARE(m_view->credit, qint64(500));
    }

    void demoAccountShowsNoNotice_data()
    {
        QTest::addColumn<QString>("user");
        QTest::newRow("empty field") << QString();
        QTest::newRow("upper case") << TSettingsHolder::DemoUserName().toUpper();
    }
    void demoAccountShowsNoNotice()
    {
        QFETCH(QString, user);
        m_settings->SetUserName(user);
        m_results->SMSLogin(nullptr, 500, -1, 1);
        QVERIFY(m_view->notices.isEmpty());
        QCOMPARE(m_view->credit, qint64(500));
    }

    void failedQueryTexts_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("refused login") << 0 << QStringLiteral("UserID/Password syntax error.");
        QTest::newRow("10013") << 10013 << QStringLiteral("Not Connected, check antivirus/firewall.");
        QTest::newRow("10051") << 10051 << QStringLiteral("Not Connected, check internet/firewall.");
        QTest::newRow("10060") << 10060 << QStringLiteral("Not Connected, check internet/firewall.");
        QTest::newRow("10061") << 10061 << QStringLiteral("Not Connected, check internet/firewall.");
        QTest::newRow("40102") << 40102 << QStringLiteral("Not Connected, check internet/firewall.");
        QTest::newRow("11004") << 11004 << QStringLiteral("Connection timeout.");
        QTest::newRow("other") << 12345 << QStringLiteral("Error code 12345");
        QTest::newRow("socks rule set") << 40002 << QStringLiteral("Error code 40002");
    }
    void failedQueryTexts()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        m_results->SMSLogin(nullptr, 0, status, 1);
        QCOMPARE(m_view->status, text);
        QCOMPARE(m_view->connectionError, std::optional<bool>(true));
        QCOMPARE(m_view->animationStops, 1);
        QVERIFY(!m_results->IsCreditReleasePending());
    }

    void failedQueryIgnoredWhenNotNormal()
    {
        m_view->normal = false;
        m_results->SMSLogin(nullptr, 0, 10061, 1);
        QCOMPARE(m_view->status, QStringLiteral("untouched"));
        QVERIFY(!m_view->connectionError.has_value());
    }

    void accepted()
    {
        m_results->SMSOKResult(nullptr, 4321);
        QCOMPARE(m_view->credit, qint64(4321));
        QCOMPARE(m_view->status, QString());
        QCOMPARE(m_view->clearTimers, 1);
        QCOMPARE(m_view->sentText, QStringLiteral("Message sent"));
        QCOMPARE(m_sounds->ok, 1);
        QCOMPARE(m_sounds->error, 0);
        QCOMPARE(m_view->testNotices, 0);
    }

    void acceptedForTheDemoAccount()
    {
        m_settings->SetUserName(QString());
        m_results->SMSOKResult(nullptr, 1);
        QCOMPARE(m_view->testNotices, 1);
    }

    void refused()
    {
        m_view->sentText.clear();
        m_results->SMSErrorResult(nullptr, 1, 0);
        QCOMPARE(m_view->status, QStringLiteral("Message not sent"));
        QCOMPARE(m_view->clearTimers, 1);
        QCOMPARE(m_view->animationStops, 1);
        QCOMPARE(m_view->sentText, QString());
        QCOMPARE(m_sounds->error, 1);
    }

    void disableSoundSilencesBoth()
    {
        m_settings->SetDisableSound(true);
        m_results->SMSOKResult(nullptr, 1);
        m_results->SMSErrorResult(nullptr, 0, 0);
        QCOMPARE(m_sounds->ok + m_sounds->error, 0);
    }

    void sendBuildsTheRecord_data()
    {
        QTest::addColumn<QString>("destinations");
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("unicode");
        QTest::addColumn<QByteArray>("recDestinations");
        QTest::addColumn<QByteArray>("recQuality");
        QTest::addColumn<QByteArray>("fileName");
        QTest::newRow("one trailing separator removed")
            << "+391;+392;;" << 0 << false << QByteArray("+391;+392;") << QByteArray("H")
            << QByteArray("file.sms");
        QTest::newRow("medium") << "+391;" << 1 << true << QByteArray("+391") << QByteArray("M")
                                << QByteArray("file.UNI");
        QTest::newRow("quality 5 is high")
            << "+391" << 5 << false << QByteArray("+391") << QByteArray("H") << QByteArray("file.sms");
    }
    void sendBuildsTheRecord()
    {
        QFETCH(QString, destinations);
        QFETCH(int, quality);
        QFETCH(bool, unicode);
        QFETCH(QByteArray, recDestinations);
        QFETCH(QByteArray, recQuality);
        QFETCH(QByteArray, fileName);
        m_results->SendSMS(destinations, "Ciao", unicode, static_cast<quint8>(quality), true, 47485.5);
        TSMSServer* session = m_results->SendSession();
        QVERIFY(session);
        const TRecSMS& sms = session->Sms();
        QCOMPARE(sms.Destinations, recDestinations);
        QCOMPARE(sms.Quality, recQuality);
        QCOMPARE(sms.FileName, fileName);
        QCOMPARE(sms.Sender, QByteArray("Mario"));
        QCOMPARE(sms.Text, QByteArray("Ciao"));
        QVERIFY(sms.Anonymous);
        QVERIFY(!sms.FlagF);
        QCOMPARE(sms.ScheduleTime, 47485.5);
        QCOMPARE(session->UserName, QByteArray("mario"));
        QCOMPARE(session->SendMode, quint8(1));
        QVERIFY(session->Client()->Active());
    }

    void failedSendReportsAndEnds()
    {
        QSignalSpy finished(m_results.get(), &TGatewayResults::sendFinished);
        m_results->SendSMS(QStringLiteral("+391;"), "x", false, 0, false, 0);
        QVERIFY(finished.wait());
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(m_view->status, QStringLiteral("Message not sent"));
        QTRY_VERIFY(!m_results->SendSession());
        m_results->DropSessions(); // nothing left to release twice
    }

    void sendThatCannotStartLeavesNoSession()
    {
        m_settings->WriteStoredValue(TEndpoints::KeyPath(), QStringLiteral("GatewayHost"),
                                     RegValue::String(QString()));
        m_settings->LoadSettings(false);
        QCOMPARE(m_settings->GetEndpoints().GatewayHost, QString());
        for (int i = 0; i < 3; ++i)
            m_results->SendSMS(QStringLiteral("+391"), "x", false, 0, false, 0);
        QVERIFY(!m_results->SendSession());
        QTRY_COMPARE(m_results->findChildren<TSMSServer*>().size(), 0);
        QCOMPARE(m_view->status, QStringLiteral("untouched")); // nothing is shown
    }

    void queryInsideTheReleaseDelayKeepsTheSession()
    {
        m_results->AskCredit(0);
        QPointer<TSMSServer> session = m_results->CreditSession();
        m_results->SMSLogin(session, 10, -1, 0);
        QVERIFY(m_results->IsCreditReleasePending());
        // A new query before the release: the session it runs on is not released under it.
        m_results->AskCredit(1);
        QVERIFY(!m_results->IsCreditReleasePending());
        QTest::qWait(TGatewayResults::CreditReleaseMs * 2);
        QCOMPARE(m_results->CreditSession(), session.data());
        QVERIFY(session);
        QCOMPARE(session->Tag, quint8(1));
    }

    void creditSessionIsReusedThenReleased()
    {
        m_settings->SetProxyEnabled(true); // an empty proxy address attaches no proxy
        QSignalSpy finished(m_results.get(), &TGatewayResults::creditFinished);
        m_results->AskCredit(1);
        QPointer<TSMSServer> first = m_results->CreditSession();
        QVERIFY(first);
        QCOMPARE(first->Tag, quint8(1));
        QVERIFY(finished.wait());
        QCOMPARE(finished.at(0).at(1).toInt(), 10061);
        QCOMPARE(m_view->status, QStringLiteral("Not Connected, check internet/firewall."));
        // A failed query keeps the session for the next one.
        m_results->AskCredit(0);
        QCOMPARE(m_results->CreditSession(), first.data());
        QCOMPARE(first->Tag, quint8(0));
        // A successful login releases it 200 ms later.
        m_results->SMSLogin(first, 10, -1, 0);
        QVERIFY(m_results->CreditSession());
        QTRY_VERIFY(!m_results->CreditSession());
        QTRY_VERIFY(first.isNull());
    }

    void dropSessionsReleasesBoth()
    {
        m_results->AskCredit(0);
        m_results->SendSMS(QStringLiteral("+391"), "x", false, 0, false, 0);
        QPointer<TSMSServer> credit = m_results->CreditSession();
        QPointer<TSMSServer> send = m_results->SendSession();
        m_results->DropSessions();
        QVERIFY(!m_results->CreditSession());
        QVERIFY(!m_results->SendSession());
        QTRY_VERIFY(credit.isNull() && send.isNull());
        QTest::qWait(50);
        QCOMPARE(m_view->status, QStringLiteral("untouched")); // released sessions report nothing
    }

    void soundClips_data()
    {
        QTest::addColumn<int>("sound");
        QTest::addColumn<double>("seconds");
        QTest::newRow("success") << int(ISoundPlayer::Sound::SmsOk) << 1.1;
        QTest::newRow("error") << int(ISoundPlayer::Sound::SmsError) << 0.5;
    }
    void soundClips()
    {
        QFETCH(int, sound);
        QFETCH(double, seconds);
        QFile clip(TSoundPlayer::ResourcePath(static_cast<ISoundPlayer::Sound>(sound)));
        QVERIFY(clip.open(QIODevice::ReadOnly));
        const QByteArray wav = clip.readAll();
        auto u16 = [&](int at) { return quint16(uchar(wav[at]) | uchar(wav[at + 1]) << 8); };
        auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(u16(20), quint16(1));     // PCM
        QCOMPARE(u16(22), quint16(1));     // mono
        QCOMPARE(u32(24), quint32(11025)); // samples per second
        QCOMPARE(u16(34), quint16(8));     // bits per sample
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        QVERIFY(qAbs(u32(40) / 11025.0 - seconds) < 0.05);
    }

    void playerWithoutAudioOutput()
    {
        // Plays nothing (no device here) and never fails.
        TSoundPlayer player;
        player.Play(ISoundPlayer::Sound::SmsOk);
        player.Play(ISoundPlayer::Sound::SmsError);
    }
};

QTEST_GUILESS_MAIN(TestGatewayResults)
#include "TestGatewayResults.moc"
