// The baseline of bench_coldstart: the least a Qt Widgets program does to show a window with a
// menu bar and a text label. It quits on its first expose like brelmont (app/ExitWhenShown.h).
#include "app/ExitWhenShown.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()
        ->addMenu(QStringLiteral("&File"))
        ->addAction(QStringLiteral("E&xit"), &app, &QApplication::quit);
    window.setCentralWidget(new QLabel(QStringLiteral("Hello"), &window));
    TExitWhenShown exitWhenShown(window);
    window.show();
    return QApplication::exec();
}
