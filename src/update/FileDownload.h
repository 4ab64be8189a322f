#pragma once

#include <QCryptographicHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

// One HTTP download into a file, without blocking. The bytes go to a temporary file beside
// the target, which is renamed over the target only when the transfer is complete and
// verified; any failure or a cancel removes the temporary file and leaves the target as it was.
// A transfer is complete when the server answered 2xx and sent exactly Content-Length bytes
// (when it sent that header) and at least one byte, and, when a digest is given, the SHA-256 of
// the bytes matches it.
class TFileDownload : public QObject
{
    Q_OBJECT

public:
    enum class Failure
    {
        Cancelled,   // Cancel() was called
        Network,     // no connection, reset, an error from the HTTP stack
        TimedOut,    // nothing arrived within the time-out
        HttpStatus,  // the server answered other than 2xx
        Redirect,    // a redirect out of http/https
        Length,      // fewer or more bytes than Content-Length, or none at all
        Checksum,    // the SHA-256 digest differs (or the given digest is not one)
        File,        // the file could not be written or renamed
        NoSetup,     // the description named no setup program to fetch
        StartFailed, // the setup program could not be started
    };
    Q_ENUM(Failure)

    struct Job
    {
        QUrl Url;
        QString TargetFile;
        QString Sha256;          // hex digest to verify; empty: no verification
        bool Executable = false; // the finished file is made executable
    };

    static constexpr int DefaultTimeoutMs = 30000;

    explicit TFileDownload(QNetworkAccessManager& network, QObject* parent = nullptr);
    ~TFileDownload() override;

    void SetTimeout(int ms) { m_timeoutMs = ms; }
    // Starts the job; false (and nothing started) while one runs. Every outcome, also of a job
    // that cannot start, arrives later as finished or failed.
    bool Start(const Job& job);
    // Stops the running transfer: failed(Cancelled) follows at once. Nothing when idle.
    void Cancel();
    bool IsRunning() const { return m_running; }

signals:
    // After each piece that arrived: bytes so far and Content-Length (-1 when not sent).
    void progress(qint64 received, qint64 total);
    void finished(const QString& file);
    void failed(TFileDownload::Failure failure, const QString& detail);

private:
    void OnReadyRead();
    void OnFinished();
    bool CheckStatus();
    void Fail(Failure failure, const QString& detail);
    void Succeed();
    void DropReply();

    QNetworkAccessManager& m_network;
    int m_timeoutMs = DefaultTimeoutMs;
    Job m_job;
    bool m_running = false;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<QSaveFile> m_file;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    qint64 m_received = 0;
    qint64 m_total = -1;
    QString m_refusedRedirect;
};

// Text of a failure for logs and brelmont-cli ("cancelled", "cut short", ...).
QString FailureName(TFileDownload::Failure failure);
