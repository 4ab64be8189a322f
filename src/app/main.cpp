#include "app/ExitWhenShown.h"
#include "app/Program.h"
#include "platform/SessionEndWatcher.h"
#include "platform/SingleInstance.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSessionManager>

Q_LOGGING_CATEGORY(lcInstance, "brelmont.instance", QtWarningMsg)

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brelmont"));
    QApplication::setOrganizationName(QStringLiteral("Dalvenor"));
    // The window hides in the tray; only Exit or the end of the session ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QApplication::arguments().mid(1);

    // BRELMONT_RUNTIME_DIR keeps a demonstration run apart from the user's own instance.
    SingleInstance instance(QStringLiteral("BRELMONT_DALVENOR"),
                            qEnvironmentVariable("BRELMONT_RUNTIME_DIR"));
    if (!instance.TryBecomePrimary()) {
        // Another instance runs: it brings its window forward; this one ends quietly.
        instance.SendRestoreRequest(arguments);
        return 0;
    }

    SessionEndWatcher sessionEnd;
    int exitCode = 0;
    {
        TBrelmontProgram program(arguments);
        QObject::connect(&program, &TBrelmontProgram::ending, &app, &QApplication::quit,
                         Qt::QueuedConnection);
        QObject::connect(&instance, &SingleInstance::restoreRequested, &program,
                         [&program](const QStringList& args) {
                             qCInfo(lcInstance) << "restore requested" << args;
                             program.RestoreRequested();
                         });
        QObject::connect(&sessionEnd, &SessionEndWatcher::sessionEnding, &program,
                         [&program](int signalNumber) {
                             qCInfo(lcInstance) << "session ending, signal" << signalNumber;
                             program.SessionEnding();
                         });
        TExitWhenShown exitWhenShown(*program.MainWindow());
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &program,
                         [&program](QSessionManager&) { program.CommitData(); });
        exitCode = QApplication::exec();
    }
    return exitCode;
}
