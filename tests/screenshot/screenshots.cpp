// Renders the windows offscreen into PNG files: `make screenshot`.
#include "app/frmMain.h"
#include "app/toolkit.h"
#include "help/frmAbout.h"
#include "session/frmMode.h"
#include "support/scripted_toolkit.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

namespace {

bool save(QWidget* widget, const QString& folder, const QString& name)
{
    widget->show();
    QApplication::processEvents();
    const QString path = folder + '/' + name + QStringLiteral(".png");
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    toolkit::InstallChineseTranslation();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);
    testsupport::ScriptedToolkit person;  // nothing waits for a person here

    frmMain window;
    window.Form_Load();
    bool ok = save(&window, folder, QStringLiteral("main-window"));

    frmInternet* session = window.LoadInternetDialog();
    ok = save(session, folder, QStringLiteral("session-dialog")) && ok;
    session->hide();

    frmAbout about(&window);
    about.Form_Load();
    ok = save(&about, folder, QStringLiteral("about-box")) && ok;
    about.hide();
    frmMode mode(&window);
    mode.Form_Load();
    ok = save(&mode, folder, QStringLiteral("connection-state-dialog")) && ok;
    mode.hide();
    return ok ? 0 : 1;
}
