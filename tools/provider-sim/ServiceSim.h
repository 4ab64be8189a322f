#pragma once

#include "HttpSim.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

// What the service port answers to the lookup of one number. The first four are the service's
// answers; the others play a broken service.
enum class SimLookupReply
{
    Found,       // operator, location, reachable
    Ported,      // another operator, PORTED 1
    Unreachable, // STATUS 0
    Fault,       // RESULT -ERR with a FAULTSTRING
    NotCipher,   // plain text instead of cipher text
    NotXml,      // cipher text of something that is no XML
    Bomb,        // a document type declaring nested entities
    Huge,        // 10 MB of cipher text
    Silent       // reads the request and never answers
};

// The fields of a MESSAGE request, unescaped.
struct SimEnvelope
{
    QString dateTime, user, password, type, lang, dest, os, mac, osUser, pver;
};

// The provider's service host as the client meets it: enciphered MESSAGE requests on the service
// port, and the suggestion page (a route of the HTTP endpoints). Everything the client sends is
// deciphered and read with this file's own code, never the client's.
class ServiceSim : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString host = QStringLiteral("127.0.0.1");
        quint16 port = 0;
        QString logPath;                                // JSON lines, one per request
        QString suggestionReply = QStringLiteral("ok"); // ok, error or stall
    };
    using PasswordOf = std::function<std::optional<QString>(const QString& user)>;

    static constexpr qsizetype MaxRequestBytes = 64 * 1024;

    ServiceSim(Options options, PasswordOf passwordOf, QObject* parent = nullptr);
    ~ServiceSim() override;

    // Numbers without a reply of their own are found.
    void SetLookupReply(const QString& number, SimLookupReply reply);
    static std::optional<SimLookupReply> ParseReplyName(const QString& name);
    static QStringList ReplyNames();

    bool Start(QString* error);
    quint16 Port() const;
    // The suggestion page: POST /brelmont_suggestion.aspx.
    HttpResponse HandleSuggestion(const HttpRequest& request);

    // "{02}" and AES-256 blocks without chaining under the program's key, as the service uses it.
    static QByteArray Encipher(const QByteArray& plain);
    // Empty without the marker; the zero filling of the last block is removed.
    static QByteArray Decipher(const QByteArray& text);
    static std::optional<SimEnvelope> DecodeEnvelope(const QByteArray& plain);
    // The suggestion form's fields by name ("DATE_TIME", "GMT", ... "SENDER").
    static std::optional<QList<QPair<QString, QString>>> DecodeSuggestionForm(const QByteArray& form);

private:
    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    void HandleEnvelope(QTcpSocket* socket, const QByteArray& cipher);
    QByteArray LookupReplyText(const QString& number, SimLookupReply reply) const;
    bool CheckLogin(const QString& user, const QString& password) const;
    void Log(QJsonObject entry);

    Options m_options;
    PasswordOf m_passwordOf;
    QTcpServer* m_server = nullptr;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QHash<QString, SimLookupReply> m_replies;
    QFile m_log;
};
