#include "net/TcpClient.h"

#include <QCoreApplication>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <netdb.h>

namespace {
constexpr int kInvalidArgument = 10022; // WSAEINVAL: a port that is neither a number nor a service
constexpr int kTimedOut = 10060;
constexpr int kHostNotFound = 11004;
constexpr int kOrphanLingerMs = 10000;

// Lets a socket finish sending its queue and close on its own, after its owner has let go.
void ReleaseGracefully(QTcpSocket* tcp)
{
    QObject::disconnect(tcp, nullptr, nullptr, nullptr);
    if (tcp->state() != QAbstractSocket::ConnectedState) {
        tcp->abort();
        tcp->deleteLater();
        return;
    }
    tcp->setParent(QCoreApplication::instance());
    QObject::connect(tcp, &QAbstractSocket::disconnected, tcp, &QObject::deleteLater);
    QObject::connect(tcp, &QAbstractSocket::errorOccurred, tcp, &QObject::deleteLater);
    QTimer::singleShot(kOrphanLingerMs, tcp, [tcp] {
        tcp->abort();
        tcp->deleteLater();
    });
    tcp->disconnectFromHost();
}
} // namespace

// ---------------------------------------------------------------------------------------------
// TfndClientSocket

TfndClientSocket::TfndClientSocket(QObject* parent) : QObject(parent)
{
    m_timeOut = new QTimer(this);
    m_timeOut->setSingleShot(true);
    connect(m_timeOut, &QTimer::timeout, this,
            [this] { Fail(kTimedOut, QStringLiteral("Connection timed out")); });
}

TfndClientSocket::~TfndClientSocket()
{
    Shutdown();
}

QByteArray TfndClientSocket::ReadAvailable()
{
    return std::exchange(m_received, {});
}

QByteArray TfndClientSocket::ReadStr(int maxLength)
{
    const QByteArray front = m_received.left(std::max(0, maxLength));
    m_received.remove(0, front.size());
    return front;
}

void TfndClientSocket::WriteStr(QByteArrayView text)
{
    if (m_tcp && m_phase == Phase::Connected)
        m_tcp->write(text.data(), text.size());
}

void TfndClientSocket::Shutdown()
{
    Release(true);
}

void TfndClientSocket::Abort()
{
    Release(false);
}

void TfndClientSocket::Release(bool graceful)
{
    m_timeOut->stop();
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    m_phase = Phase::Idle;
    QTcpSocket* tcp = std::exchange(m_tcp, nullptr);
    if (!tcp)
        return;
    if (graceful) {
        ReleaseGracefully(tcp);
        return;
    }
    QObject::disconnect(tcp, nullptr, nullptr, nullptr);
    tcp->abort();
    tcp->deleteLater();
}

void TfndClientSocket::Open(const QString& host, quint16 port, const TfndSocks5Proxy* proxy, int timeOutMs)
{
    Shutdown();
    m_received.clear();
    m_socksIn.clear();
    m_targetHost = host;
    m_targetPort = port;
    m_useProxy = proxy != nullptr;
    if (proxy)
        m_proxy = *proxy;
    if (timeOutMs > 0)
        m_timeOut->start(timeOutMs);

    const quint16 proxyPort = m_useProxy ? TfndTCPClient::ResolvePort(m_proxy.Port) : 0;
    if (port == 0 || (m_useProxy && proxyPort == 0)) {
        // Reported from the event loop like every other failure.
        m_phase = Phase::Connecting;
        QTimer::singleShot(0, this, [this] {
            if (m_phase == Phase::Connecting && !m_tcp)
                Fail(kInvalidArgument, QStringLiteral("Invalid port"));
        });
        return;
    }
    if (!m_useProxy) {
        ConnectTcp(host, port);
        return;
    }
    QHostAddress literal;
    if (m_proxy.ResolveThroughProxy || literal.setAddress(host)) {
        StartNegotiation(literal);
        ConnectTcp(m_proxy.Host.trimmed(), proxyPort);
        return;
    }
    // The proxy must not resolve names: resolve here first, then connect to the proxy.
    m_phase = Phase::Resolving;
    m_lookupId = QHostInfo::lookupHost(host, this, [this, proxyPort](const QHostInfo& info) {
        m_lookupId = -1;
        if (m_phase != Phase::Resolving)
            return;
        QHostAddress chosen;
        for (const QHostAddress& a : info.addresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                chosen = a;
                break;
            }
            if (chosen.isNull())
                chosen = a;
        }
        if (info.error() != QHostInfo::NoError || chosen.isNull()) {
            Fail(kHostNotFound, info.errorString());
            return;
        }
        StartNegotiation(chosen);
        ConnectTcp(m_proxy.Host.trimmed(), proxyPort);
    });
}

void TfndClientSocket::StartNegotiation(const QHostAddress& resolvedTarget)
{
    m_socks = TSocks5Negotiation(m_proxy, m_targetHost, m_targetPort, resolvedTarget);
}

void TfndClientSocket::ConnectTcp(const QString& host, quint16 port)
{
    m_phase = Phase::Connecting;
    m_tcp = new QTcpSocket(this);
    // The SOCKS5 negotiation is ours; no application or system proxy may come in between.
    m_tcp->setProxy(QNetworkProxy::NoProxy);
    connect(m_tcp, &QAbstractSocket::connected, this, &TfndClientSocket::OnTcpConnected);
    connect(m_tcp, &QIODevice::readyRead, this, &TfndClientSocket::OnReadyRead);
    connect(m_tcp, &QAbstractSocket::errorOccurred, this, &TfndClientSocket::OnTcpError);
    connect(m_tcp, &QAbstractSocket::disconnected, this, &TfndClientSocket::OnTcpDisconnected);
    m_tcp->connectToHost(host, port);
}

void TfndClientSocket::OnTcpConnected()
{
    if (!m_useProxy) {
        m_phase = Phase::Connected;
        m_timeOut->stop();
        emit connected();
        return;
    }
    m_phase = Phase::Negotiating;
    m_tcp->write(m_socks.Start());
}

void TfndClientSocket::OnReadyRead()
{
    const QByteArray data = m_tcp->readAll();
    if (m_phase == Phase::Connected) {
        if (!data.isEmpty()) {
            m_received.append(data);
            emit dataAvailable();
        }
        return;
    }
    if (m_phase != Phase::Negotiating)
        return;
    m_socksIn.append(data);
    QByteArray reply;
    const TSocks5Negotiation::Result result = m_socks.Feed(m_socksIn, reply);
    if (result == TSocks5Negotiation::Result::Failed) {
        Fail(m_socks.ErrorCode(), m_socks.ErrorText());
        return;
    }
    if (!reply.isEmpty())
        m_tcp->write(reply);
    if (result == TSocks5Negotiation::Result::Done) {
        m_phase = Phase::Connected;
        m_timeOut->stop();
        // Bytes the destination sent right behind the proxy's reply belong to the owner.
        m_received = std::exchange(m_socksIn, {});
        QPointer<TfndClientSocket> self(this);
        emit connected();
        if (self && m_phase == Phase::Connected && !m_received.isEmpty())
            emit dataAvailable();
    }
}

void TfndClientSocket::OnTcpError(QAbstractSocket::SocketError error)
{
    if (m_phase == Phase::Connected || m_phase == Phase::Idle)
        return; // a remote close or a late error of an established connection is not reported
    if (m_phase == Phase::Negotiating && error == QAbstractSocket::RemoteHostClosedError) {
        OnTcpDisconnected();
        return;
    }
    Fail(TfndTCPClient::WinSockErrorOf(error), m_tcp ? m_tcp->errorString() : QString());
}

void TfndClientSocket::OnTcpDisconnected()
{
    if (m_phase == Phase::Negotiating) {
        m_socks.ConnectionClosed();
        Fail(m_socks.ErrorCode(), m_socks.ErrorText());
    } else if (m_phase == Phase::Connected) {
        m_phase = Phase::Idle;
        m_timeOut->stop();
        emit remoteClosed();
    }
}

void TfndClientSocket::Fail(int code, const QString& text)
{
    Shutdown();
    emit connectFailed(code, text);
}

// ---------------------------------------------------------------------------------------------
// TfndTCPClient

TfndTCPClient::TfndTCPClient(QObject* parent) : QObject(parent) {}

TfndTCPClient::~TfndTCPClient()
{
    if (m_socket)
        m_socket->Shutdown();
}

void TfndTCPClient::RequireInactive() const
{
    if (m_active)
        throw ETcpClientError("Client active");
}

void TfndTCPClient::SetHost(const QString& host)
{
    RequireInactive();
    m_host = host;
}

void TfndTCPClient::SetPort(const QString& port)
{
    RequireInactive();
    m_port = port;
}

void TfndTCPClient::SetProxy(TfndSocks5Proxy* proxy)
{
    RequireInactive();
    m_proxy = proxy;
}

void TfndTCPClient::SetActive(bool active)
{
    if (active == m_active)
        return;
    if (!active) {
        m_active = false;
        if (m_socket)
            m_socket->Shutdown();
        return;
    }
    if (m_host.isEmpty())
        throw ETcpClientError("Host not set");
    if (m_port.isEmpty())
        throw ETcpClientError("Port not set");
    m_errorCode = 0;
    m_errorText.clear();
    if (!m_socket) {
        m_socket = new TfndClientSocket(this);
        connect(m_socket, &TfndClientSocket::connected, this, [this] { emit OnConnected(this); });
        connect(m_socket, &TfndClientSocket::dataAvailable, this, [this] { emit OnDataAvailable(this); });
        connect(m_socket, &TfndClientSocket::connectFailed, this, [this](int code, const QString& text) {
            m_active = false;
            m_errorCode = code;
            m_errorText = text;
            emit OnConnectFailed(this);
        });
        connect(m_socket, &TfndClientSocket::remoteClosed, this, [this] {
            m_active = false;
            emit OnDisconnected(this);
        });
    }
    m_active = true;
    m_socket->Open(m_host, ResolvePort(m_port), m_proxy, m_timeOut);
}

int TfndTCPClient::WinSockErrorOf(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049;
    case QAbstractSocket::NetworkError:
        return 10051;
    case QAbstractSocket::RemoteHostClosedError:
        return 10054;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::HostNotFoundError:
        return kHostNotFound;
    default:
        return 60000;
    }
}

quint16 TfndTCPClient::ResolvePort(const QString& port)
{
    bool ok = false;
    const uint number = port.trimmed().toUInt(&ok);
    if (ok)
        return number <= 65535 ? static_cast<quint16>(number) : 0;
    const QByteArray name = port.trimmed().toLatin1();
    if (name.isEmpty())
        return 0;
    const servent* service = ::getservbyname(name.constData(), "tcp");
    return service ? ntohs(static_cast<quint16>(service->s_port)) : 0;
}
