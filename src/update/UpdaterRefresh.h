#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class TFileDownload;

// The updater program beside the executable, refreshed at start when it is an old one.
class TUpdaterRefresh : public QObject
{
    Q_OBJECT

public:
    // The updater's file name here (the Windows build's "Updater.exe").
    static QString FileName() { return QStringLiteral("brelmont-updater"); }
    // An updater this small or larger is current.
    static constexpr qint64 CurrentSize = 1175041;

    // True when FileName() exists in folder, can be opened for reading and is smaller than CurrentSize.
    static bool UpdaterNeedsRefresh(const QString& folder);
    // DownloadBaseUrl + "/updates/LastVersion/" + FileName().
    static QUrl UpdaterUrl(const QString& downloadBaseUrl);

    // When the updater in folder needs it, starts one unobserved download of it into the same
    // file (replaced only when complete) and returns the refresh, which deletes itself when the
    // download ends; otherwise returns null. Nobody waits for it; it ends with the process.
    static TUpdaterRefresh* DownloadUpdater(const QString& folder, const QString& downloadBaseUrl,
                                            QObject* parent);

    TFileDownload* Download() const { return m_download; }

private:
    explicit TUpdaterRefresh(QObject* parent);

    TFileDownload* m_download;
};
