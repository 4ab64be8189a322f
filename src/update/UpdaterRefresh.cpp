#include "update/UpdaterRefresh.h"

#include "update/FileDownload.h"
#include "update/UpdateNetwork.h"

#include <QDir>
#include <QFile>

TUpdaterRefresh::TUpdaterRefresh(QObject* parent)
    : QObject(parent), m_download(new TFileDownload(*NewUpdateNetworkAccess(this), this))
{
    connect(m_download, &TFileDownload::finished, this, &QObject::deleteLater);
    connect(m_download, &TFileDownload::failed, this, &QObject::deleteLater);
}

bool TUpdaterRefresh::UpdaterNeedsRefresh(const QString& folder)
{
    QFile file(QDir(folder).filePath(FileName()));
    return file.open(QIODevice::ReadOnly) && file.size() < CurrentSize;
}

QUrl TUpdaterRefresh::UpdaterUrl(const QString& downloadBaseUrl)
{
    return JoinBaseUrl(downloadBaseUrl, QStringLiteral("/updates/LastVersion/") + FileName());
}

TUpdaterRefresh* TUpdaterRefresh::DownloadUpdater(const QString& folder, const QString& downloadBaseUrl,
                                                  QObject* parent)
{
    if (!UpdaterNeedsRefresh(folder))
        return nullptr;
    auto* refresh = new TUpdaterRefresh(parent);
    TFileDownload::Job job;
    job.Url = UpdaterUrl(downloadBaseUrl);
    job.TargetFile = QDir(folder).filePath(FileName());
    job.Executable = true;
    refresh->m_download->Start(job);
    return refresh;
}
