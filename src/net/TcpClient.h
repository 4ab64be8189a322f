#pragma once

#include "net/Socks5.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <stdexcept>

class QTcpSocket;
class QTimer;

// A refused operation of the TCP client ("Client active", "Host not set", "Port not set").
class ETcpClientError : public std::runtime_error
{
public:
    explicit ETcpClientError(const char* message) : std::runtime_error(message) {}
};

// The connection object of a TfndTCPClient: one TCP connection at a time (direct or through a
// SOCKS5 proxy), its receive buffer and its send queue. The client owns it and drives it.
class TfndClientSocket : public QObject
{
    Q_OBJECT

public:
    explicit TfndClientSocket(QObject* parent = nullptr);
    ~TfndClientSocket() override;

    // Everything received and not yet taken, as one 8-bit text; empties the buffer.
    QByteArray ReadAvailable();
    // At most maxLength bytes from the front of the buffer; the rest stays.
    QByteArray ReadStr(int maxLength);
    // Queues the bytes; they leave in order as soon as the socket accepts them.
    void WriteStr(QByteArrayView text);
    // Stops sending and closes once the queued output has gone (at once when nothing is queued).
    // No event follows.
    void Shutdown();
    // Closes at once: queued output is dropped and nothing more is read. No event follows.
    void Abort();

    qsizetype BytesAvailable() const { return m_received.size(); }

signals:
    void connected();
    void connectFailed(int code, const QString& text);
    void dataAvailable();
    void remoteClosed();

private:
    friend class TfndTCPClient;
    void Open(const QString& host, quint16 port, const TfndSocks5Proxy* proxy, int timeOutMs);
    void ConnectTcp(const QString& host, quint16 port);
    void StartNegotiation(const QHostAddress& resolvedTarget);
    void OnTcpConnected();
    void OnReadyRead();
    void OnTcpError(QAbstractSocket::SocketError error);
    void OnTcpDisconnected();
    void Fail(int code, const QString& text);
    void Release(bool graceful);

    enum class Phase
    {
        Idle,
        Resolving,
        Connecting,
        Negotiating,
        Connected
    };
    Phase m_phase = Phase::Idle;
    QTcpSocket* m_tcp = nullptr;
    QTimer* m_timeOut = nullptr;
    int m_lookupId = -1;
    QByteArray m_received;
    // Negotiation state (proxy connections only).
    TfndSocks5Proxy m_proxy;
    bool m_useProxy = false;
    QString m_targetHost;
    quint16 m_targetPort = 0;
    TSocks5Negotiation m_socks;
    QByteArray m_socksIn;
};

// Asynchronous TCP client with an optional SOCKS5 proxy. Events come from the event loop of
// the thread that owns the client, one at a time.
class TfndTCPClient : public QObject
{
    Q_OBJECT

public:
    explicit TfndTCPClient(QObject* parent = nullptr);
    ~TfndTCPClient() override;

    QString Host() const { return m_host; }
    void SetHost(const QString& host);
    // Decimal port or a service name ("http").
    QString Port() const { return m_port; }
    void SetPort(const QString& port);
    TfndSocks5Proxy* Proxy() const { return m_proxy; }
    void SetProxy(TfndSocks5Proxy* proxy);
    // Limit of one connection attempt (resolution, connect and proxy negotiation), in ms.
    int TimeOut() const { return m_timeOut; }
    void SetTimeOut(int ms) { m_timeOut = ms; }

    bool Active() const { return m_active; }
    // true: starts a connection attempt and returns at once (OnConnected or OnConnectFailed
    // follows). false: closes like Socket()->Shutdown(), without an event.
    void SetActive(bool active);

    // The code of the last failure: WinSock numbers, 400xx/401xx for SOCKS5, 600xx for the
    // client's own failures. Cleared when the client becomes active.
    int ErrorCode() const { return m_errorCode; }
    QString ErrorText() const { return m_errorText; }

    TfndClientSocket* Socket() const { return m_socket; }

    // Maps a Qt socket error onto the WinSock number the program shows.
    static int WinSockErrorOf(QAbstractSocket::SocketError error);
    // The port number of a decimal text or a TCP service name; 0 when neither.
    static quint16 ResolvePort(const QString& port);

signals:
    void OnConnected(TfndTCPClient* sender);
    void OnConnectFailed(TfndTCPClient* sender);
    void OnDataAvailable(TfndTCPClient* sender);
    // The remote end closed an established connection.
    void OnDisconnected(TfndTCPClient* sender);

private:
    void RequireInactive() const;

    QString m_host;
    QString m_port;
    TfndSocks5Proxy* m_proxy = nullptr;
    int m_timeOut = 300000;
    bool m_active = false;
    int m_errorCode = 0;
    QString m_errorText;
    TfndClientSocket* m_socket = nullptr;
};
