#pragma once

#include <QString>
#include <optional>

// Notices of the update check and download in the main window's notice area, by language
// code; nothing for a code outside the three languages. Each has a fixed strip name, so a
// repeated notice replaces the earlier one.
namespace UpdateTexts {

QString NoUpdatesNoticeName(); // "FR_NOUPDATES"
std::optional<QString> NoUpdatesNotice(const QString& code);

QString DownloadFailedNoticeName(); // "FR_UPDATEFAILED"
std::optional<QString> DownloadFailedNotice(const QString& code);
std::optional<QString> SetupNotStartedNotice(const QString& code);

} // namespace UpdateTexts
