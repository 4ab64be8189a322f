#include "GatewaySim.h"

#include "SimText.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>

namespace {
constexpr char kStart = 0x0B;
constexpr char kEnd = 0x03;
constexpr char kLogin = 0x06;
constexpr char kSubmit = 0x05;
constexpr char kSep = 0x04;
constexpr char kMore = 0x07;
constexpr char kSchedule = 0x09;

// The login reply carries the credit from its 17th character on.
const QByteArray kLoginOk = QByteArrayLiteral("+OK Credit left:");

const QByteArray kMalformed = QByteArrayLiteral("-ERR 10");
const QByteArray kNotLoggedIn = QByteArrayLiteral("-ERR 20");
const QByteArray kTooLong = QByteArrayLiteral("-ERR 12");
const QByteArray kBadDestination = QByteArrayLiteral("-ERR 13");

std::optional<QString> DecodeUcs2Hex(const QByteArray& hex)
{
    static const QRegularExpression digits(QStringLiteral("^([0-9A-F]{4})*$"));
    if (!digits.match(QString::fromLatin1(hex)).hasMatch() || !hex.endsWith("0000"))
        return std::nullopt;
    QString out;
    for (qsizetype i = 0; i + 4 < hex.size(); i += 4)
        out.append(QChar(static_cast<char16_t>(hex.mid(i, 4).toUInt(nullptr, 16))));
    return out;
}

bool IsStop(char c)
{
    return c == kMore || c == kSchedule || c == '\0';
}
} // namespace

GatewaySim::GatewaySim(Options options, QObject* parent) : QObject(parent), m_options(std::move(options)) {}

GatewaySim::~GatewaySim() = default;

void GatewaySim::AddAccount(const QString& user, const SimAccount& account)
{
    m_accounts.insert(user.toLower(), account);
}

std::optional<QString> GatewaySim::PasswordOf(const QString& user) const
{
    const auto account = m_accounts.constFind(user.toLower());
    return account == m_accounts.constEnd() ? std::nullopt : std::optional<QString>(account->password);
}

std::optional<std::pair<QString, SimAccount>> GatewaySim::ParseAccount(const QString& text, QChar separator)
{
    const QStringList f = separator.isSpace() ? text.simplified().split(u' ') : text.split(separator);
    if (f.size() < 3 || f.size() > 4)
        return std::nullopt;
    bool ok = false;
    SimAccount account;
    account.password = f.at(1);
    account.credit = f.at(2).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    if (f.size() == 4)
        account.forcedReply = QString(f.at(3)).replace(u'_', u' ');
    return std::make_pair(f.at(0), account);
}

bool GatewaySim::LoadAccounts(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    QTextStream in(&file);
    int number = 0;
    while (!in.atEnd()) {
        ++number;
        const QString line = in.readLine().section(u'#', 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const auto account = ParseAccount(line, u' ');
        if (!account) {
            *error = QStringLiteral("%1:%2: expected \"user password credit [reply]\"").arg(path).arg(number);
            return false;
        }
        AddAccount(account->first, account->second);
    }
    return true;
}

bool GatewaySim::Start(QString* error)
{
    if (!m_options.logPath.isEmpty()) {
        m_log.setFileName(m_options.logPath);
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append)) {
            *error = QStringLiteral("cannot write %1").arg(m_options.logPath);
            return false;
        }
    }
    return Listen(m_options.port, m_options.primaryClosed, &m_port, error) &&
           Listen(m_options.fallbackPort, m_options.fallbackClosed, &m_fallbackPort, error);
}

bool GatewaySim::Listen(quint16 wanted, bool closed, quint16* chosen, QString* error)
{
    auto* server = new QTcpServer(this);
    if (!server->listen(QHostAddress(m_options.host), wanted)) {
        *error = server->errorString();
        return false;
    }
    *chosen = server->serverPort();
    if (closed) {
        // A port number nobody listens on: connections to it are refused.
        server->close();
        delete server;
        return true;
    }
    m_servers.append(server);
    connect(server, &QTcpServer::newConnection, this, [this, server] { OnNewConnection(server); });
    return true;
}

void GatewaySim::OnNewConnection(QTcpServer* server)
{
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        m_connections.insert(socket, Connection{});
        connect(socket, &QIODevice::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QAbstractSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
    }
}

void GatewaySim::OnReadyRead(QTcpSocket* socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    it->buffer.append(socket->readAll());
    for (;;) {
        QByteArray& buffer = m_connections[socket].buffer;
        const qsizetype start = buffer.indexOf(kStart);
        if (start < 0) {
            buffer.clear();
            return;
        }
        const qsizetype end = buffer.indexOf(kEnd, start);
        if (end < 0) {
            buffer.remove(0, start);
            return;
        }
        const QByteArray frame = buffer.mid(start, end - start + 1);
        buffer.remove(0, end + 1);
        Reply(socket, Handle(socket, frame));
    }
}

std::optional<QByteArray> GatewaySim::Unwrap(const QByteArray& frame)
{
    if (frame.size() < 4 || frame.front() != kStart || frame.back() != kEnd)
        return std::nullopt;
    const QByteArray payload = frame.mid(1, frame.size() - 4);
    const QByteArray checksum = frame.mid(frame.size() - 3, 2);
    int sum = 0;
    for (char c : payload)
        sum = (sum + static_cast<unsigned char>(c)) & 0xFF;
    if (checksum != QByteArray::number(sum, 16).toUpper().rightJustified(2, '0'))
        return std::nullopt;
    return payload;
}

std::optional<SimSubmission> GatewaySim::DecodeSubmit(const QByteArray& p)
{
    if (p.isEmpty() || p.front() != kSubmit)
        return std::nullopt;
    qsizetype pos = 1;
    QList<QByteArray> fields;
    for (int i = 0; i < 5; ++i) {
        const qsizetype sep = p.indexOf(kSep, pos);
        if (sep < 0)
            return std::nullopt;
        fields.append(p.mid(pos, sep - pos));
        pos = sep + 1;
    }
    auto takeUntilStop = [&] {
        const qsizetype from = pos;
        while (pos < p.size() && !IsStop(p.at(pos)))
            ++pos;
        return p.mid(from, pos - from);
    };
    SimSubmission sms;
    sms.destinations.append(fields.at(0));
    sms.sender = fields.at(1);
    if (fields.at(3) != "N" && fields.at(3) != "F")
        return std::nullopt;
    sms.flag = fields.at(3).front();
    if (fields.at(4) == "file.UNI")
        sms.unicode = true;
    else if (fields.at(4) != "file.sms")
        return std::nullopt;
    sms.quality = takeUntilStop();
    if (sms.quality != "H" && sms.quality != "M")
        return std::nullopt;
    while (pos < p.size() && p.at(pos) == kMore) {
        ++pos;
        sms.destinations.append(takeUntilStop());
    }
    if (pos < p.size() && p.at(pos) == kSchedule) {
        const QByteArray block = p.mid(pos, 19);
        static const QRegularExpression form(QStringLiteral("^\\x09DDT\\d{14}\\x09$"));
        if (!form.match(QString::fromLatin1(block)).hasMatch())
            return std::nullopt;
        // A time of the provider's base, not of the local zone: read without any zone.
        const QDate day = QDate::fromString(QString::fromLatin1(block.mid(4, 8)), QStringLiteral("yyyyMMdd"));
        const QTime time = QTime::fromString(QString::fromLatin1(block.mid(12, 6)), QStringLiteral("HHmmss"));
        if (!day.isValid() || !time.isValid())
            return std::nullopt;
        sms.schedule = day.toString(Qt::ISODate) + u'T' + time.toString(Qt::ISODate);
        pos += 19;
    }
    // The payload ends in one zero byte per destination after the first.
    if (p.size() - pos != sms.destinations.size() - 1 || p.mid(pos).count('\0') != p.size() - pos)
        return std::nullopt;
    if (sms.unicode) {
        const auto text = DecodeUcs2Hex(fields.at(2));
        if (!text)
            return std::nullopt;
        sms.text = *text;
    } else {
        sms.text = DecodeCp1252(fields.at(2));
    }
    return sms;
}

int GatewaySim::PartsOf(const SimSubmission& sms)
{
    qsizetype count = sms.text.size();
    if (!sms.unicode) {
        // GSM billing: the extension characters cost two, a CR LF line break one.
        for (QChar c : sms.text) {
            if (QStringView(u"^{}\\[~]|\u20AC").contains(c))
                ++count;
            else if (c == u'\r')
                --count;
        }
    }
    const int limits[2][4] = {{160, 306, 459, 612}, {70, 134, 201, 268}};
    for (int parts = 0; parts < 4; ++parts)
        if (count <= limits[sms.unicode ? 1 : 0][parts])
            return parts + 1;
    return 0;
}

int GatewaySim::SessionsOf(const QString& user) const
{
    int n = 0;
    for (const Connection& c : m_connections)
        n += c.user == user ? 1 : 0;
    return n;
}

QByteArray GatewaySim::Handle(QTcpSocket* socket, const QByteArray& frame)
{
    Connection& connection = m_connections[socket];
    const auto payload = Unwrap(frame);
    if (!payload || payload->isEmpty())
        return kMalformed;
    if (payload->front() == kLogin) {
        const QList<QByteArray> f = payload->mid(1).split(kSep);
        if (f.size() != 3 || !f.at(2).isEmpty())
            return kMalformed;
        const QString user = DecodeCp1252(f.at(0)).toLower();
        const auto account = m_accounts.constFind(user);
        if (account == m_accounts.constEnd() || account->password != DecodeCp1252(f.at(1))) {
            connection.user.clear();
            return QByteArrayLiteral("-ERR LOGIN FAILED");
        }
        connection.user = user;
        return kLoginOk + ' ' + QByteArray::number(account->credit);
    }
    if (payload->front() == kSubmit)
        return HandleSubmit(connection, *payload, frame);
    return kMalformed;
}

QByteArray GatewaySim::HandleSubmit(Connection& connection, const QByteArray& payload,
                                    const QByteArray& frame)
{
    if (connection.user.isEmpty())
        return kNotLoggedIn;
    SimAccount& account = m_accounts[connection.user];
    const auto sms = DecodeSubmit(payload);
    if (!sms)
        return kMalformed;
    static const QRegularExpression number(QStringLiteral("^\\+?\\d{3,20}$"));
    for (const QByteArray& d : sms->destinations)
        if (!number.match(QString::fromLatin1(d)).hasMatch())
            return kBadDestination;
    if (!account.forcedReply.isEmpty())
        return "-ERR " + account.forcedReply.toLatin1();
    if (m_options.maxSessions > 0 && SessionsOf(connection.user) > m_options.maxSessions)
        return QByteArrayLiteral("-ERR TOO MANY SESSIONS");
    const int parts = PartsOf(*sms);
    if (parts == 0)
        return kTooLong;
    const qint64 price = sms->quality == "M" ? m_options.priceMedium : m_options.priceHigh;
    const qint64 charged = price * parts * sms->destinations.size();
    if (charged > account.credit)
        return QByteArrayLiteral("-ERR NO MORE CREDITS");
    account.credit -= charged;
    Log(connection.user, *sms, parts, charged, account.credit, frame);
    return "+OK Remaining: " + QByteArray::number(account.credit);
}

void GatewaySim::Reply(QTcpSocket* socket, const QByteArray& text)
{
    const QByteArray line = text + "\r\n";
    if (m_options.splitReplyMs <= 0) {
        socket->write(line);
        return;
    }
    const qsizetype half = line.size() / 2;
    socket->write(line.left(half));
    socket->flush();
    QTimer::singleShot(m_options.splitReplyMs, socket,
                       [socket, rest = line.mid(half)] { socket->write(rest); });
}

void GatewaySim::Log(const QString& user, const SimSubmission& sms, int parts, qint64 charged,
                     qint64 remaining, const QByteArray& frame)
{
    if (!m_log.isOpen())
        return;
    QJsonArray destinations;
    for (const QByteArray& d : sms.destinations)
        destinations.append(QString::fromLatin1(d));
    QJsonObject entry{
        {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
        {QStringLiteral("user"), user},
        {QStringLiteral("destinations"), destinations},
        {QStringLiteral("sender"), DecodeCp1252(sms.sender)},
        {QStringLiteral("text"), sms.text},
        {QStringLiteral("unicode"), sms.unicode},
        {QStringLiteral("flag"), QString(QLatin1Char(sms.flag))},
        {QStringLiteral("quality"), QString::fromLatin1(sms.quality)},
        {QStringLiteral("schedule"), sms.schedule ? QJsonValue(*sms.schedule) : QJsonValue()},
        {QStringLiteral("parts"), parts},
        {QStringLiteral("charged"), charged},
        {QStringLiteral("remaining"), remaining},
        {QStringLiteral("frame"), QString::fromLatin1(frame.toHex())},
    };
    m_log.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
    m_log.flush();
}
