#pragma once

#include "settings/GlobalTexts.h"
#include "ui/main/GatewayCommands.h"

#include <QObject>
#include <memory>

class IGatewayResultView;
class ISoundPlayer;
class TGatewayResults;
class TSettingsHolder;

// The program's global data module: the message texts the network results show and the
// gateway requests (credit queries, sends). No windows; it acts on the main window only
// through the result view.
class TDM_Global : public QObject, public IGatewayCommands
{
    Q_OBJECT

public:
    // sounds: the result sounds (none when null).
    explicit TDM_Global(IGatewayResultView& view, ISoundPlayer* sounds = nullptr, QObject* parent = nullptr);
    ~TDM_Global() override;

    // The settings come after the data module; from then on the texts follow every language
    // the settings apply, and the gateway requests use the settings' account and proxy.
    void AttachSettings(TSettingsHolder* settings);
    void ApplyLanguage(const QString& code);

    void AskCredit(int showResult) override;
    void DropSessions() override;
    // Null until the settings are attached.
    TGatewayResults* Gateway() const { return m_gateway.get(); }

    TGlobalTexts Texts;

private:
    IGatewayResultView& m_view;
    ISoundPlayer* m_sounds;
    std::unique_ptr<TGatewayResults> m_gateway;
};
