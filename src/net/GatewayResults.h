#pragma once

#include "net/GatewayService.h"

#include <QByteArray>
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;
class TSMSServer;
class TSettingsHolder;
struct TGlobalTexts;

// The data module's side of the gateway: starts submissions and credit queries and reports
// their outcome by the signals of TGatewayService. UI-free.
class TGatewayResults : public TGatewayService
{
    Q_OBJECT

public:
    static constexpr int CreditReleaseMs = 200;

    TGatewayResults(TSettingsHolder& settings, const TGlobalTexts& texts, QObject* parent = nullptr);
    ~TGatewayResults() override;

    // The locale whose decimal separator the credit text uses; the system's by default.
    void SetLocale(const QLocale& locale) { m_locale = locale; }

    bool SendSMS(const QString& destinations, const QByteArray& text, bool unicode, quint8 qualityIndex,
                 bool anonymous, double scheduleTime) override;
    void AskCredit(quint8 showResult) override;
    void DropSessions() override;

    void SMSLogin(TSMSServer* sender, int credit, int status, quint8 tag);
    void SMSOKResult(TSMSServer* sender, int remaining);
    void SMSErrorResult(TSMSServer* sender, int code, quint8 tag);

    // "Credito: € 12,34": the prefix, the euro sign, the credit in euro with two decimals.
    QString CreditText(qint64 thousandths) const;
    // The status text of a refused login or a failed connection.
    QString StatusTextFor(int status) const;

    TSMSServer* CreditSession() const;
    TSMSServer* SendSession() const;
    bool IsCreditReleasePending() const;

private:
    TSMSServer* NewSession();
    void Configure(TSMSServer* session, quint8 sendMode);
    bool IsDemoAccount() const;
    void ReleaseCreditSession();

    TSettingsHolder& m_settings;
    const TGlobalTexts& m_texts;
    QLocale m_locale;
    QPointer<TSMSServer> m_creditSession;
    QPointer<TSMSServer> m_sendSession;
    QTimer* m_timerCleanSMSServerCredit = nullptr;
};
