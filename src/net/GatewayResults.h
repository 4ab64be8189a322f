#pragma once

#include <QByteArray>
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>

class IGatewayResultView;
class ISoundPlayer;
class QTimer;
class TSMSServer;
class TSettingsHolder;
struct TGlobalTexts;

// The data module's side of the gateway: starts submissions and credit queries and turns their
// outcome into what the main window shows and what the user hears. UI-free: the window is
// reached through IGatewayResultView, the sounds through ISoundPlayer.
class TGatewayResults : public QObject
{
    Q_OBJECT

public:
    static constexpr int CreditReleaseMs = 200;

    // sounds may be null (no sounds at all).
    TGatewayResults(TSettingsHolder& settings, const TGlobalTexts& texts, IGatewayResultView& view,
                    ISoundPlayer* sounds, QObject* parent = nullptr);
    ~TGatewayResults() override;

    // The locale whose decimal separator the credit text uses; the system's by default.
    void SetLocale(const QLocale& locale) { m_locale = locale; }

    // text: Windows-1252 bytes, or UCS-2 as hexadecimal digits when unicode is true.
    // scheduleTime: days since 1899-12-30 at the provider's time base, 0 for immediate.
    void SendSMS(const QString& destinations, const QByteArray& text, bool unicode, quint8 qualityIndex,
                 bool anonymous, double scheduleTime);
    // showResult 1 shows the credit notice, 0 keeps the query silent.
    void AskCredit(quint8 showResult);
    // Releases the credit session and an unfinished send session (the account may have changed).
    void DropSessions();

    void SMSLogin(TSMSServer* sender, int credit, int status, quint8 tag);
    void SMSOKResult(TSMSServer* sender, int remaining);
    void SMSErrorResult(TSMSServer* sender, int code, quint8 tag);

    // "Credito: € 12,34": the prefix, the euro sign, the credit in euro with two decimals.
    QString CreditText(qint64 thousandths) const;
    // The status text of a refused login or a failed connection.
    QString StatusTextFor(int status) const;

    TSMSServer* CreditSession() const { return m_creditSession; }
    TSMSServer* SendSession() const { return m_sendSession; }
    bool IsCreditReleasePending() const;

signals:
    // After the handlers above ran: for callers that wait for an outcome (brelmont-cli).
    void sendFinished(bool accepted);
    void creditFinished(bool ok, int creditOrStatus);

private:
    TSMSServer* NewSession();
    void Configure(TSMSServer* session, quint8 sendMode);
    bool IsDemoAccount() const;
    void ReleaseCreditSession();

    TSettingsHolder& m_settings;
    const TGlobalTexts& m_texts;
    IGatewayResultView& m_view;
    ISoundPlayer* m_sounds;
    QLocale m_locale;
    QPointer<TSMSServer> m_creditSession;
    QPointer<TSMSServer> m_sendSession;
    QTimer* m_timerCleanSMSServerCredit = nullptr;
};
