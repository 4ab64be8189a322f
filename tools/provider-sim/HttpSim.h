#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

// One HTTP request as the stand-in read it.
struct HttpRequest
{
    QByteArray method;                            // "GET", "POST", ...
    QByteArray target;                            // as sent: path and query
    QByteArray path;                              // target without the query
    QByteArray query;                             // after '?', without it
    QByteArray version;                           // "HTTP/1.1"
    QList<QPair<QByteArray, QByteArray>> headers; // in order, names as sent
    QByteArray body;

    // The first header of that name (case-insensitive), or an empty value.
    QByteArray Header(const QByteArray& name) const;
};

// What the stand-in answers. The behaviour fields play a failing or slow server.
struct HttpResponse
{
    int status = 200;
    QByteArray reason = "OK";
    QList<QPair<QByteArray, QByteArray>> headers; // Content-Length is added unless present
    QByteArray body;

    qint64 cutAfter = -1;       // send only this many body bytes, then close (Content-Length stays full)
    bool resetAfterCut = false; // abort the connection instead of closing it after the cut
    int bytesPerSecond = 0;     // 0: at once; otherwise the body trickles out at this rate
    bool stall = false;         // read the request and never answer

    static HttpResponse Text(int status, const QByteArray& reason, const QByteArray& contentType,
                             const QByteArray& body);
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

// A small HTTP/1.1 server for the stand-in's web endpoints: one request per connection,
// answered with "Connection: close". Handlers are looked up by method and path; an unknown
// path gets 404. Requests are read with this file's own code, never the client's.
class HttpSim : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype MaxRequestBytes = 16 * 1024 * 1024;

    explicit HttpSim(QObject* parent = nullptr);
    ~HttpSim() override;

    // method "*" matches any method.
    void Route(const QByteArray& method, const QByteArray& path, HttpHandler handler);
    bool Start(const QString& host, quint16 port, QString* error);
    quint16 Port() const;

    // Parses one whole request from the bytes received so far: nullopt while incomplete;
    // a request with an empty method when the bytes are not HTTP.
    static std::optional<HttpRequest> Parse(const QByteArray& bytes);

private:
    struct RouteEntry
    {
        QByteArray method;
        QByteArray path;
        HttpHandler handler;
    };

    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    HttpResponse Dispatch(const HttpRequest& request) const;
    void Send(QTcpSocket* socket, const HttpResponse& response);

    QTcpServer* m_server = nullptr;
    QList<RouteEntry> m_routes;
};
