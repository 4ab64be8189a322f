#include "net/SMSServer.h"

#include "net/TcpClient.h"
#include "platform/OleDate.h"

#include <QTimer>

namespace {
constexpr double kScheduleThreshold = 30000.0;

// Removes bytes up to and including blank at both ends, as the gateway's replies are padded.
QByteArray Trim(const QByteArray& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && static_cast<unsigned char>(text.at(first)) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text.at(last - 1)) <= ' ')
        --last;
    return text.mid(first, last - first);
}

bool ContainsNoCase(const QByteArray& text, const char* word)
{
    return text.toUpper().contains(word);
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Frames and replies

QByteArray GatewayFrames::Wrap(const QByteArray& payload)
{
    unsigned sum = 0;
    for (char b : payload)
        sum += static_cast<unsigned char>(b);
    QByteArray frame;
    frame.reserve(payload.size() + 4);
    frame.append(Start);
    frame.append(payload);
    frame.append(QByteArray::number(sum % 256, 16).toUpper().rightJustified(2, '0'));
    frame.append(End);
    return frame;
}

QByteArray GatewayFrames::LoginPayload(const QByteArray& userName, const QByteArray& password)
{
    QByteArray p;
    p.append(Login);
    p.append(userName);
    p.append(Separator);
    p.append(password);
    p.append(Separator);
    return p;
}

QByteArray GatewayFrames::SubmitPayload(const TRecSMS& sms)
{
    QByteArray cleaned;
    for (char c : sms.Destinations)
        if (c == '+' || c == ';' || (c >= '0' && c <= '9'))
            cleaned.append(c);
    const QList<QByteArray> destinations = cleaned.split(';'); // empty items stay

    QByteArray p;
    p.append(Submit);
    p.append(destinations.first());
    p.append(Separator);
    p.append(sms.Anonymous ? QByteArrayLiteral("UNKNOWN") : sms.Sender);
    p.append(Separator);
    p.append(sms.Text);
    p.append(Separator);
    p.append(sms.FlagF ? 'F' : 'N');
    p.append(Separator);
    p.append(sms.FileName);
    p.append(Separator);
    p.append(sms.Quality);
    for (qsizetype i = 1; i < destinations.size(); ++i) {
        p.append(ExtraDestination);
        p.append(destinations.at(i));
    }
    if (sms.ScheduleTime > kScheduleThreshold) {
        p.append(ScheduleDelimiter);
        p.append("DDT");
        // Date and time are formatted separately: the provider's time base has no daylight-saving
        // gaps, while a local date-time inside one would format as nothing.
        const QDateTime at = DaysToDateTime(sms.ScheduleTime);
        p.append((at.date().toString(u"yyyyMMdd") + at.time().toString(u"HHmmss")).toLatin1());
        p.append(ScheduleDelimiter);
    }
    p.append(QByteArray(destinations.size() - 1, '\0'));
    return p;
}

int GatewayFrames::ReadInteger(const QByteArray& text, int fallback)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-'))
        negative = text.at(i++) == '-';
    if (i == text.size())
        return fallback;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c < '0' || c > '9')
            return fallback;
        value = value * 10 + (c - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return fallback;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(value);
}

bool GatewayFrames::EndsALine(const QByteArray& reply)
{
    const qsizetype lineEnd = reply.lastIndexOf('\n');
    for (qsizetype i = 0; i < lineEnd; ++i)
        if (static_cast<unsigned char>(reply.at(i)) > ' ')
            return true;
    return false;
}

QByteArray GatewayFrames::WithoutLeadingLineBreaks(const QByteArray& reply)
{
    qsizetype first = 0;
    while (first < reply.size() && (reply.at(first) == '\r' || reply.at(first) == '\n'))
        ++first;
    return reply.mid(first);
}

bool GatewayFrames::IsPositive(const QByteArray& reply)
{
    return ContainsNoCase(reply, "+OK");
}

int GatewayFrames::LoginCredit(const QByteArray& reply)
{
    return ReadInteger(Trim(reply.mid(16)), 0);
}

int GatewayFrames::SubmitRemaining(const QByteArray& reply)
{
    QByteArray rest = Trim(reply.mid(3));
    const qsizetype at = rest.indexOf("Remaining:");
    rest = at >= 0 ? rest.mid(at + 10) : rest.mid(9);
    return ReadInteger(rest, -1);
}

int GatewayFrames::SubmitErrorCode(const QByteArray& reply)
{
    if (!ContainsNoCase(reply, "-ERR"))
        return 0;
    const QByteArray rest = Trim(reply.mid(4)).toUpper();
    if (rest == "NO MORE CREDITS")
        return 1;
    if (rest == "TOO MANY SESSIONS")
        return 2;
    return ReadInteger(rest, -1);
}

// ---------------------------------------------------------------------------------------------
// TSMSServer

TSMSServer::TSMSServer(const QString& gatewayHost, quint16 port, quint16 fallbackPort, QObject* parent)
    : QObject(parent), m_host(gatewayHost), m_port(port), m_fallbackPort(fallbackPort)
{
    m_quiet = new QTimer(this);
    m_quiet->setSingleShot(true);
    m_quiet->setInterval(ReplyQuietMs);
    connect(m_quiet, &QTimer::timeout, this, [this] { ProcessPending(true); });
    m_submitPause = new QTimer(this);
    m_submitPause->setSingleShot(true);
    m_submitPause->setInterval(SubmitPauseMs);
    m_submitPause->setTimerType(Qt::PreciseTimer); // never shorter than the pause
    connect(m_submitPause, &QTimer::timeout, this, [this] { ProcessPending(false); });
    m_loginWait = new QTimer(this);
    m_loginWait->setSingleShot(true);
    connect(m_loginWait, &QTimer::timeout, this, &TSMSServer::LoginReplyTimedOut);
    m_client = NewClient(m_port);
}

TSMSServer::~TSMSServer()
{
    // The client refers to m_proxy; it goes first. Its socket finishes sending on its own.
    delete m_client;
}

TfndTCPClient* TSMSServer::NewClient(quint16 port)
{
    auto* client = new TfndTCPClient(this);
    client->SetHost(m_host);
    client->SetPort(QString::number(port));
    client->SetTimeOut(ClientTimeOutMs);
    connect(client, &TfndTCPClient::OnConnected, this, &TSMSServer::ClientConnected);
    connect(client, &TfndTCPClient::OnDataAvailable, this, &TSMSServer::ClientDataAvailable);
    connect(client, &TfndTCPClient::OnConnectFailed, this, &TSMSServer::ClientConnectFailed);
    connect(client, &TfndTCPClient::OnDisconnected, this, &TSMSServer::ClientDisconnected);
    return client;
}

void TSMSServer::SetProxy(bool active, const QString& address, int port, bool useAuthentication,
                          const QString& userName, const QString& password)
{
    // The proxy is attached to the client when the next connection starts, so a session whose
    // connection is still open can be given new settings.
    m_proxyAttached = active && !address.trimmed().isEmpty();
    m_proxy.Host = address;
    m_proxy.Port = QString::number(port);
    m_proxy.UseAuthentication = useAuthentication;
    m_proxy.Username = userName;
    m_proxy.Password = password;
}

void TSMSServer::Connect()
{
    // Whatever the previous connection left unanswered is dropped with it.
    m_state = 1;
    m_awaitingReply = false;
    m_remoteClosed = false;
    m_reply.clear();
    m_quiet->stop();
    m_loginWait->stop();
    m_client->SetActive(false);
    m_client->SetProxy(m_proxyAttached ? &m_proxy : nullptr);
    m_client->SetActive(true);
}

void TSMSServer::Send(const TRecSMS& sms)
{
    m_sms = sms;
    Connect();
}

void TSMSServer::SendFrame(const QByteArray& payload)
{
    m_client->Socket()->WriteStr(GatewayFrames::Wrap(payload));
}

void TSMSServer::ClientConnected()
{
    m_reply.clear();
    m_remoteClosed = false;
    m_awaitingReply = true;
    SendFrame(GatewayFrames::LoginPayload(UserName, Password));
    // A gateway that takes the connection but never answers the login must not hold the
    // exchange open for ever; the client's time-out bounds the wait.
    m_loginWait->start(m_client->TimeOut());
}

void TSMSServer::LoginReplyTimedOut()
{
    if (m_ended || m_state != 1 || !m_awaitingReply)
        return;
    if (!m_reply.isEmpty()) { // a reply has begun: it is decided on what came
        ProcessPending(true);
        return;
    }
    // Nothing was submitted yet, so the exchange can fail safely.
    m_awaitingReply = false;
    m_client->SetActive(false);
    ReportFailure(NoLoginReplyStatus);
}

void TSMSServer::ClientDataAvailable()
{
    // A reply is decided on its first MaxReplyBytes; a flooding gateway cannot grow the buffer
    // beyond that (not even during the pause after the submit frame).
    const QByteArray data = m_client->Socket()->ReadAvailable();
    m_reply.append(data.left(MaxReplyBytes - m_reply.size()));
    ProcessPending(false);
}

void TSMSServer::ClientDisconnected()
{
    m_remoteClosed = true;
    ProcessPending(true);
}

void TSMSServer::ProcessPending(bool complete)
{
    // Nothing is read while the pause after the submit frame runs; its end comes back here.
    if (m_ended || m_submitPause->isActive())
        return;
    if (!m_awaitingReply || (m_state != 1 && m_state != 2)) {
        m_reply.clear();
        return;
    }
    if (m_reply.isEmpty()) {
        if (m_remoteClosed) // the gateway hung up without answering
            HandleReply(QByteArray());
        return;
    }
    // A reply is decided once, on the whole line: wait for its end or for a quiet gap.
    if (!complete && !GatewayFrames::EndsALine(m_reply) && !m_remoteClosed &&
        m_reply.size() < MaxReplyBytes) {
        m_quiet->start();
        return;
    }
    m_quiet->stop();
    HandleReply(GatewayFrames::WithoutLeadingLineBreaks(std::exchange(m_reply, {})));
}

void TSMSServer::HandleReply(const QByteArray& reply)
{
    m_awaitingReply = false;
    m_loginWait->stop();
    if (m_state == 1)
        HandleLoginReply(reply);
    else
        HandleSubmitReply(reply);
}

void TSMSServer::HandleLoginReply(const QByteArray& reply)
{
    const bool positive = GatewayFrames::IsPositive(reply);
    if (SendMode == 1) {
        if (!positive) {
            ReportFailure(0);
            return;
        }
        m_state = 2;
        m_awaitingReply = true;
        SendFrame(GatewayFrames::SubmitPayload(m_sms));
        m_submitPause->start();
        return;
    }
    if (positive)
        emit OnSMSLogin(this, GatewayFrames::LoginCredit(reply), -1, Tag);
    else
        emit OnSMSLogin(this, 0, reply.isEmpty() && m_remoteClosed ? ConnectionClosedStatus : 0, Tag);
}

void TSMSServer::HandleSubmitReply(const QByteArray& reply)
{
    if (GatewayFrames::IsPositive(reply)) {
        const int remaining = GatewayFrames::SubmitRemaining(reply);
        EndItself();
        emit OnSMSOKResult(this, remaining);
        return;
    }
    const int code = GatewayFrames::SubmitErrorCode(reply);
    m_sms.Text.clear();
    EndItself();
    emit OnSMSErrorResult(this, code, Tag);
}

void TSMSServer::ClientConnectFailed(TfndTCPClient* failed)
{
    if (m_ended || failed != m_client)
        return;
    if (!m_onFallback) {
        // The failed client is still running its own event: it goes once that has returned.
        m_onFallback = true;
        failed->disconnect(this);
        failed->deleteLater();
        m_client = NewClient(m_fallbackPort);
        try {
            Connect();
        } catch (const ETcpClientError&) {
            ReportFailure(failed->ErrorCode());
        }
        return;
    }
    ReportFailure(failed->ErrorCode());
}

void TSMSServer::ReportFailure(int status)
{
    if (SendMode == 1) {
        m_sms.Text.clear();
        EndItself();
        emit OnSMSErrorResult(this, 0, Tag);
    } else {
        emit OnSMSLogin(this, 0, status, Tag);
    }
}

void TSMSServer::EndItself()
{
    // Send mode serves one submission; the object goes after the handlers of its outcome ran.
    m_ended = true;
    m_state = 0;
    m_quiet->stop();
    m_submitPause->stop();
    m_loginWait->stop();
    m_client->disconnect(this);
    deleteLater();
}
