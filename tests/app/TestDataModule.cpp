#include "app/DataModule.h"
#include "net/GatewayResults.h"
#include "settings/SettingsHolder.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
class CountingSounds : public ISoundPlayer
{
public:
    void Play(Sound sound) override { (sound == Sound::SmsOk ? ok : error)++; }
    int ok = 0;
    int error = 0;
};
} // namespace

// The data module plays the result sounds unless the user turned them off.
class TestDataModule : public QObject
{
    Q_OBJECT

private slots:
    void resultSounds_data()
    {
        QTest::addColumn<bool>("disabled");
        QTest::newRow("sound on") << false;
        QTest::newRow("DisableSound") << true;
    }
    void resultSounds()
    {
        QFETCH(bool, disabled);
        QTemporaryDir dir;
        TSettingsHolder settings(dir.filePath(QStringLiteral("registry.reg")));
        settings.SetDisableSound(disabled);
        CountingSounds sounds;
        TDM_Global global(settings, &sounds);
        global.Gateway().SMSOKResult(nullptr, 1);
        global.Gateway().SMSErrorResult(nullptr, 1, 0);
        global.Gateway().SMSErrorResult(nullptr, 1, 0);
        QCOMPARE(sounds.ok, disabled ? 0 : 1);
        QCOMPARE(sounds.error, disabled ? 0 : 2);
    }

    void textsFollowTheSettingsLanguage()
    {
        QTemporaryDir dir;
        TSettingsHolder settings(dir.filePath(QStringLiteral("registry.reg")));
        TDM_Global global(settings, nullptr);
        settings.SetLanguage(QStringLiteral("POR"));
        QVERIFY(settings.SaveSettings());
        QCOMPARE(global.Texts.TextSent, QStringLiteral("Envio com sucesso"));
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "TestDataModule.moc"
