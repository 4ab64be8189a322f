#include "update/FileDownload.h"

#include "update/UpdateNetwork.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>

namespace {

// A digest as the description writes it: 64 hex digits in either case, blanks around ignored.
std::optional<QByteArray> NormalisedDigest(const QString& text)
{
    const QByteArray hex = text.trimmed().toLatin1().toLower();
    if (hex.size() != 64)
        return std::nullopt;
    for (char c : hex)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
    return hex;
}

// Execute rights wherever the file may be read.
QFileDevice::Permissions WithExecute(QFileDevice::Permissions p)
{
    p |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (p & QFileDevice::ReadGroup)
        p |= QFileDevice::ExeGroup;
    if (p & QFileDevice::ReadOther)
        p |= QFileDevice::ExeOther;
    return p;
}

} // namespace

QString FailureName(TFileDownload::Failure failure)
{
    switch (failure) {
    case TFileDownload::Failure::Cancelled:
        return QStringLiteral("cancelled");
    case TFileDownload::Failure::Network:
        return QStringLiteral("network error");
    case TFileDownload::Failure::TimedOut:
        return QStringLiteral("timed out");
    case TFileDownload::Failure::HttpStatus:
        return QStringLiteral("refused by the server");
    case TFileDownload::Failure::Redirect:
        return QStringLiteral("redirect refused");
    case TFileDownload::Failure::Length:
        return QStringLiteral("incomplete");
    case TFileDownload::Failure::Checksum:
        return QStringLiteral("checksum mismatch");
    case TFileDownload::Failure::File:
        return QStringLiteral("file error");
    case TFileDownload::Failure::NoSetup:
        return QStringLiteral("no setup program published");
    case TFileDownload::Failure::StartFailed:
        return QStringLiteral("setup program not started");
    }
    return {};
}

TFileDownload::TFileDownload(QNetworkAccessManager& network, QObject* parent)
    : QObject(parent), m_network(network)
{
}

TFileDownload::~TFileDownload()
{
    DropReply(); // the unfinished temporary file goes with m_file
}

bool TFileDownload::Start(const Job& job)
{
    if (m_running)
        return false;
    m_running = true;
    m_job = job;
    m_received = 0;
    m_total = -1;
    m_hash.reset();
    m_refusedRedirect.clear();

    auto failLater = [this](Failure failure, const QString& detail) {
        const QString target = m_job.TargetFile;
        QMetaObject::invokeMethod(
            this,
            [this, failure, detail, target] {
                if (m_running && m_job.TargetFile == target && !m_reply)
                    Fail(failure, detail);
            },
            Qt::QueuedConnection);
    };
    if (!IsHttpUrl(job.Url)) {
        failLater(Failure::Network, QStringLiteral("not an http URL: %1").arg(job.Url.toString()));
        return true;
    }
    m_file = std::make_unique<QSaveFile>(job.TargetFile);
    if (job.TargetFile.isEmpty() || !m_file->open(QIODevice::WriteOnly)) {
        failLater(Failure::File, QStringLiteral("%1: %2").arg(job.TargetFile, m_file->errorString()));
        return true;
    }
    m_reply = m_network.get(UpdateRequest(job.Url, m_timeoutMs));
    QNetworkReply* reply = m_reply;
    GuardRedirects(reply, this, [this, reply](const QString& target) {
        m_refusedRedirect = target;
        reply->abort();
    });
    connect(reply, &QNetworkReply::readyRead, this, &TFileDownload::OnReadyRead);
    connect(reply, &QNetworkReply::finished, this, &TFileDownload::OnFinished);
    return true;
}

void TFileDownload::Cancel()
{
    if (m_running)
        Fail(Failure::Cancelled, QStringLiteral("cancelled"));
}

bool TFileDownload::CheckStatus()
{
    const int status = HttpStatus(m_reply);
    if (status < 200 || status > 299)
        return false;
    if (m_total < 0) {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        m_total = length.isValid() ? length.toLongLong() : -1;
    }
    return true;
}

void TFileDownload::OnReadyRead()
{
    if (!m_reply)
        return;
    const QByteArray data = m_reply->readAll();
    // An error page is not written; the end of the reply reports its status.
    if (data.isEmpty() || !CheckStatus())
        return;
    if (m_total >= 0 && m_received + data.size() > m_total) {
        Fail(Failure::Length, QStringLiteral("more than the announced %1 bytes").arg(m_total));
        return;
    }
    if (m_file->write(data) != data.size()) {
        Fail(Failure::File, QStringLiteral("%1: %2").arg(m_job.TargetFile, m_file->errorString()));
        return;
    }
    m_hash.addData(data);
    m_received += data.size();
    emit progress(m_received, m_total);
}

void TFileDownload::OnFinished()
{
    if (!m_reply || sender() != m_reply.data())
        return;
    if (!m_refusedRedirect.isEmpty()) {
        Fail(Failure::Redirect, QStringLiteral("redirect to %1 refused").arg(m_refusedRedirect));
        return;
    }
    const QNetworkReply::NetworkError error = m_reply->error();
    const int status = HttpStatus(m_reply);
    if (error == QNetworkReply::NoError && CheckStatus()) {
        OnReadyRead(); // what is left in the buffer
        if (m_running)
            Succeed();
        return;
    }
    if (status >= 300 && status <= 399) // a redirect Qt itself would not follow (scheme, count)
        Fail(Failure::Redirect, QStringLiteral("HTTP status %1: %2").arg(status).arg(m_reply->errorString()));
    else if (status != 0 && (status < 200 || status > 299))
        Fail(Failure::HttpStatus, QStringLiteral("HTTP status %1").arg(status));
    else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
        // A cancel disconnects before it aborts: an abort seen here is the transfer time-out.
        Fail(Failure::TimedOut, QStringLiteral("nothing received for %1 ms").arg(m_timeoutMs));
    else if (m_total > m_received && m_received > 0)
        Fail(Failure::Length, QStringLiteral("cut short after %1 of %2 bytes (%3)")
                                  .arg(m_received)
                                  .arg(m_total)
                                  .arg(m_reply->errorString()));
    else
        Fail(Failure::Network, m_reply->errorString());
}

void TFileDownload::Succeed()
{
    if (m_received == 0) {
        Fail(Failure::Length, QStringLiteral("no bytes received"));
        return;
    }
    if (m_total >= 0 && m_received != m_total) {
        Fail(Failure::Length, QStringLiteral("cut short after %1 of %2 bytes").arg(m_received).arg(m_total));
        return;
    }
    if (!m_job.Sha256.trimmed().isEmpty()) {
        const auto expected = NormalisedDigest(m_job.Sha256);
        if (!expected) {
            Fail(Failure::Checksum, QStringLiteral("not a SHA-256 digest: %1").arg(m_job.Sha256));
            return;
        }
        if (m_hash.result().toHex() != *expected) {
            Fail(Failure::Checksum,
                 QStringLiteral("SHA-256 %1 differs from the published %2")
                     .arg(QString::fromLatin1(m_hash.result().toHex()), QString::fromLatin1(*expected)));
            return;
        }
    }
    if (m_job.Executable)
        m_file->setPermissions(WithExecute(m_file->permissions()));
    if (!m_file->commit()) {
        Fail(Failure::File, QStringLiteral("%1: %2").arg(m_job.TargetFile, m_file->errorString()));
        return;
    }
    m_file.reset();
    DropReply();
    m_running = false;
    emit finished(m_job.TargetFile);
}

void TFileDownload::Fail(Failure failure, const QString& detail)
{
    DropReply();
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset(); // removes the temporary file
    }
    m_running = false;
    emit failed(failure, detail);
}

void TFileDownload::DropReply()
{
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        if (!reply->isFinished())
            reply->abort();
        reply->deleteLater();
    }
}
