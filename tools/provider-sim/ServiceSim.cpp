#include "ServiceSim.h"

#include "SimText.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <openssl/evp.h>

namespace {
const QByteArray kMarker = QByteArrayLiteral("{02}");
const QByteArray kEndTag = QByteArrayLiteral("</MESSAGE>");
constexpr int kBlock = 16;
constexpr qsizetype kHugeBytes = 10 * 1024 * 1024;

struct ReplyName
{
    SimLookupReply reply;
    const char* name;
};
constexpr ReplyName kReplyNames[] = {
    {SimLookupReply::Found, "found"},
    {SimLookupReply::Ported, "ported"},
    {SimLookupReply::Unreachable, "unreachable"},
    {SimLookupReply::Fault, "fault"},
    {SimLookupReply::NotCipher, "not-cipher"},
    {SimLookupReply::NotXml, "not-xml"},
    {SimLookupReply::Bomb, "bomb"},
    {SimLookupReply::Huge, "huge"},
    {SimLookupReply::Silent, "silent"},
};

QString NameOf(SimLookupReply reply)
{
    for (const ReplyName& r : kReplyNames)
        if (r.reply == reply)
            return QString::fromLatin1(r.name);
    return {};
}

// The service's key: the 16 key characters and zero bytes up to 32.
QByteArray ServiceKey()
{
    QByteArray key = QByteArrayLiteral("Fq8%Wd3!Nx7&Rb2#");
    key.append(32 - key.size(), '\0');
    return key;
}

QByteArray Aes(const QByteArray& blocks, bool encrypt)
{
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        &EVP_CIPHER_CTX_free);
    const QByteArray key = ServiceKey();
    QByteArray out(blocks.size() + kBlock, '\0');
    int n = 0;
    int last = 0;
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    if (!ctx ||
        !EVP_CipherInit_ex(ctx.get(), EVP_aes_256_ecb(), nullptr,
                           reinterpret_cast<const unsigned char*>(key.constData()), nullptr, encrypt) ||
        !EVP_CIPHER_CTX_set_padding(ctx.get(), 0) ||
        !EVP_CipherUpdate(ctx.get(), o, &n, reinterpret_cast<const unsigned char*>(blocks.constData()),
                          static_cast<int>(blocks.size())) ||
        !EVP_CipherFinal_ex(ctx.get(), o + n, &last))
        return {};
    out.resize(n + last);
    return out;
}

QByteArray PadToBlocks(QByteArray data)
{
    if (data.size() % kBlock)
        data.append(kBlock - data.size() % kBlock, '\0');
    return data;
}

// The client's escapes undone: the five entities, numeric references and doubled backslashes.
std::optional<QByteArray> Unescape(const QByteArray& text)
{
    static const QList<QPair<QByteArray, char>> entities = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        const char c = text.at(i);
        if (c == '\\') {
            if (i + 1 >= text.size() || text.at(i + 1) != '\\')
                return std::nullopt; // a backslash always comes doubled
            out.append('\\');
            i += 2;
            continue;
        }
        if (c != '&') {
            out.append(c);
            ++i;
            continue;
        }
        const qsizetype semicolon = text.indexOf(';', i);
        if (semicolon < 0)
            return std::nullopt;
        const QByteArray entity = text.mid(i, semicolon - i + 1);
        bool known = false;
        for (const auto& [name, value] : entities) {
            if (entity == name) {
                out.append(value);
                known = true;
            }
        }
        if (!known) {
            bool ok = false;
            const int code = entity.startsWith("&#") ? entity.mid(2, entity.size() - 3).toInt(&ok) : -1;
            if (!ok || code < 0 || code > 255)
                return std::nullopt;
            out.append(static_cast<char>(code));
        }
        i = semicolon + 1;
    }
    return out;
}

QByteArray Element(const char* name, const QByteArray& content)
{
    return '<' + QByteArray(name) + '>' + content + "</" + QByteArray(name) + '>';
}

QByteArray Refusal(const char* element, const QByteArray& text)
{
    return "<MESSAGE>" + Element("RESULT", "-ERR") + Element(element, text) + "</MESSAGE>";
}

QJsonObject EnvelopeJson(const SimEnvelope& e)
{
    return {{QStringLiteral("date_time"), e.dateTime},
            {QStringLiteral("user"), e.user},
            {QStringLiteral("password"), e.password},
            {QStringLiteral("type"), e.type},
            {QStringLiteral("lang"), e.lang},
            {QStringLiteral("dest"), e.dest},
            {QStringLiteral("os"), e.os},
            {QStringLiteral("mac"), e.mac},
            {QStringLiteral("osuser"), e.osUser},
            {QStringLiteral("pver"), e.pver}};
}
} // namespace

ServiceSim::ServiceSim(Options options, PasswordOf passwordOf, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_passwordOf(std::move(passwordOf))
{
}

ServiceSim::~ServiceSim() = default;

void ServiceSim::SetLookupReply(const QString& number, SimLookupReply reply)
{
    m_replies.insert(number, reply);
}

std::optional<SimLookupReply> ServiceSim::ParseReplyName(const QString& name)
{
    for (const ReplyName& r : kReplyNames)
        if (name == QLatin1StringView(r.name))
            return r.reply;
    return std::nullopt;
}

QStringList ServiceSim::ReplyNames()
{
    QStringList names;
    for (const ReplyName& r : kReplyNames)
        names.append(QString::fromLatin1(r.name));
    return names;
}

bool ServiceSim::Start(QString* error)
{
    if (!m_options.logPath.isEmpty()) {
        m_log.setFileName(m_options.logPath);
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append)) {
            *error = QStringLiteral("cannot write %1").arg(m_options.logPath);
            return false;
        }
    }
    m_server = new QTcpServer(this);
    if (!m_server->listen(QHostAddress(m_options.host), m_options.port)) {
        *error = QStringLiteral("service port %1: %2").arg(m_options.port).arg(m_server->errorString());
        return false;
    }
    connect(m_server, &QTcpServer::newConnection, this, &ServiceSim::OnNewConnection);
    return true;
}

quint16 ServiceSim::Port() const
{
    return m_server ? m_server->serverPort() : 0;
}

QByteArray ServiceSim::Encipher(const QByteArray& plain)
{
    return kMarker + Aes(PadToBlocks(plain), true);
}

QByteArray ServiceSim::Decipher(const QByteArray& text)
{
    if (!text.startsWith(kMarker))
        return {};
    QByteArray plain = Aes(PadToBlocks(text.mid(kMarker.size())), false);
    while (plain.endsWith('\0'))
        plain.chop(1);
    return plain;
}

std::optional<SimEnvelope> ServiceSim::DecodeEnvelope(const QByteArray& plain)
{
    // Sixteen parts in their order, no white space between them; values hold no markup.
    static const QRegularExpression form(QStringLiteral(
        "^<MESSAGE><DATE_TIME>(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)</DATE_TIME>"
        "<USER>([^<]*)</USER><CARRIER>DALVENOR</CARRIER><PASS>([^<]*)</PASS><TYPE>([^<]*)</TYPE>"
        "<LANG>([A-Z]{2})</LANG><DEST>([^<]*)</DEST><OS>([^<]*)</OS><FVER></FVER>"
        "<MAC>([0-9a-f]{2}(?:-[0-9a-f]{2}){5})</MAC><OSUSER>([^<]*)</OSUSER><PVER>([^<]*)</PVER>"
        "<SENT>XML</SENT><SUM></SUM></MESSAGE>$"));
    // Latin-1 keeps every byte as one character, so the groups map back to the bytes.
    const QRegularExpressionMatch m = form.match(QString::fromLatin1(plain));
    if (!m.hasMatch())
        return std::nullopt;
    QString values[10];
    for (int i = 0; i < 10; ++i) {
        const auto raw = Unescape(m.captured(i + 1).toLatin1());
        if (!raw)
            return std::nullopt;
        values[i] = DecodeCp1252(*raw);
    }
    return SimEnvelope{values[0], values[1], values[2], values[3], values[4],
                       values[5], values[6], values[7], values[8], values[9]};
}

std::optional<QList<QPair<QString, QString>>> ServiceSim::DecodeSuggestionForm(const QByteArray& form)
{
    // Values are not encoded, so the fields before the text are found from the front and those
    // after it from the back; the text is what lies between.
    static const char* const front[] = {
        "DATE_TIME=", "&GMT=", "&USER=", "&PASSWORD=", "&LANGUAGE=", "&BODY="};
    static const char* const back[] = {
        "&OS=", "&DBVER=", "&MC=", "&OSU=", "&PVER=", "&NOSOUND=", "&RUNATSTARTUP=", "&SENDER="};
    QList<qsizetype> starts;
    QList<QByteArray> names;
    qsizetype pos = 0;
    for (const char* prefix : front) {
        pos = form.indexOf(prefix, pos);
        if (pos < 0 || (starts.isEmpty() && pos != 0))
            return std::nullopt;
        starts.append(pos);
        names.append(prefix);
        pos += qstrlen(prefix);
    }
    const qsizetype bodyStart = pos;
    QList<qsizetype> backStarts;
    qsizetype end = form.size();
    for (int i = std::size(back) - 1; i >= 0; --i) {
        end = form.lastIndexOf(back[i], end - 1);
        if (end < bodyStart)
            return std::nullopt;
        backStarts.prepend(end);
    }
    for (int i = 0; i < int(std::size(back)); ++i) {
        starts.append(backStarts.at(i));
        names.append(back[i]);
    }
    starts.append(form.size());
    QList<QPair<QString, QString>> fields;
    for (qsizetype i = 0; i + 1 < starts.size(); ++i) {
        const qsizetype from = starts.at(i) + names.at(i).size();
        QString name = QString::fromLatin1(names.at(i)).remove(u'&');
        name.chop(1);
        fields.append({name, DecodeCp1252(form.mid(from, starts.at(i + 1) - from))});
    }
    static const QRegularExpression digits14(QStringLiteral("^\\d{14}$"));
    static const QRegularExpression flag(QStringLiteral("^[01]$"));
    bool gmtOk = false;
    const int gmt = fields.at(1).second.toInt(&gmtOk);
    if (!digits14.match(fields.at(0).second).hasMatch() || !gmtOk || gmt < -12 || gmt > 12 ||
        !flag.match(fields.at(11).second).hasMatch() || !flag.match(fields.at(12).second).hasMatch())
        return std::nullopt;
    return fields;
}

void ServiceSim::OnNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, {});
        connect(socket, &QIODevice::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QAbstractSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void ServiceSim::OnReadyRead(QTcpSocket* socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    it->append(socket->readAll());
    const QByteArray& buffer = *it;
    QString problem;
    if (!kMarker.startsWith(buffer.left(kMarker.size())))
        problem = QStringLiteral("the request is not cipher text");
    else if (buffer.size() > MaxRequestBytes)
        problem = QStringLiteral("the request is too long");
    if (!problem.isEmpty()) {
        Log({{QStringLiteral("kind"), QStringLiteral("lookup")},
             {QStringLiteral("ok"), false},
             {QStringLiteral("error"), problem}});
        m_buffers.remove(socket);
        socket->abort();
        socket->deleteLater();
        return;
    }
    // A request is whole once its blocks decipher to the closing tag.
    if (buffer.size() > kMarker.size() && (buffer.size() - kMarker.size()) % kBlock == 0 &&
        Decipher(buffer).contains(kEndTag)) {
        const QByteArray request = std::exchange(*it, {});
        HandleEnvelope(socket, request);
    }
}

bool ServiceSim::CheckLogin(const QString& user, const QString& password) const
{
    const auto expected = m_passwordOf ? m_passwordOf(user) : std::nullopt;
    return expected && *expected == password;
}

void ServiceSim::HandleEnvelope(QTcpSocket* socket, const QByteArray& cipher)
{
    const QByteArray plain = Decipher(cipher);
    const auto envelope = DecodeEnvelope(plain);
    QJsonObject entry{{QStringLiteral("kind"), QStringLiteral("lookup")},
                      {QStringLiteral("envelope"), DecodeCp1252(plain)}};
    QByteArray reply;
    if (!envelope) {
        entry.insert(QStringLiteral("ok"), false);
        entry.insert(QStringLiteral("error"), QStringLiteral("malformed request"));
        reply = Encipher(Refusal("FAULTSTRING", "Malformed request"));
    } else {
        entry.insert(QStringLiteral("fields"), EnvelopeJson(*envelope));
        SimLookupReply kind = m_replies.value(envelope->dest, SimLookupReply::Found);
        if (envelope->type != u"Lookup") {
            entry.insert(QStringLiteral("error"), QStringLiteral("unknown request type"));
            reply = Encipher(Refusal("FAULTSTRING", "Unknown request type"));
        } else if (!CheckLogin(envelope->user, envelope->password)) {
            entry.insert(QStringLiteral("error"), QStringLiteral("login failed"));
            reply = Encipher(Refusal("BALOON_TEXT", "Invalid user name or password"));
        } else if (kind == SimLookupReply::NotCipher) {
            reply = QByteArrayLiteral("-ERR service unavailable\r\n");
        } else if (kind != SimLookupReply::Silent) {
            reply = Encipher(LookupReplyText(envelope->dest, kind));
        }
        entry.insert(QStringLiteral("ok"), !entry.contains(QStringLiteral("error")));
        entry.insert(QStringLiteral("reply"), NameOf(kind));
    }
    Log(entry);
    // The connection stays open: the client decides when the reply is whole.
    socket->write(reply);
}

QByteArray ServiceSim::LookupReplyText(const QString& number, SimLookupReply reply) const
{
    QByteArray msisdn = number.toLatin1();
    msisdn.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    auto details = [&](const char* operatorName, const char* mnc, const char* ported, const char* status,
                       const QByteArray& location) {
        QByteArray d =
            "<?xml version=\"1.0\" encoding=\"windows-1252\"?><MESSAGE>" + Element("RESULT", "+OK") +
            Element("OPERATOR",
                    Element("OPERATOR_NAME", operatorName) + Element("MCC", "222") + Element("MNC", mnc)) +
            Element("MSISDN_DATA", Element("MSISDN", msisdn) + Element("PORTED", ported)) +
            Element("PRESENCE", Element("STATUS", status));
        if (!location.isEmpty())
            d += Element("LOCATION", Element("LOCATION_NAME", location));
        return d + "</MESSAGE>";
    };
    switch (reply) {
    case SimLookupReply::Found:
        return details("TarvoMobile", "88", "0", "1", QByteArray("Citt\xe0 di Castello"));
    case SimLookupReply::Ported:
        return details("Vireo Telecom", "10", "1", "1", "Milano");
    case SimLookupReply::Unreachable:
        return details("TarvoMobile", "88", "0", "0", {});
    case SimLookupReply::Fault:
        return Refusal("FAULTSTRING", "Number not in service");
    case SimLookupReply::NotXml:
        return "Service temporarily unavailable";
    case SimLookupReply::Bomb: {
        QByteArray dtd = "<!ENTITY e0 \"lol\">";
        for (int i = 1; i < 10; ++i)
            dtd += "<!ENTITY e" + QByteArray::number(i) + " \"" +
                   QByteArray("&e" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
        return "<?xml version=\"1.0\"?><!DOCTYPE MESSAGE [" + dtd + "]><MESSAGE>" + Element("RESULT", "+OK") +
               Element("BALOON_TEXT", "&e9;") + "</MESSAGE>";
    }
    case SimLookupReply::Huge:
        return "<MESSAGE>" + Element("RESULT", "+OK") + Element("BALOON_TEXT", QByteArray(kHugeBytes, 'x')) +
               "</MESSAGE>";
    case SimLookupReply::NotCipher:
    case SimLookupReply::Silent:
        break;
    }
    return {};
}

HttpResponse ServiceSim::HandleSuggestion(const HttpRequest& request)
{
    QJsonArray head{QString::fromLatin1(request.method + ' ' + request.target + ' ' + request.version)};
    QList<QByteArray> names;
    for (const auto& [name, value] : request.headers) {
        head.append(QString::fromLatin1(name + ": " + value));
        names.append(name);
    }
    QJsonObject entry{{QStringLiteral("kind"), QStringLiteral("suggestion")}, {QStringLiteral("head"), head}};
    auto refuse = [&](int status, const QByteArray& reason, const QString& problem) {
        entry.insert(QStringLiteral("ok"), false);
        entry.insert(QStringLiteral("error"), problem);
        Log(entry);
        return HttpResponse::Text(status, reason, "text/plain", "-ERR " + problem.toLatin1() + "\r\n");
    };
    // The client's request lines, in this order and spelling.
    const QList<QByteArray> expected{"Host",         "Content-Length",  "Connection",
                                     "Content-type", "Accept-Language", "Cache-Control"};
    if (request.version != "HTTP/1.1" || request.target != "/brelmont_suggestion.aspx" || names != expected ||
        request.Header("Host").isEmpty() || request.Header("Connection") != "Keep-Alive" ||
        request.Header("Content-type") != "text/xml" || request.Header("Accept-Language") != "it" ||
        request.Header("Cache-Control") != "no-cache")
        return refuse(400, "Bad Request", QStringLiteral("unexpected request head"));
    if (!request.body.startsWith(kMarker) || (request.body.size() - kMarker.size()) % kBlock != 0)
        return refuse(400, "Bad Request", QStringLiteral("the body is not cipher text"));
    const QByteArray form = Decipher(request.body);
    entry.insert(QStringLiteral("form"), DecodeCp1252(form));
    const auto fields = DecodeSuggestionForm(form);
    if (!fields)
        return refuse(400, "Bad Request", QStringLiteral("malformed form"));
    QJsonObject values;
    for (const auto& [name, value] : *fields)
        values.insert(name, value);
    entry.insert(QStringLiteral("fields"), values);
    if (!CheckLogin(values.value(QStringLiteral("USER")).toString(),
                    values.value(QStringLiteral("PASSWORD")).toString()))
        return refuse(200, "OK", QStringLiteral("LOGIN FAILED"));
    entry.insert(QStringLiteral("ok"), true);
    entry.insert(QStringLiteral("reply"), m_options.suggestionReply);
    Log(entry);
    if (m_options.suggestionReply == u"stall") {
        HttpResponse stalled;
        stalled.stall = true;
        return stalled;
    }
    if (m_options.suggestionReply == u"error")
        return HttpResponse::Text(200, "OK", "text/plain", "-ERR suggestion refused\r\n");
    return HttpResponse::Text(200, "OK", "text/plain", "+OK\r\n");
}

void ServiceSim::Log(QJsonObject entry)
{
    if (!m_log.isOpen())
        return;
    entry.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    m_log.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
    m_log.flush();
}
