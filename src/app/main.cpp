// The runtime creates the main window, runs its load handler and shows it.
#include "app/frmMain.h"
#include "app/toolkit.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillon"));
    toolkit::InstallChineseTranslation();
    frmMain window;
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
