#include "update/UpdateNetwork.h"

#include "platform/Paths.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

// The system's settings for this manager only; the application-wide factory stays untouched
// (the gateway session has its own SOCKS5 proxy).
class SystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

constexpr int kMaxRedirects = 10;

QString UserAgent()
{
    const QString name = QFileInfo(ExecutablePath()).fileName();
    return name.isEmpty() ? QStringLiteral("brelmont") : name;
}

} // namespace

QNetworkAccessManager* NewUpdateNetworkAccess(QObject* parent)
{
    auto* network = new QNetworkAccessManager(parent);
    network->setProxyFactory(new SystemProxyFactory); // the manager owns the factory
    return network;
}

QNetworkRequest UpdateRequest(const QUrl& url, int transferTimeoutMs)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    // Set explicitly, Qt neither asks for nor unpacks compressed bodies: Content-Length then
    // counts the very bytes that reach the file.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setTransferTimeout(transferTimeoutMs);
    return request;
}

bool IsHttpUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

void GuardRedirects(QNetworkReply* reply, QObject* context,
                    const std::function<void(const QString&)>& onRefused)
{
    QObject::connect(reply, &QNetworkReply::redirected, context, [reply, onRefused](const QUrl& target) {
        if (IsHttpUrl(target))
            emit reply->redirectAllowed();
        else
            onRefused(target.toString());
    });
}

int HttpStatus(const QNetworkReply* reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

QUrl JoinBaseUrl(const QString& baseUrl, const QString& path)
{
    QString base = baseUrl.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    return QUrl(base + path);
}
