#include "net/Suggestion.h"

#include "net/Cipher.h"
#include "platform/SystemFacts.h"
#include "platform/Win1252.h"

namespace {
QByteArray Flag(bool on)
{
    return on ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
}

// The end of an HTTP reply whose head announces its length; -1 while the head is incomplete
// or announces none.
qsizetype AnnouncedEnd(const QByteArray& reply)
{
    const qsizetype headEnd = reply.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return -1;
    for (const QByteArray& line : reply.left(headEnd).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const qsizetype length = line.mid(colon + 1).trimmed().toLongLong(&ok);
            return ok && length >= 0 ? headEnd + 4 + length : -1;
        }
    }
    return -1;
}
} // namespace

QByteArray SuggestionBodyOf(const QString& text)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    return ToWin1252(crlf);
}

QByteArray BuildSuggestionForm(const TSuggestionContext& c, const QDateTime& at, const QByteArray& body)
{
    QByteArray f = "DATE_TIME=" + at.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    f += "&GMT=" + QByteArray::number(c.TimeZone);
    f += "&USER=" + ToWin1252(c.Account.UserName);
    f += "&PASSWORD=" + ToWin1252(c.Account.Password);
    f += "&LANGUAGE=" + ToWin1252(c.Account.Language);
    f += "&BODY=" + body;
    f += "&OS=" + c.Identity.OSName;
    f += "&DBVER=" + QByteArray::number(c.PhoneBookVersion);
    f += "&MC=" + c.Identity.MACAddress;
    f += "&OSU=" + c.Identity.OSUser;
    f += "&PVER=" + c.Identity.ProgramVersion;
    f += "&NOSOUND=" + Flag(c.DisableSound);
    f += "&RUNATSTARTUP=" + Flag(c.RunAtStartup);
    f += "&SENDER=" + ToWin1252(c.Sender);
    return f;
}

QByteArray BuildSuggestionRequest(const QString& host, const QByteArray& cipherBody)
{
    return "POST /brelmont_suggestion.aspx HTTP/1.1\r\n"
           "Host: " +
           ToWin1252(host) +
           "\r\n"
           "Content-Length: " +
           QByteArray::number(cipherBody.size()) +
           "\r\n"
           "Connection: Keep-Alive\r\n"
           "Content-type: text/xml\r\n"
           "Accept-Language: it\r\n"
           "Cache-Control: no-cache\r\n"
           "\r\n" +
           cipherBody;
}

bool IsSuggestionAccepted(const QByteArray& reply)
{
    return reply.left(TSuggestionSender::MaxReplyBytes).toUpper().contains("+OK");
}

TSuggestionSender::TSuggestionSender(std::function<TSuggestionContext()> context, QObject* parent)
    : TServiceRequester(parent), m_context(std::move(context))
{
}

TSuggestionSender::~TSuggestionSender() = default;

quint64 TSuggestionSender::SendSuggestion(const QByteArray& body)
{
    const TSuggestionContext context = m_context();
    const QByteArray cipher = EncryptString(BuildSuggestionForm(context, SystemFacts::Now(), body));
    return StartExchange(
        context.Route, BuildSuggestionRequest(context.Route.Host, cipher), MaxReplyBytes,
        &TSuggestionSender::JudgeReply,
        [this](quint64 id, bool ok, const QString& problem, const QByteArray& reply) {
            if (ok && IsSuggestionAccepted(reply)) {
                emit suggestionSent(id);
                return;
            }
            const QByteArray firstLine = reply.split('\n').constFirst().trimmed();
            emit suggestionFailed(
                id, ok ? QStringLiteral("the reply holds no +OK: %1").arg(FromWin1252(firstLine)) : problem);
        });
}

TServiceExchange::Judgement TSuggestionSender::JudgeReply(const QByteArray& reply, bool closed,
                                                          bool truncated)
{
    if (closed && reply.isEmpty())
        return {TServiceExchange::Verdict::Bad, QStringLiteral("the connection closed without a reply")};
    const qsizetype end = AnnouncedEnd(reply);
    const bool decided = IsSuggestionAccepted(reply) || closed || truncated ||
                         reply.size() >= MaxReplyBytes || (end >= 0 && reply.size() >= end);
    return {decided ? TServiceExchange::Verdict::Complete : TServiceExchange::Verdict::NeedMore, {}};
}
