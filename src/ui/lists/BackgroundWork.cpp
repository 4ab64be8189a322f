#include "ui/lists/BackgroundWork.h"

#include "ui/dialogs/ProgressWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <memory>

void RunInBackground(const std::function<void()>& work, TF_Progresso* progress, TBackgroundProgress* state,
                     const std::function<QString(int)>& phaseText)
{
    int stepped = 0;
    int phase = state ? state->Phase.load() : 0;
    const auto follow = [&] {
        if (!progress || !state)
            return;
        const int now = state->Phase.load();
        if (now != phase && phaseText) {
            phase = now;
            progress->SetDescription(phaseText(phase));
        }
        for (const int target = state->Steps.load(); stepped < target; ++stepped)
            progress->StepIt();
    };

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop loop;
    const std::unique_ptr<QThread> worker(QThread::create(work));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer poll;
    poll.setInterval(40);
    QObject::connect(&poll, &QTimer::timeout, &loop, follow);
    worker->start();
    poll.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    follow();
    QApplication::restoreOverrideCursor();
}
