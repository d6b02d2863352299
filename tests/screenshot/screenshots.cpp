// Renders the windows offscreen into PNG files: `make screenshot`.
#include "app/StatusPanels.h"
#include "app/frmMain.h"
#include "app/toolkit.h"
#include "file_ops/frmFocus.h"
#include "help/frmAbout.h"
#include "local/DirListBox.h"
#include "session/frmMode.h"
#include "support/scripted_toolkit.h"
#include "support/servers.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

// A small server tree as a person might keep one, Chinese names included.
void fillServer(const testsupport::FtpServer& server)
{
    const char* const files[] = {
        "/公共资料/产品手册.pdf", "/公共资料/价格表-2026.xlsx", "/公共资料/安装说明.txt", "/公共资料/图片/封面.png",
        "/文档/会议纪要.docx",    "/备份/2026-11-30.tar.gz",   "/release/quillon-2.0.0.tar.gz",
        "/release/CHANGES.txt",  "/index.html",               "/说明.txt",
    };
    for (const char* path : files)
        testsupport::writeFile(server.localPath(QString::fromUtf8(path)), QByteArray(2048, 'q'));
}

// A local download folder with a few files and folders, opened in the panes.
bool openLocalFolder(frmMain& window, const QString& base)
{
    const QString folder = base + QStringLiteral("/home/小王/下载");
    for (const char* name : {"照片", "资料"})
        QDir().mkpath(folder + '/' + QString::fromUtf8(name));
    for (const char* name : {"季度报告.pdf", "合同扫描件.jpg", "notes.txt", "setup.sh"})
        testsupport::writeFile(folder + '/' + QString::fromUtf8(name), "sample\n");
    return window.dirLocal->setPath(folder);
}

// Selects a node by its server path below the log-in directory and
// double-clicks it when it is a folder.
ServerTree::Node* pick(frmMain& window, const testsupport::FtpServer& server, const QString& path, bool open)
{
    ServerTree::Node* node = window.tvwServer->node(server.host() + path);
    if (!node)
        return nullptr;
    window.tvwServer->clearSelection();
    window.tvwServer->setCurrentNode(node);
    if (open)
        window.tvwServer_DblClick();
    return node;
}

// The window as a person meets it in use: connected, a folder open, a
// local folder with files, and the hint of a finished download.
bool saveConnected(const QString& folder, const QString& base)
{
    testsupport::FtpServer server;
    if (!server.ok())
        return false;
    fillServer(server);
    frmMain window;
    window.Form_Load();
    if (!openLocalFolder(window, base))
        return false;
    testsupport::ConnectWindow(window, server);
    const bool picked = pick(window, server, QStringLiteral("/公共资料"), true) &&
                        pick(window, server, QStringLiteral("/公共资料/产品手册.pdf"), false);
    if (picked)
        window.cmdGetFile->click();
    const bool ok = picked && save(&window, folder, QStringLiteral("main-window-connected"));
    window.cmdDisConnect->setEnabled(false);  // leave quietly: no session dialog on the way out
    return ok;
}

// The window while a large file comes down: the server is held still once
// the progress bar is a third along, for as long as the picture takes.
bool saveTransfer(const QString& folder, const QString& base)
{
    testsupport::FtpServer server;
    if (!server.ok())
        return false;
    fillServer(server);
    const QString big = QStringLiteral("/release/quillon-2.0.0-完整版.iso");
    QFile file(server.localPath(big));
    if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(256) << 20))
        return false;
    file.close();
    frmMain window;
    window.Form_Load();
    if (!openLocalFolder(window, base))
        return false;
    window.show();
    testsupport::ConnectWindow(window, server);
    if (!pick(window, server, QStringLiteral("/release"), true) || !pick(window, server, big, false))
        return false;

    bool saved = false;
    QTimer watch;
    watch.setInterval(2);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString bar = window.staStatus->text(1);
        if (!bar.startsWith(QStringLiteral("进度: ")) || bar.size() < 30)
            return;
        watch.stop();
        server.freeze();
        saved = save(&window, folder, QStringLiteral("main-window-transfer"));
        server.thaw();
    });
    watch.start();
    window.cmdGetFile->click();
    if (!saved)
        std::printf("FAILED %s/main-window-transfer.png: the download ended before a picture was taken\n",
                    qPrintable(folder));
    window.cmdDisConnect->setEnabled(false);
    return saved;
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
    QTemporaryDir base;
    ok = saveConnected(folder, base.path()) && ok;
    ok = saveTransfer(folder, base.path()) && ok;

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
