#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

// Description of a SOCKS5 proxy (RFC 1928, user-name/password authentication RFC 1929).
struct TfndSocks5Proxy
{
    QString Host;
    QString Port = QStringLiteral("1080");
    bool UseAuthentication = false;
    QString Username;
    QString Password;
    bool ResolveThroughProxy = true;
};

// Codes of SOCKS5 failures: 40000 + the proxy's reply code, and the negotiation failures.
namespace Socks5Error {
constexpr int ReplyBase = 40000;
constexpr int NegotiationFailed = 40101;
constexpr int AuthenticationFailed = 40102;
constexpr int InvalidResponse = 40103;
// Failures of our own side of the negotiation.
constexpr int UsernameTooLong = 60001;
constexpr int PasswordTooLong = 60002;
constexpr int DomainNameTooLong = 60003;

// "General socks server failure" ... "Address type not supported" for reply codes 1..8.
QString ReplyText(int replyCode);
} // namespace Socks5Error

// The client side of one SOCKS5 negotiation, as a byte-in/byte-out state machine with no I/O:
// Start() gives the greeting, Feed() takes what the proxy sent and gives what to send next.
class TSocks5Negotiation
{
public:
    enum class Result
    {
        NeedMore,
        Done,
        Failed
    };

    TSocks5Negotiation() = default;
    // target: the destination host (name or dotted IPv4); resolved: its address when the
    // proxy must not resolve names (ResolveThroughProxy false), else null.
    TSocks5Negotiation(const TfndSocks5Proxy& proxy, const QString& target, quint16 port,
                       const QHostAddress& resolved = QHostAddress());

    QByteArray Start();
    // Consumes the bytes of the current step from input (leaves what follows it), appends
    // the next request to output.
    Result Feed(QByteArray& input, QByteArray& output);
    // Called when the proxy closed the connection before the negotiation ended.
    void ConnectionClosed();

    int ErrorCode() const { return m_errorCode; }
    QString ErrorText() const { return m_errorText; }

private:
    enum class Step
    {
        MethodSent,
        AuthSent,
        RequestSent,
        Done,
        Failed
    };
    Result Fail(int code, const QString& text);
    Result SendRequest(QByteArray& output);

    TfndSocks5Proxy m_proxy;
    QString m_target;
    quint16 m_port = 0;
    QHostAddress m_resolved;
    Step m_step = Step::MethodSent;
    int m_errorCode = 0;
    QString m_errorText;
};
