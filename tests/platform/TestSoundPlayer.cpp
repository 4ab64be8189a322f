#include "platform/LazySoundPlayer.h"
#include "platform/SoundPlayer.h"

#include <QFile>
#include <QTest>

// The embedded result sounds.
class TestSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
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

    // The program's player loads the module on the first sound; a missing or foreign module
    // leaves it silent.
    void moduleOnFirstSound_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("the build's module") << QString() << true;
        QTest::newRow("missing") << QStringLiteral("/nonexistent/brelmont-sound.so") << false;
        QTest::newRow("no entry point") << QStringLiteral(BRELMONT_FOREIGN_MODULE) << false;
    }
    void moduleOnFirstSound()
    {
        QFETCH(QString, module);
        QFETCH(bool, loaded);
        TLazySoundPlayer player(module);
        QVERIFY(!player.Loaded());
        player.Play(ISoundPlayer::Sound::SmsOk);
        QCOMPARE(player.Loaded(), loaded);
        player.Play(ISoundPlayer::Sound::SmsError);
    }
};

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "TestSoundPlayer.moc"
