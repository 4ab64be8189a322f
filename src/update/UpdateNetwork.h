#pragma once

#include <QString>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;
class QObject;
class QUrl;

// HTTP as the update services use it: the system's proxy settings (not the program's SOCKS5
// proxy), bodies without content encoding so lengths can be checked against the bytes
// written, a time-out on every request, and redirects followed only within http and https.
QNetworkAccessManager* NewUpdateNetworkAccess(QObject* parent);

// transferTimeoutMs: how long the transfer may go without receiving anything.
QNetworkRequest UpdateRequest(const QUrl& url, int transferTimeoutMs);

bool IsHttpUrl(const QUrl& url);

// Allows each redirect of reply whose target is http or https; any other target calls
// onRefused with the target's text (the caller aborts the reply).
void GuardRedirects(QNetworkReply* reply, QObject* context,
                    const std::function<void(const QString&)>& onRefused);

// The HTTP status of a finished or answering reply; 0 while unknown.
int HttpStatus(const QNetworkReply* reply);

// A base URL ("http://host[:port]", with or without a final "/") followed by an absolute path.
QUrl JoinBaseUrl(const QString& baseUrl, const QString& path);
