#pragma once

#include "net/Socks5.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QTimer;
class TfndTCPClient;

// One submission; text fields are Windows-1252 bytes.
struct TRecSMS
{
    QByteArray Destinations; // numbers separated by ";"
    QByteArray Sender;
    QByteArray Quality;  // "H" or "M"
    QByteArray FileName; // "file.UNI" for a hexadecimal UCS-2 text, else "file.sms"
    QByteArray Text;
    bool FlagF = false;
    bool Anonymous = false;
    double ScheduleTime = 0; // days since 1899-12-30; only values above 30000.0 schedule
};

// The frames and replies of the gateway protocol, without any I/O.
namespace GatewayFrames {
constexpr char Start = 0x0B;
constexpr char End = 0x03;
constexpr char Login = 0x06;
constexpr char Submit = 0x05;
constexpr char Separator = 0x04;
constexpr char ExtraDestination = 0x07;
constexpr char ScheduleDelimiter = 0x09;

// Start byte, payload, checksum (byte sum mod 256 as two upper-case hex digits), end byte.
QByteArray Wrap(const QByteArray& payload);
QByteArray LoginPayload(const QByteArray& userName, const QByteArray& password);
QByteArray SubmitPayload(const TRecSMS& sms);
// Decimal digits with an optional sign and leading blanks; fallback for anything else.
int ReadInteger(const QByteArray& text, int fallback);

// A reply is whole once a line end follows some text; blank lines ahead of it do not end it.
bool EndsALine(const QByteArray& reply);
// Blank lines ahead of a reply are not part of it (the login credit sits at a fixed offset).
QByteArray WithoutLeadingLineBreaks(const QByteArray& reply);

// What a reply means.
bool IsPositive(const QByteArray& reply);
int LoginCredit(const QByteArray& reply);     // after the first 16 characters; 0 when not a number
int SubmitRemaining(const QByteArray& reply); // behind "Remaining:"; -1 when not a number
// 1 "NO MORE CREDITS", 2 "TOO MANY SESSIONS", the number after "-ERR" (-1 when none),
// 0 for a reply with neither "+OK" nor "-ERR".
int SubmitErrorCode(const QByteArray& reply);
} // namespace GatewayFrames

// One exchange with the gateway: log in, then submit one message (send mode) or stop (login-only
// mode). Tries the fallback port once when the first port cannot be reached. A send-mode object
// ends itself (deleteLater) after it has reported its outcome; a login-only object stays and can
// Connect again.
class TSMSServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int ClientTimeOutMs = 20000;
    static constexpr int SubmitPauseMs = 1000;
    // A reply without a line end is taken as complete after this much quiet.
    static constexpr int ReplyQuietMs = 250;
    // A reply is decided at once, on exactly this many bytes, when this much has come without a
    // line end; what follows is dropped.
    static constexpr int MaxReplyBytes = 65536;
    // Login-only status when the gateway closed the connection without answering the login.
    static constexpr int ConnectionClosedStatus = 10054;
    // Login-only status when the login got no answer within the client's time-out.
    static constexpr int NoLoginReplyStatus = 10060;

    TSMSServer(const QString& gatewayHost, quint16 port, quint16 fallbackPort, QObject* parent = nullptr);
    ~TSMSServer() override;

    quint8 Tag = 0;
    QByteArray UserName;
    QByteArray Password;
    quint8 SendMode = 0; // 1 submit after login, 0 login only

    void SetProxy(bool active, const QString& address, int port, bool useAuthentication,
                  const QString& userName, const QString& password);
    // Login-only: a fresh connection attempt.
    void Connect();
    // Send mode: called once, on a fresh object.
    void Send(const TRecSMS& sms);

    quint8 State() const { return m_state; }
    const TRecSMS& Sms() const { return m_sms; }
    TfndTCPClient* Client() const { return m_client; }
    const TfndSocks5Proxy& Proxy() const { return m_proxy; }

signals:
    void OnSMSOKResult(TSMSServer* sender, int remaining);
    void OnSMSErrorResult(TSMSServer* sender, int code, quint8 tag);
    void OnSMSLogin(TSMSServer* sender, int credit, int status, quint8 tag);

private:
    TfndTCPClient* NewClient(quint16 port);
    void ClientConnected();
    void ClientDataAvailable();
    void ClientConnectFailed(TfndTCPClient* failed);
    void ClientDisconnected();
    void LoginReplyTimedOut();
    void SendFrame(const QByteArray& payload);
    void ProcessPending(bool complete);
    void HandleReply(const QByteArray& reply);
    void HandleLoginReply(const QByteArray& reply);
    void HandleSubmitReply(const QByteArray& reply);
    void ReportFailure(int status);
    void EndItself();

    QString m_host;
    quint16 m_port;
    quint16 m_fallbackPort;
    bool m_onFallback = false;
    bool m_proxyAttached = false;
    TfndSocks5Proxy m_proxy;
    TfndTCPClient* m_client = nullptr;
    TRecSMS m_sms;
    quint8 m_state = 0;
    bool m_awaitingReply = false;
    bool m_remoteClosed = false;
    bool m_ended = false;
    QByteArray m_reply;
    QTimer* m_quiet = nullptr;
    QTimer* m_submitPause = nullptr;
    QTimer* m_loginWait = nullptr;
};
