#include "net/GatewayResults.h"

#include "i18n/GlobalTexts.h"
#include "net/SMSServer.h"
#include "platform/Win1252.h"
#include "settings/SettingsHolder.h"

#include <QTimer>

TGatewayResults::TGatewayResults(TSettingsHolder& settings, const TGlobalTexts& texts, QObject* parent)
    : TGatewayService(parent), m_settings(settings), m_texts(texts), m_locale(QLocale::system())
{
    m_timerCleanSMSServerCredit = new QTimer(this);
    m_timerCleanSMSServerCredit->setSingleShot(true);
    m_timerCleanSMSServerCredit->setInterval(CreditReleaseMs);
    connect(m_timerCleanSMSServerCredit, &QTimer::timeout, this, &TGatewayResults::ReleaseCreditSession);
}

TGatewayResults::~TGatewayResults()
{
    DropSessions();
}

TSMSServer* TGatewayResults::NewSession()
{
    const TEndpoints& endpoints = m_settings.GetEndpoints();
    return new TSMSServer(endpoints.GatewayHost, endpoints.GatewayPort, endpoints.GatewayFallbackPort, this);
}

void TGatewayResults::Configure(TSMSServer* session, quint8 sendMode)
{
    session->SetProxy(m_settings.GetProxyEnabled(), m_settings.GetProxyAddress(), m_settings.GetProxyPort(),
                      m_settings.GetProxyAuthEnabled(), m_settings.GetProxyUsername(),
                      m_settings.GetProxyPassword());
    session->UserName = ToWin1252(m_settings.GetUserName());
    session->Password = ToWin1252(m_settings.GetPassword());
    session->SendMode = sendMode;
}

bool TGatewayResults::IsDemoAccount() const
{
    return m_settings.GetUserName().compare(TSettingsHolder::DemoUserName(), Qt::CaseInsensitive) == 0;
}

bool TGatewayResults::SendSMS(const QString& destinations, const QByteArray& text, bool unicode,
                              quint8 qualityIndex, bool anonymous, double scheduleTime)
{
    TSMSServer* session = nullptr;
    try {
        session = NewSession();
        m_sendSession = session;
        Configure(session, 1);
        connect(session, &TSMSServer::OnSMSOKResult, this, &TGatewayResults::SMSOKResult);
        connect(session, &TSMSServer::OnSMSErrorResult, this, &TGatewayResults::SMSErrorResult);

        TRecSMS sms;
        sms.Sender = ToWin1252(m_settings.GetSender());
        sms.Destinations = ToWin1252(destinations.endsWith(u';') ? destinations.chopped(1) : destinations);
        sms.Quality = qualityIndex == 1 ? QByteArrayLiteral("M") : QByteArrayLiteral("H");
        sms.FlagF = false;
        sms.Anonymous = anonymous;
        sms.FileName = unicode ? QByteArrayLiteral("file.UNI") : QByteArrayLiteral("file.sms");
        sms.Text = text;
        sms.ScheduleTime = scheduleTime;
        session->Send(sms);
        return true;
    } catch (const std::exception&) {
        // A submission that cannot even start shows nothing and leaves no session behind.
        if (session) {
            m_sendSession = nullptr;
            session->deleteLater();
        }
        return false;
    }
}

void TGatewayResults::AskCredit(quint8 showResult)
{
    try {
        if (!m_creditSession)
            m_creditSession = NewSession();
        // A query started in the 200 ms before the release keeps the session.
        m_timerCleanSMSServerCredit->stop();
        TSMSServer* session = m_creditSession;
        session->Tag = showResult;
        Configure(session, 0);
        session->disconnect(this);
        connect(session, &TSMSServer::OnSMSLogin, this, &TGatewayResults::SMSLogin);
        connect(session, &TSMSServer::OnSMSErrorResult, this, &TGatewayResults::SMSErrorResult);
        session->Connect();
    } catch (const std::exception&) {
    }
}

void TGatewayResults::ReleaseCreditSession()
{
    m_timerCleanSMSServerCredit->stop();
    if (TSMSServer* session = m_creditSession.data()) {
        m_creditSession = nullptr;
        session->disconnect(this);
        session->deleteLater();
    }
}

TSMSServer* TGatewayResults::CreditSession() const
{
    return m_creditSession;
}

TSMSServer* TGatewayResults::SendSession() const
{
    return m_sendSession;
}

bool TGatewayResults::IsCreditReleasePending() const
{
    return m_timerCleanSMSServerCredit->isActive();
}

void TGatewayResults::DropSessions()
{
    ReleaseCreditSession();
    // A send session that ended itself is already gone from m_sendSession.
    if (TSMSServer* session = m_sendSession.data()) {
        m_sendSession = nullptr;
        session->disconnect(this);
        session->deleteLater();
    }
}

QString TGatewayResults::CreditText(qint64 thousandths) const
{
    // "###0.00": at least one integer digit, two decimals rounded half away from zero, no grouping.
    const qint64 magnitude = (thousandths < 0 ? -thousandths : thousandths) + 5;
    const qint64 hundredths = magnitude / 10;
    QString amount = QString::number(hundredths / 100) + m_locale.decimalPoint() +
                     QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    if (thousandths < 0 && hundredths != 0)
        amount.prepend(u'-');
    return m_texts.TextCreditPrefix + QStringLiteral("\u20AC ") + amount;
}

QString TGatewayResults::StatusTextFor(int status) const
{
    switch (status) {
    case 0:
        return m_texts.TextBadLogin;
    case 10013:
        return m_texts.TextNotConnectedAv;
    case 10051:
    case 10060:
    case 10061:
    case 40102:
        return m_texts.TextNotConnected;
    case 11004:
        return m_texts.TextTimeout;
    default:
        return QStringLiteral("Error code ") + QString::number(status);
    }
}

void TGatewayResults::SMSLogin(TSMSServer* /*sender*/, int credit, int status, quint8 tag)
{
    if (status < 0) {
        emit creditReceived(credit, CreditText(credit), tag != 0 && !IsDemoAccount());
        emit connectionStateChanged(false);
        m_timerCleanSMSServerCredit->start();
        return;
    }
    emit loginRefused(status, StatusTextFor(status));
}

void TGatewayResults::SMSOKResult(TSMSServer* /*sender*/, int remaining)
{
    emit sendAccepted(m_texts.TextSent, remaining);
    if (IsDemoAccount())
        emit demoNoticeDue();
}

void TGatewayResults::SMSErrorResult(TSMSServer* /*sender*/, int code, quint8 /*tag*/)
{
    emit sendRefused(code, m_texts.TextNotSent);
}
