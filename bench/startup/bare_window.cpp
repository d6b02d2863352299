// The yardstick of the start-up benchmark: a bare main window with a menu
// bar and a status bar, built like the program.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("File"));
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
