#include "update/UpdateCheck.h"

#include "platform/OleDate.h"
#include "platform/Paths.h"
#include "platform/SystemFacts.h"
#include "update/UpdateNetwork.h"
#include "update/UpdateVersion.h"

TUpdateCheck::TUpdateCheck(QObject* parent)
    : QObject(parent), m_network(NewUpdateNetworkAccess(this)),
      m_reader(new TLastVersionReader(*m_network, this)), m_programVersion(GetProgramVersion())
{
    connect(m_reader, &TLastVersionReader::lastVersionRead, this, &TUpdateCheck::OnLastVersionRead);
}

TUpdateCheck::~TUpdateCheck() = default;

void TUpdateCheck::SetDescriptionUrl(const QUrl& url)
{
    m_reader->SetUrl(url);
}

QUrl TUpdateCheck::DescriptionUrl() const
{
    return m_reader->Url();
}

void TUpdateCheck::SetTimeout(int ms)
{
    m_reader->SetTimeout(ms);
}

bool TUpdateCheck::IsRunning() const
{
    return m_reader->IsRunning();
}

bool TUpdateCheck::CheckForUpdates(bool manual, double nextUpdateExpire)
{
    if (!manual && !(DateTimeToDays(SystemFacts::Now()) > nextUpdateExpire))
        return false;
    if (IsRunning()) {
        m_manual = m_manual || manual;
        return true;
    }
    m_manual = manual;
    m_reader->ReadLastVersion();
    return true;
}

double TUpdateCheck::ComingMidnight(const QDateTime& now)
{
    return DateTimeToDays(QDateTime(now.date().addDays(1), QTime(0, 0)));
}

void TUpdateCheck::OnLastVersionRead(const TRecLastVersion& record, const QString& error)
{
    m_record = record;
    const bool manual = m_manual;
    if (!error.isEmpty())
        emit checkFailed(error);
    // Complete plays no part: a missing version counts as 0.
    if (IsNewerVersion(record.Version, m_programVersion, manual)) {
        // NextUpdateExpire stays, so every later automatic check reads the description again.
        emit newerVersionFound(record.Version, QUrl(record.Setup));
        return;
    }
    emit nextUpdateExpireChanged(ComingMidnight(SystemFacts::Now()));
    emit noUpdate(manual);
}
