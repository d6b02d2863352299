// Renders the windows offscreen into PNG files: `make screenshot`.
#include "app/frmMain.h"
#include "app/toolkit.h"
#include "file_ops/frmFocus.h"
#include "help/frmAbout.h"
#include "session/frmMode.h"
#include "support/scripted_toolkit.h"
#include "support/servers.h"
#include "support/window_fixture.h"


#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget* widget, const QString& folder, const QString& name)
{
    widget->show();
    QTest::qWait(50);  // as a person looks: hints waiting for their screen frame are painted
    const QString path = folder + '/' + name + QStringLiteral(".png");
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// A window connected to a loopback server, with one folder opened.
bool saveConnected(const QString& folder)
{
    testsupport::FtpServer server;
    if (!server.ok())
        return false;
    for (const char* path : {"/pub/readme.txt", "/pub/src/main.c", "/docs/guide.txt", "/说明.txt"})
        testsupport::writeFile(server.localPath(QString::fromUtf8(path)), "hello\n");
    frmMain window;
    window.Form_Load();
    testsupport::ConnectWindow(window, server);
    ServerTree::Node* pub = window.tvwServer->node(server.host() + QStringLiteral("/pub"));
    if (pub) {
        window.tvwServer->setCurrentItem(pub);
        window.tvwServer_DblClick();
    }
    const bool ok = save(&window, folder, QStringLiteral("main-window-connected"));
    window.cmdDisConnect->setEnabled(false);  // leave quietly: no session dialog on the way out
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

    frmFocus chooser(&window);
    chooser.Form_Load();
    ok = save(&chooser, folder, QStringLiteral("target-chooser")) && ok;
    chooser.hide();
    ok = saveConnected(folder) && ok;

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
