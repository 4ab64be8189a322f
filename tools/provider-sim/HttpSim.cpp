#include "HttpSim.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <memory>

QByteArray HttpRequest::Header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

HttpResponse HttpResponse::Text(int status, const QByteArray& reason, const QByteArray& contentType,
                                const QByteArray& body)
{
    HttpResponse r;
    r.status = status;
    r.reason = reason;
    r.headers.append({"Content-Type", contentType});
    r.body = body;
    return r;
}

HttpSim::HttpSim(QObject* parent) : QObject(parent) {}

HttpSim::~HttpSim() = default;

void HttpSim::Route(const QByteArray& method, const QByteArray& path, HttpHandler handler)
{
    m_routes.append({method, path, std::move(handler)});
}

bool HttpSim::Start(const QString& host, quint16 port, QString* error)
{
    m_server = new QTcpServer(this);
    if (!m_server->listen(QHostAddress(host), port)) {
        if (error)
            *error = QStringLiteral("HTTP port %1: %2").arg(port).arg(m_server->errorString());
        return false;
    }
    connect(m_server, &QTcpServer::newConnection, this, &HttpSim::OnNewConnection);
    return true;
}

quint16 HttpSim::Port() const
{
    return m_server ? m_server->serverPort() : 0;
}

std::optional<HttpRequest> HttpSim::Parse(const QByteArray& bytes)
{
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return bytes.size() > MaxRequestBytes ? std::optional<HttpRequest>(HttpRequest{}) : std::nullopt;
    HttpRequest request;
    const QList<QByteArray> lines = bytes.left(headEnd).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || !first[2].startsWith("HTTP/"))
        return HttpRequest{};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return HttpRequest{};
        request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    bool ok = true;
    const QByteArray lengthText = request.Header("Content-Length");
    const qint64 length = lengthText.isEmpty() ? 0 : lengthText.toLongLong(&ok);
    if (!ok || length < 0 || length > MaxRequestBytes)
        return HttpRequest{};
    if (bytes.size() - headEnd - 4 < length)
        return std::nullopt;
    request.method = first[0];
    request.target = first[1];
    request.version = first[2];
    const qsizetype question = request.target.indexOf('?');
    request.path = question < 0 ? request.target : request.target.left(question);
    request.query = question < 0 ? QByteArray() : request.target.mid(question + 1);
    request.body = bytes.mid(headEnd + 4, length);
    return request;
}

void HttpSim::OnNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpSim::OnReadyRead(QTcpSocket* socket)
{
    QByteArray buffer = socket->property("httpBuffer").toByteArray() + socket->readAll();
    if (socket->property("httpAnswered").toBool())
        return;
    const auto request = Parse(buffer);
    if (!request) {
        socket->setProperty("httpBuffer", buffer);
        return;
    }
    socket->setProperty("httpAnswered", true);
    socket->setProperty("httpBuffer", QByteArray());
    if (request->method.isEmpty()) {
        Send(socket, HttpResponse::Text(400, "Bad Request", "text/plain", "bad request\n"));
        return;
    }
    Send(socket, Dispatch(*request));
}

HttpResponse HttpSim::Dispatch(const HttpRequest& request) const
{
    bool pathKnown = false;
    for (const RouteEntry& route : m_routes) {
        if (route.path != request.path)
            continue;
        pathKnown = true;
        if (route.method == "*" || route.method == request.method)
            return route.handler(request);
    }
    if (pathKnown)
        return HttpResponse::Text(405, "Method Not Allowed", "text/plain", "method not allowed\n");
    return HttpResponse::Text(404, "Not Found", "text/plain", "not found\n");
}

void HttpSim::Send(QTcpSocket* socket, const HttpResponse& response)
{
    if (response.stall)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + response.reason + "\r\n";
    bool hasLength = false;
    for (const auto& [name, value] : response.headers) {
        hasLength = hasLength || name.compare("Content-Length", Qt::CaseInsensitive) == 0;
        head += name + ": " + value + "\r\n";
    }
    if (!hasLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";

    const QByteArray body = response.cutAfter >= 0 ? response.body.left(response.cutAfter) : response.body;
    auto finish = [socket, cut = response.cutAfter >= 0, reset = response.resetAfterCut] {
        if (cut && reset)
            socket->abort();
        else
            socket->disconnectFromHost();
    };
    socket->write(head);
    if (response.bytesPerSecond <= 0) {
        socket->write(body);
        finish();
        return;
    }
    // Ten slices a second at the asked rate.
    const qsizetype slice = std::max<qsizetype>(1, response.bytesPerSecond / 10);
    auto* timer = new QTimer(socket);
    auto offset = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, slice, offset, finish] {
        socket->write(body.mid(*offset, slice));
        *offset += slice;
        if (*offset >= body.size()) {
            timer->stop();
            finish();
        }
    });
    timer->start(100);
}
