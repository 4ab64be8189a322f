#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// The published version as the update description gives it.
struct TRecLastVersion
{
    QString Version;       // text of the VERSION element
    QString Setup;         // text of the SETUP element: the setup program's full URL
    bool Complete = false; // exactly two VERSION or SETUP elements were found
    QString Sha256;        // text of the optional SHA256 element: the setup file's hex digest
};

// Reads a description. The root element BRELMONT must be the document's first node (no XML
// declaration, comment, processing instruction or document type before it); its child
// elements VERSION, SETUP and SHA256 are taken in any order, names in any letter case, a
// repeated one overwriting the earlier (and, for VERSION and SETUP, counting again). A document
// that is not well-formed XML gives an empty record and the reason in *error.
TRecLastVersion ParseLastVersion(const QByteArray& document, QString* error = nullptr);

// WebBaseUrl + "/updates/brelmontversion.xml".
QUrl DescriptionUrl(const QString& webBaseUrl);

// Fetches and parses the description without blocking: one outcome per fetch.
class TLastVersionReader : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 30000;
    static constexpr qint64 MaxDocumentBytes = 1024 * 1024;

    explicit TLastVersionReader(QNetworkAccessManager& network, QObject* parent = nullptr);
    ~TLastVersionReader() override;

    void SetUrl(const QUrl& url) { m_url = url; }
    QUrl Url() const { return m_url; }
    void SetTimeout(int ms) { m_timeoutMs = ms; }

    // Starts a fetch; false (and nothing started) while one runs.
    bool ReadLastVersion();
    bool IsRunning() const { return m_running; }
    // Drops the running fetch without an outcome.
    void Abort();

signals:
    // The record, empty when the description could not be fetched or read; error says why.
    void lastVersionRead(const TRecLastVersion& record, const QString& error);

private:
    void OnFinished();
    void Finish(const TRecLastVersion& record, const QString& error);

    QNetworkAccessManager& m_network;
    QUrl m_url;
    int m_timeoutMs = DefaultTimeoutMs;
    QPointer<QNetworkReply> m_reply;
    bool m_running = false;
    QString m_refusal;
};
