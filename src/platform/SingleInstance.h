#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;

// One running instance per user. The first start holds a lock file in the user's runtime
// folder and listens on a local socket beside it; a later start finds the lock taken,
// sends its arguments as a restore request over the socket and ends. A lock left by a
// crashed process is taken over (its holder no longer exists).
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // name: the lock and socket name, one per program ("BRELMONT_DALVENOR").
    // folder: where both live; empty means the user's runtime folder.
    explicit SingleInstance(QString name, QString folder = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // The per-user runtime folder: $XDG_RUNTIME_DIR, else a private folder under /tmp.
    static QString RuntimeFolder();

    // Takes the lock and starts listening. False when another instance holds it (or the
    // lock cannot be created, which is treated the same way).
    bool TryBecomePrimary();

    // Second-instance side: hands arguments over to the running instance and waits, up to
    // timeoutMs, for its acknowledgement. False when no instance answered.
    bool SendRestoreRequest(const QStringList& arguments, int timeoutMs = 3000) const;

    QString LockFilePath() const;
    QString SocketPath() const;
    bool IsPrimary() const { return m_primary; }

signals:
    // A later start asked for the window (arguments as it received them, program name excluded).
    void restoreRequested(const QStringList& arguments);

private:
    void AcceptConnections();

    QString m_name;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_primary = false;
};
