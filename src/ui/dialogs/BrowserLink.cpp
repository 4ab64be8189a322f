#include "ui/dialogs/BrowserLink.h"

#include <QDesktopServices>

namespace {
std::function<void(const QUrl&)>& Opener()
{
    static std::function<void(const QUrl&)> opener;
    return opener;
}
} // namespace

void OpenInBrowser(const QUrl& url)
{
    if (Opener())
        Opener()(url);
    else
        QDesktopServices::openUrl(url);
}

void SetBrowserOpener(std::function<void(const QUrl&)> opener)
{
    Opener() = std::move(opener);
}

QUrl ContactPageUrl(const QString& webBaseUrl)
{
    QString base = webBaseUrl;
    while (base.endsWith(u'/'))
        base.chop(1);
    return QUrl(base + QStringLiteral("/Chat.html"));
}
