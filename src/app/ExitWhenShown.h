#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

// With BRELMONT_EXIT_WHEN_SHOWN=1 in the environment, the program quits once the first expose
// of the given top-level window has been handled, so a start can be timed as a whole process
// (bench/coldstart, for this program and the minimal one it is measured against). Unset, it
// installs nothing.
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
            // exit(), not quit(): a window that hides on close would refuse a quit.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget& m_window;
};
