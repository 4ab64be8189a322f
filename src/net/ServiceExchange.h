#pragma once

#include "net/Socks5.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QTimer;
class TfndTCPClient;

// Where a service request goes: host and port, through the SOCKS5 proxy when one is set.
struct TServiceRoute
{
    QString Host;
    quint16 Port = 0;
    std::optional<TfndSocks5Proxy> Proxy;
};

// The account values a service request carries; the demo account already stands in for
// empty fields.
struct TServiceAccount
{
    QString UserName;
    QString Password;
    QString Language; // "ITA", "ENG" or "POR"
};

// One request on a fresh connection: connect (directly or through the proxy), write the request,
// collect the reply until the judge calls it complete or bad, then close. A time-out started
// with the connection bounds the whole exchange and ends the connection at once.
class TServiceExchange : public QObject
{
    Q_OBJECT

public:
    enum class Verdict
    {
        NeedMore,
        Complete,
        Bad
    };
    struct Judgement
    {
        Verdict verdict = Verdict::NeedMore;
        QString problem; // why a reply is bad
    };
    // reply: what came so far (at most maxReplyBytes); closed: the peer ended the connection;
    // truncated: more than maxReplyBytes came and the rest was dropped.
    using Judge = std::function<Judgement(const QByteArray& reply, bool closed, bool truncated)>;

    TServiceExchange(TServiceRoute route, QByteArray request, qsizetype maxReplyBytes, Judge judge,
                     int timeOutMs, QObject* parent = nullptr);
    ~TServiceExchange() override;

    // Opens the connection; the outcome always arrives later as finished().
    void Start();
    const QByteArray& Reply() const { return m_reply; }

signals:
    // ok: the judge took the reply as complete; otherwise problem says what went wrong.
    void finished(bool ok, const QString& problem);

private:
    void OnConnected();
    void OnData();
    void OnClosed();
    void OnConnectFailed();
    void JudgeReply(bool closed);
    void Finish(bool ok, const QString& problem);

    TServiceRoute m_route;
    QByteArray m_request;
    qsizetype m_maxReply;
    Judge m_judge;
    int m_timeOutMs;
    TfndTCPClient* m_client = nullptr;
    QTimer* m_timeOut = nullptr;
    QByteArray m_reply;
    bool m_truncated = false;
    bool m_done = false;
};

// The side shared by the services that send requests: each request gets an id and an exchange of
// its own, all under one time-out.
class TServiceRequester : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeOutMs = 30000;

    void SetTimeOut(int ms) { m_timeOutMs = ms; }
    int TimeOut() const { return m_timeOutMs; }
    // Requests whose outcome has not come yet.
    int PendingCount() const { return m_pending; }

protected:
    explicit TServiceRequester(QObject* parent = nullptr) : QObject(parent) {}

    // ok and problem as TServiceExchange::finished gives them; reply is what came.
    using Outcome = std::function<void(quint64 id, bool ok, const QString& problem, const QByteArray& reply)>;
    // Starts one exchange and returns its id; outcome runs once it has ended.
    quint64 StartExchange(const TServiceRoute& route, const QByteArray& request, qsizetype maxReplyBytes,
                          TServiceExchange::Judge judge, Outcome outcome);

private:
    int m_timeOutMs = DefaultTimeOutMs;
    quint64 m_nextId = 1;
    int m_pending = 0;
};
