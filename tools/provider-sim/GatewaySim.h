#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class QTcpServer;
class QTcpSocket;

// One account of the stand-in. forcedReply, when set, refuses every submission with
// "-ERR " followed by it ("17", "TOO MANY SESSIONS", ...).
struct SimAccount
{
    QString password;
    qint64 credit = 0; // thousandths of a euro
    QString forcedReply;
};

// A decoded submission.
struct SimSubmission
{
    QList<QByteArray> destinations;
    QByteArray sender;
    QString text;
    bool unicode = false;
    char flag = 'N';
    QByteArray quality;
    std::optional<QString> schedule; // "yyyy-MM-ddTHH:mm:ss"
};

// The provider's gateway as seen by the client: framed login and submit requests, text replies.
// Decodes everything with its own code, so it checks the client's frames independently.
class GatewaySim : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString host = QStringLiteral("127.0.0.1");
        quint16 port = 0;
        quint16 fallbackPort = 0;
        bool primaryClosed = false;
        bool fallbackClosed = false;
        qint64 priceHigh = 100; // per SMS part and recipient
        qint64 priceMedium = 60;
        int maxSessions = 0;  // logged-in connections per account; 0 unlimited
        int splitReplyMs = 0; // send every reply in two pieces this far apart
        QString logPath;
    };

    explicit GatewaySim(Options options, QObject* parent = nullptr);
    ~GatewaySim() override;

    void AddAccount(const QString& user, const SimAccount& account);
    // The password of an account (user names in any letter case), for the other endpoints.
    std::optional<QString> PasswordOf(const QString& user) const;
    // "user password credit [reply]" per line; '#' starts a comment. False with a message on error.
    bool LoadAccounts(const QString& path, QString* error);
    static std::optional<std::pair<QString, SimAccount>> ParseAccount(const QString& text, QChar separator);
    // Listens (or, for a closed port, reserves a free number nobody listens on).
    bool Start(QString* error);
    quint16 Port() const { return m_port; }
    quint16 FallbackPort() const { return m_fallbackPort; }

    // Frame and text decoding, public for the stand-in's own checks.
    static std::optional<QByteArray> Unwrap(const QByteArray& frame);
    static std::optional<SimSubmission> DecodeSubmit(const QByteArray& payload);
    static int PartsOf(const SimSubmission& sms); // 0 when above four parts

private:
    struct Connection
    {
        QByteArray buffer;
        QString user; // empty until logged in
    };

    bool Listen(quint16 wanted, bool closed, quint16* chosen, QString* error);
    void OnNewConnection(QTcpServer* server);
    void OnReadyRead(QTcpSocket* socket);
    QByteArray Handle(QTcpSocket* socket, const QByteArray& frame);
    QByteArray HandleSubmit(Connection& connection, const QByteArray& payload, const QByteArray& frame);
    void Reply(QTcpSocket* socket, const QByteArray& text);
    int SessionsOf(const QString& user) const;
    void Log(const QString& user, const SimSubmission& sms, int parts, qint64 charged, qint64 remaining,
             const QByteArray& frame);

    Options m_options;
    quint16 m_port = 0;
    quint16 m_fallbackPort = 0;
    QList<QTcpServer*> m_servers;
    QHash<QString, SimAccount> m_accounts;
    QHash<QTcpSocket*, Connection> m_connections;
    QFile m_log;
};
