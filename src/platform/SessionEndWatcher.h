#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal on the thread that created the watcher,
// so the program can end in order (settings written) when the session ends or it is told to
// stop. The signal handler only writes one byte into a socket pair; everything else runs on
// the event loop. One watcher per process.
class SessionEndWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SessionEndWatcher(QObject* parent = nullptr);
    ~SessionEndWatcher() override;

    bool IsActive() const { return m_notifier != nullptr; }

signals:
    // signalNumber: the POSIX signal that arrived.
    void sessionEnding(int signalNumber);

private:
    void ReadSignal();

    QSocketNotifier* m_notifier = nullptr;
};
