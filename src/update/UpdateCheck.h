#pragma once

#include "update/LastVersion.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// The update check: reads the description and compares the published version with the
// program's. Runs without blocking; the outcome arrives as signals, in this order: checkFailed
// (only when the description could not be read, which then counts as version 0), then either
// newerVersionFound, or nextUpdateExpireChanged followed by noUpdate.
class TUpdateCheck : public QObject
{
    Q_OBJECT

public:
    explicit TUpdateCheck(QObject* parent = nullptr);
    ~TUpdateCheck() override;

    void SetDescriptionUrl(const QUrl& url);
    QUrl DescriptionUrl() const;
    // Defaults to the running program's version.
    void SetProgramVersion(const QString& version) { m_programVersion = version; }
    QString ProgramVersion() const { return m_programVersion; }
    void SetTimeout(int ms);

    // The check. The automatic one (manual false) does nothing and returns false while the
    // current time is not later than nextUpdateExpire (days since 1899-12-30). A check asked
    // while one runs joins it; a manual request makes the running check manual.
    bool CheckForUpdates(bool manual, double nextUpdateExpire);
    bool IsRunning() const;
    // What the last finished check read.
    const TRecLastVersion& LastRecord() const { return m_record; }

    // The coming midnight after now (its whole day plus one), as days since 1899-12-30.
    static double ComingMidnight(const QDateTime& now);

signals:
    void newerVersionFound(const QString& version, const QUrl& setupUrl);
    void noUpdate(bool manual);
    void checkFailed(const QString& reason);
    // The new NextUpdateExpire, to be stored at once.
    void nextUpdateExpireChanged(double days);

private:
    void OnLastVersionRead(const TRecLastVersion& record, const QString& error);

    QNetworkAccessManager* m_network;
    TLastVersionReader* m_reader;
    QString m_programVersion;
    TRecLastVersion m_record;
    bool m_manual = false;
};
