#pragma once

#include <QUrl>
#include <functional>

// Opens a web page in the user's default browser. Tests replace the opener so no browser starts.
void OpenInBrowser(const QUrl& url);

// Replaces the opener; an empty function restores the default browser.
void SetBrowserOpener(std::function<void(const QUrl&)> opener);

// The provider's page behind the "contact us" links: "/Chat.html" on the maker's web host.
QUrl ContactPageUrl(const QString& webBaseUrl);
