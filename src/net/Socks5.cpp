#include "net/Socks5.h"

#include "platform/Win1252.h"

#include <QRegularExpression>

namespace {
constexpr char kVersion = 0x05;
constexpr char kMethodNone = 0x00;
constexpr char kMethodUserPass = 0x02;
constexpr char kAuthVersion = 0x01;
constexpr char kCommandConnect = 0x01;
constexpr int kMaxReply = 296;

bool IsDottedIPv4(const QString& host)
{
    static const QRegularExpression dotted(QStringLiteral("^\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
    QHostAddress address;
    return dotted.match(host).hasMatch() && address.setAddress(host) &&
           address.protocol() == QAbstractSocket::IPv4Protocol;
}

void AppendAddress(QByteArray& out, const QHostAddress& address)
{
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        const quint32 v4 = address.toIPv4Address();
        out.append(char(0x01));
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(static_cast<char>((v4 >> shift) & 0xFF));
    } else {
        const Q_IPV6ADDR v6 = address.toIPv6Address();
        out.append(char(0x04));
        out.append(reinterpret_cast<const char*>(v6.c), 16);
    }
}
} // namespace

QString Socks5Error::ReplyText(int replyCode)
{
    static const char* const texts[] = {
        "General socks server failure", "Connection not allowed by rule set",
        "Network unreachable",          "Host unreachable",
        "Connection refused",           "Socks error: TTL expired",
        "Socks command not supported",  "Address type not supported",
    };
    if (replyCode >= 1 && replyCode <= 8)
        return QString::fromLatin1(texts[replyCode - 1]);
    return QStringLiteral("Socks error #%1").arg(replyCode);
}

TSocks5Negotiation::TSocks5Negotiation(const TfndSocks5Proxy& proxy, const QString& target, quint16 port,
                                       const QHostAddress& resolved)
    : m_proxy(proxy), m_target(target), m_port(port), m_resolved(resolved)
{
}

QByteArray TSocks5Negotiation::Start()
{
    m_step = Step::MethodSent;
    m_errorCode = 0;
    m_errorText.clear();
    // Exactly one method is offered.
    QByteArray greeting;
    greeting.append(kVersion);
    greeting.append(char(0x01));
    greeting.append(m_proxy.UseAuthentication ? kMethodUserPass : kMethodNone);
    return greeting;
}

TSocks5Negotiation::Result TSocks5Negotiation::Fail(int code, const QString& text)
{
    m_step = Step::Failed;
    m_errorCode = code;
    m_errorText = text;
    return Result::Failed;
}

TSocks5Negotiation::Result TSocks5Negotiation::SendRequest(QByteArray& output)
{
    QByteArray request;
    request.append(kVersion);
    request.append(kCommandConnect);
    request.append(char(0x00));
    if (m_proxy.ResolveThroughProxy && !IsDottedIPv4(m_target)) {
        const QByteArray name = m_target.toUtf8();
        if (name.size() >= 256)
            return Fail(Socks5Error::DomainNameTooLong,
                        QStringLiteral("Domain name too long for use with SOCKS"));
        request.append(char(0x03));
        request.append(static_cast<char>(name.size()));
        request.append(name);
    } else {
        AppendAddress(request, m_proxy.ResolveThroughProxy ? QHostAddress(m_target) : m_resolved);
    }
    request.append(static_cast<char>(m_port >> 8));
    request.append(static_cast<char>(m_port & 0xFF));
    output.append(request);
    m_step = Step::RequestSent;
    return Result::NeedMore;
}

TSocks5Negotiation::Result TSocks5Negotiation::Feed(QByteArray& input, QByteArray& output)
{
    switch (m_step) {
    case Step::MethodSent: {
        if (input.size() < 2)
            return Result::NeedMore;
        const char version = input.at(0);
        const char method = input.at(1);
        input.remove(0, 2);
        if (version != kVersion || (method != kMethodNone && method != kMethodUserPass))
            return Fail(Socks5Error::NegotiationFailed, QStringLiteral("Socks negotiation failed"));
        if (method == kMethodNone)
            return SendRequest(output);
        // The proxy chose user name/password: it gets the configured (possibly empty) values.
        const QByteArray user = ToWin1252(m_proxy.Username);
        const QByteArray password = ToWin1252(m_proxy.Password);
        if (user.size() >= 256)
            return Fail(Socks5Error::UsernameTooLong, QStringLiteral("Username too long for use with SOCKS"));
        if (password.size() >= 256)
            return Fail(Socks5Error::PasswordTooLong, QStringLiteral("Password too long for use with SOCKS"));
        output.append(kAuthVersion);
        output.append(static_cast<char>(user.size()));
        output.append(user);
        output.append(static_cast<char>(password.size()));
        output.append(password);
        m_step = Step::AuthSent;
        return Result::NeedMore;
    }
    case Step::AuthSent: {
        if (input.size() < 2)
            return Result::NeedMore;
        const char status = input.at(1);
        input.remove(0, 2);
        if (status != 0x00)
            return Fail(Socks5Error::AuthenticationFailed, QStringLiteral("Socks authentication failed"));
        return SendRequest(output);
    }
    case Step::RequestSent: {
        if (input.size() < 5)
            return Result::NeedMore;
        const auto addressType = static_cast<unsigned char>(input.at(3));
        int total = 0;
        switch (addressType) {
        case 0x01:
            total = 10;
            break;
        case 0x03:
            total = 7 + static_cast<unsigned char>(input.at(4));
            break;
        case 0x04:
            total = 22;
            break;
        default:
            return Fail(Socks5Error::InvalidResponse,
                        QStringLiteral("Socks5 Address type #%1 not supported").arg(addressType));
        }
        if (total > kMaxReply || input.at(0) != kVersion)
            return Fail(Socks5Error::InvalidResponse, QStringLiteral("Invalid response from Socks server"));
        if (input.size() < total)
            return Result::NeedMore;
        const auto reply = static_cast<unsigned char>(input.at(1));
        input.remove(0, total);
        if (reply != 0)
            return Fail(Socks5Error::ReplyBase + reply, Socks5Error::ReplyText(reply));
        m_step = Step::Done;
        return Result::Done;
    }
    case Step::Done:
        return Result::Done;
    case Step::Failed:
        break;
    }
    return Result::Failed;
}

void TSocks5Negotiation::ConnectionClosed()
{
    switch (m_step) {
    case Step::MethodSent:
        Fail(Socks5Error::NegotiationFailed, QStringLiteral("Socks negotiation failed"));
        break;
    case Step::AuthSent:
        Fail(Socks5Error::AuthenticationFailed, QStringLiteral("Socks authentication failed"));
        break;
    case Step::RequestSent:
        Fail(Socks5Error::InvalidResponse, QStringLiteral("Invalid response from Socks server"));
        break;
    case Step::Done:
    case Step::Failed:
        break;
    }
}
