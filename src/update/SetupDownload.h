#pragma once

#include "update/FileDownload.h"
#include "update/LastVersion.h"

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// The download of the published setup program: reads the description again for the SETUP
// address (and the optional SHA256 digest), fetches that file into the user's data folder under
// the file name the address ends with, verifies it, makes it executable and, unless told
// otherwise, starts it detached. Without blocking; outcomes by signals.
class TSetupDownload : public QObject
{
    Q_OBJECT

public:
    // Used when the SETUP address ends in no usable file name.
    static QString DefaultSetupFileName() { return QStringLiteral("Brelmont-Setup"); }

    explicit TSetupDownload(QObject* parent = nullptr);
    ~TSetupDownload() override;

    void SetDescriptionUrl(const QUrl& url);
    // Defaults to UserDataFolder().
    void SetTargetFolder(const QString& folder) { m_targetFolder = folder; }
    // A fixed file instead of the target folder and the address's file name.
    void SetOutputFile(const QString& file) { m_outputFile = file; }
    // Whether a verified file is started (default true).
    void SetRunSetup(bool run) { m_runSetup = run; }
    void SetTimeout(int ms);

    // Starts the download (started follows at once); false and nothing else while one runs.
    bool Start();
    // Stops it: the partial file is removed and failed(Cancelled) follows. Nothing when idle.
    void Cancel();
    bool IsRunning() const { return m_running; }

    // The file name the setup address ends with, or DefaultSetupFileName() when it names none
    // that is safe to create (empty, hidden, or with a path separator once decoded).
    static QString SetupFileName(const QUrl& setupUrl);
    // Starts the file detached in its own folder; false with the reason when it cannot.
    static bool StartSetup(const QString& file, QString* error);

signals:
    void started();
    void progress(qint64 received, qint64 total);
    // Complete and verified, and started unless SetRunSetup(false).
    void finished(const QString& setupFile);
    void failed(TFileDownload::Failure failure, const QString& detail);

private:
    void OnLastVersionRead(const TRecLastVersion& record, const QString& error);
    void OnFileFinished(const QString& file);
    void Fail(TFileDownload::Failure failure, const QString& detail);

    QNetworkAccessManager* m_network;
    TLastVersionReader* m_reader;
    TFileDownload* m_file;
    QString m_targetFolder;
    QString m_outputFile;
    bool m_runSetup = true;
    bool m_running = false;
};
