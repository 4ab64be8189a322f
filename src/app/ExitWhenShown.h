#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

// With BRELMONT_EXIT_WHEN_SHOWN=1 in the environment, the process ends once the first expose
// of the given top-level window has been handled, so a start can be timed as a whole process
// (bench/coldstart, for this program and the minimal one it is measured against). It ends
// at once, without the usual shutdown (nothing is saved), so the time measured is the start
// alone. Unset, it installs nothing.
class TExitWhenShown : public QObject
{
public:
    explicit TExitWhenShown(QWidget& window) : m_window(window)
    {
        if (qEnvironmentVariableIntValue("BRELMONT_EXIT_WHEN_SHOWN") == 1)
            QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The expose paints the window; the quit is queued behind it.
        if (event->type() == QEvent::Expose && watched == m_window.windowHandle() &&
            m_window.windowHandle()->isExposed()) {
            QCoreApplication::instance()->removeEventFilter(this);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    std::fflush(nullptr);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget& m_window;
};
