#include "update/LastVersion.h"

#include "update/UpdateNetwork.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QXmlStreamReader>

namespace {

bool NameIs(QStringView name, QStringView expected)
{
    return name.compare(expected, Qt::CaseInsensitive) == 0;
}

// Moves the reader to the first node of the document; false when that node is not an element.
bool AtFirstNodeElement(QXmlStreamReader& xml)
{
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartDocument:
            // An XML declaration is a node of its own ahead of the root.
            if (!xml.documentVersion().isEmpty())
                return false;
            break;
        case QXmlStreamReader::Characters:
            if (!xml.isWhitespace())
                return false;
            break; // white space between nodes is not a node
        case QXmlStreamReader::StartElement:
            return true;
        default:
            return false;
        }
    }
    return false;
}

} // namespace

TRecLastVersion ParseLastVersion(const QByteArray& document, QString* error)
{
    TRecLastVersion record;
    QXmlStreamReader xml(document);
    int hits = 0;
    if (AtFirstNodeElement(xml) && NameIs(xml.qualifiedName(), u"BRELMONT")) {
        while (xml.readNextStartElement()) {
            const QString name = xml.qualifiedName().toString();
            if (NameIs(name, u"VERSION") || NameIs(name, u"SETUP") || NameIs(name, u"SHA256")) {
                const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                if (NameIs(name, u"SHA256")) {
                    record.Sha256 = text;
                    continue;
                }
                (NameIs(name, u"VERSION") ? record.Version : record.Setup) = text;
                ++hits;
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    // The whole document must be well-formed, as when it is loaded into a DOM.
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("malformed description: %1").arg(xml.errorString());
        return {};
    }
    record.Complete = hits == 2;
    return record;
}

QUrl DescriptionUrl(const QString& webBaseUrl)
{
    return JoinBaseUrl(webBaseUrl, QStringLiteral("/updates/brelmontversion.xml"));
}

TLastVersionReader::TLastVersionReader(QNetworkAccessManager& network, QObject* parent)
    : QObject(parent), m_network(network)
{
}

TLastVersionReader::~TLastVersionReader()
{
    Abort();
}

bool TLastVersionReader::ReadLastVersion()
{
    if (m_running)
        return false;
    m_running = true;
    m_refusal.clear();
    if (!IsHttpUrl(m_url)) {
        // Reported later, like every other outcome.
        QMetaObject::invokeMethod(
            this,
            [this, url = m_url] {
                if (m_running && !m_reply)
                    Finish({}, QStringLiteral("not an http URL: %1").arg(url.toString()));
            },
            Qt::QueuedConnection);
        return true;
    }
    m_reply = m_network.get(UpdateRequest(m_url, m_timeoutMs));
    QNetworkReply* reply = m_reply;
    GuardRedirects(reply, this, [this, reply](const QString& target) {
        m_refusal = QStringLiteral("redirect to %1 refused").arg(target);
        reply->abort();
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > MaxDocumentBytes) {
            m_refusal = QStringLiteral("description larger than %1 bytes").arg(MaxDocumentBytes);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, &TLastVersionReader::OnFinished);
    return true;
}

void TLastVersionReader::Abort()
{
    m_running = false;
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void TLastVersionReader::OnFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    reply->deleteLater();
    const int status = HttpStatus(reply);
    if (!m_refusal.isEmpty())
        Finish({}, m_refusal);
    else if (reply->error() != QNetworkReply::NoError)
        Finish({}, reply->errorString());
    else if (status < 200 || status > 299)
        Finish({}, QStringLiteral("HTTP status %1").arg(status));
    else {
        QString error;
        const TRecLastVersion record = ParseLastVersion(reply->readAll(), &error);
        Finish(record, error);
    }
}

void TLastVersionReader::Finish(const TRecLastVersion& record, const QString& error)
{
    m_running = false;
    emit lastVersionRead(record, error);
}
