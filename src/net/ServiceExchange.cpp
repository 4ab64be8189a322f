#include "net/ServiceExchange.h"

#include "net/TcpClient.h"

#include <QTimer>

TServiceExchange::TServiceExchange(TServiceRoute route, QByteArray request, qsizetype maxReplyBytes,
                                   Judge judge, int timeOutMs, QObject* parent)
    : QObject(parent), m_route(std::move(route)), m_request(std::move(request)), m_maxReply(maxReplyBytes),
      m_judge(std::move(judge)), m_timeOutMs(timeOutMs)
{
    m_timeOut = new QTimer(this);
    m_timeOut->setSingleShot(true);
    m_timeOut->setTimerType(Qt::PreciseTimer); // never shorter than the time-out
    connect(m_timeOut, &QTimer::timeout, this,
            [this] { Finish(false, QStringLiteral("no reply within %1 s").arg(m_timeOutMs / 1000.0)); });
}

TServiceExchange::~TServiceExchange()
{
    // The client refers to the route's proxy; it goes first.
    delete m_client;
}

void TServiceExchange::Start()
{
    m_client = new TfndTCPClient(this);
    m_client->SetTimeOut(m_timeOutMs);
    connect(m_client, &TfndTCPClient::OnConnected, this, &TServiceExchange::OnConnected);
    connect(m_client, &TfndTCPClient::OnDataAvailable, this, &TServiceExchange::OnData);
    connect(m_client, &TfndTCPClient::OnDisconnected, this, &TServiceExchange::OnClosed);
    connect(m_client, &TfndTCPClient::OnConnectFailed, this, &TServiceExchange::OnConnectFailed);
    m_timeOut->start(m_timeOutMs);
    try {
        m_client->SetHost(m_route.Host.trimmed());
        m_client->SetPort(QString::number(m_route.Port));
        m_client->SetProxy(m_route.Proxy ? &*m_route.Proxy : nullptr);
        m_client->SetActive(true);
    } catch (const ETcpClientError& e) {
        // Reported from the event loop like every other outcome.
        const QString problem = QString::fromLatin1(e.what());
        QTimer::singleShot(0, this, [this, problem] { Finish(false, problem); });
    }
}

void TServiceExchange::OnConnected()
{
    m_client->Socket()->WriteStr(m_request);
}

void TServiceExchange::OnData()
{
    if (m_done)
        return;
    const QByteArray data = m_client->Socket()->ReadAvailable();
    const qsizetype room = m_maxReply - m_reply.size();
    m_reply.append(data.left(room));
    m_truncated = m_truncated || data.size() > room;
    JudgeReply(false);
}

void TServiceExchange::OnClosed()
{
    if (!m_done)
        JudgeReply(true);
}

void TServiceExchange::OnConnectFailed()
{
    Finish(false,
           QStringLiteral("no connection: %1 (%2)").arg(m_client->ErrorText()).arg(m_client->ErrorCode()));
}

void TServiceExchange::JudgeReply(bool closed)
{
    const Judgement j = m_judge(m_reply, closed, m_truncated);
    if (j.verdict == Verdict::Complete)
        Finish(true, {});
    else if (j.verdict == Verdict::Bad)
        Finish(false, j.problem);
    else if (closed)
        Finish(false, m_reply.isEmpty() ? QStringLiteral("the connection closed without a reply")
                                        : QStringLiteral("the connection closed in the middle of the reply"));
}

void TServiceExchange::Finish(bool ok, const QString& problem)
{
    if (m_done)
        return;
    m_done = true;
    m_timeOut->stop();
    if (m_client) {
        // A finished reply leaves politely; a failed or overflowing exchange is cut off, so a
        // stalled or flooding peer holds nothing of ours.
        if ((!ok || m_truncated) && m_client->Socket())
            m_client->Socket()->Abort();
        m_client->SetActive(false);
    }
    emit finished(ok, problem);
}

quint64 TServiceRequester::StartExchange(const TServiceRoute& route, const QByteArray& request,
                                         qsizetype maxReplyBytes, TServiceExchange::Judge judge,
                                         Outcome outcome)
{
    const quint64 id = m_nextId++;
    auto* exchange = new TServiceExchange(route, request, maxReplyBytes, std::move(judge), m_timeOutMs, this);
    connect(exchange, &TServiceExchange::finished, this,
            [this, exchange, id, outcome = std::move(outcome)](bool ok, const QString& problem) {
                exchange->deleteLater();
                --m_pending;
                outcome(id, ok, problem, exchange->Reply());
            });
    ++m_pending;
    exchange->Start();
    return id;
}
