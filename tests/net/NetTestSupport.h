#pragma once

#include <QTcpServer>
#include <QTcpSocket>

// A loopback port number that nobody listens on (taken from the system, then released).
inline quint16 ClosedLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// A scripted peer on loopback: every connection runs onData with what arrived so far.
class ScriptedPeer : public QObject
{
public:
    using Handler = std::function<void(QTcpSocket*, QByteArray& received)>;

    explicit ScriptedPeer(Handler onData = {}) : m_onData(std::move(onData))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                ++connections;
                last = s;
                QObject::connect(s, &QIODevice::readyRead, this, [this, s] {
                    const QByteArray data = s->readAll();
                    received.append(data);
                    m_buffers[s].append(data);
                    if (m_onData)
                        m_onData(s, m_buffers[s]);
                });
                QObject::connect(s, &QAbstractSocket::disconnected, this, [this] { ++closed; });
            }
        });
    }
    quint16 Port() const { return m_server.serverPort(); }

    int connections = 0;
    int closed = 0;
    QByteArray received; // every byte of every connection
    QTcpSocket* last = nullptr;

private:
    QTcpServer m_server;
    Handler m_onData;
    std::map<QTcpSocket*, QByteArray> m_buffers;
};
