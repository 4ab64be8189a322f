#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

namespace {
// One line per request: the arguments separated by the unit separator, then "\n".
constexpr char ArgumentSeparator = '\x1f';
const QByteArray Acknowledgement = QByteArrayLiteral("ok\n");

QByteArray EncodeRequest(const QStringList& arguments)
{
    QByteArray line = QByteArrayLiteral("restore");
    for (const QString& argument : arguments) {
        line += ArgumentSeparator;
        line += argument.toUtf8().replace('\n', ' ').replace(ArgumentSeparator, ' ');
    }
    return line + '\n';
}

QStringList DecodeRequest(const QByteArray& line)
{
    QStringList parts;
    const QList<QByteArray> fields = line.trimmed().split(ArgumentSeparator);
    for (qsizetype i = 1; i < fields.size(); ++i)
        parts << QString::fromUtf8(fields[i]);
    return parts;
}
} // namespace

SingleInstance::SingleInstance(QString name, QString folder, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_folder(folder.isEmpty() ? RuntimeFolder() : std::move(folder))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString SingleInstance::RuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    // Without a runtime folder: a private folder of this user under the temporary folder.
    const QString folder = QDir::temp().filePath(QStringLiteral("brelmont-%1").arg(getuid()));
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}

QString SingleInstance::LockFilePath() const
{
    return QDir(m_folder).filePath(m_name + QStringLiteral(".lock"));
}

QString SingleInstance::SocketPath() const
{
    return QDir(m_folder).filePath(m_name + QStringLiteral(".sock"));
}

bool SingleInstance::TryBecomePrimary()
{
    if (m_primary)
        return true;
    QDir().mkpath(m_folder);
    auto lock = std::make_unique<QLockFile>(LockFilePath());
    // No age limit: an instance that runs for weeks keeps its lock. A lock whose process
    // has died is still recognised and taken over by QLockFile itself.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false; // another instance holds it
        // A folder we cannot write must not keep the program from starting at all.
        qWarning("SingleInstance: cannot create %s; running without the single-instance lock",
                 qPrintable(LockFilePath()));
        m_primary = true;
        return true;
    }
    m_lock = std::move(lock);

    // We hold the lock, so a socket file left behind belongs to a dead instance.
    QLocalServer::removeServer(SocketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::AcceptConnections);
    if (!m_server->listen(SocketPath()))
        qWarning("SingleInstance: cannot listen on %s: %s", qPrintable(SocketPath()),
                 qPrintable(m_server->errorString()));
    m_primary = true;
    return true;
}

void SingleInstance::AcceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 4096)
                    socket->abort(); // not one of ours
                return;
            }
            const QStringList arguments = DecodeRequest(socket->readLine(4096));
            socket->write(Acknowledgement);
            socket->flush();
            socket->disconnectFromServer();
            emit restoreRequested(arguments);
        });
    }
}

bool SingleInstance::SendRestoreRequest(const QStringList& arguments, int timeoutMs) const
{
    // The running instance may hold the lock but still be starting: retry the connection
    // for a short while before giving up.
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(SocketPath());
        if (socket.waitForConnected(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(EncodeRequest(arguments));
    if (!socket.waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
        return false;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    return socket.readLine() == Acknowledgement;
}
