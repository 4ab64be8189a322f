#include "update/SetupDownload.h"

#include "platform/Paths.h"
#include "update/UpdateNetwork.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

TSetupDownload::TSetupDownload(QObject* parent)
    : QObject(parent), m_network(NewUpdateNetworkAccess(this)),
      m_reader(new TLastVersionReader(*m_network, this)), m_file(new TFileDownload(*m_network, this))
{
    connect(m_reader, &TLastVersionReader::lastVersionRead, this, &TSetupDownload::OnLastVersionRead);
    connect(m_file, &TFileDownload::progress, this, &TSetupDownload::progress);
    connect(m_file, &TFileDownload::finished, this, &TSetupDownload::OnFileFinished);
    connect(m_file, &TFileDownload::failed, this, &TSetupDownload::Fail);
}

TSetupDownload::~TSetupDownload() = default;

void TSetupDownload::SetDescriptionUrl(const QUrl& url)
{
    m_reader->SetUrl(url);
}

void TSetupDownload::SetTimeout(int ms)
{
    m_reader->SetTimeout(ms);
    m_file->SetTimeout(ms);
}

bool TSetupDownload::Start()
{
    if (m_running)
        return false;
    m_running = true;
    emit started();
    // The published setup may have changed since the check: read the description again.
    m_reader->ReadLastVersion();
    return true;
}

void TSetupDownload::Cancel()
{
    if (!m_running)
        return;
    if (m_file->IsRunning()) {
        m_file->Cancel(); // reports through Fail
        return;
    }
    m_reader->Abort();
    Fail(TFileDownload::Failure::Cancelled, QStringLiteral("cancelled"));
}

void TSetupDownload::OnLastVersionRead(const TRecLastVersion& record, const QString& error)
{
    if (!m_running)
        return;
    if (!error.isEmpty()) {
        Fail(TFileDownload::Failure::NoSetup, QStringLiteral("description: %1").arg(error));
        return;
    }
    const QUrl setupUrl(record.Setup);
    if (record.Setup.isEmpty() || !IsHttpUrl(setupUrl)) {
        Fail(TFileDownload::Failure::NoSetup,
             record.Setup.isEmpty() ? QStringLiteral("the description names no setup program")
                                    : QStringLiteral("setup address is not http: %1").arg(record.Setup));
        return;
    }
    TFileDownload::Job job;
    job.Url = setupUrl;
    const QString folder = m_targetFolder.isEmpty() ? UserDataFolder() : m_targetFolder;
    job.TargetFile = m_outputFile.isEmpty() ? QDir(folder).filePath(SetupFileName(setupUrl)) : m_outputFile;
    job.Sha256 = record.Sha256;
    job.Executable = true;
    m_file->Start(job);
}

void TSetupDownload::OnFileFinished(const QString& file)
{
    QString error;
    if (m_runSetup && !StartSetup(file, &error)) {
        Fail(TFileDownload::Failure::StartFailed, error);
        return;
    }
    m_running = false;
    emit finished(file);
}

void TSetupDownload::Fail(TFileDownload::Failure failure, const QString& detail)
{
    m_running = false;
    emit failed(failure, detail);
}

QString TSetupDownload::SetupFileName(const QUrl& setupUrl)
{
    const QString name = setupUrl.fileName(QUrl::FullyDecoded);
    if (name.isEmpty() || name.startsWith(u'.') || name.contains(u'/') || name.contains(u'\\') ||
        name.contains(QChar(0)))
        return DefaultSetupFileName();
    return name;
}

bool TSetupDownload::StartSetup(const QString& file, QString* error)
{
    const QFileInfo info(file);
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setWorkingDirectory(info.absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached())
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(info.absoluteFilePath(), process.errorString());
    return false;
}
