// Connecting to a server whose log-in directory holds 30,000 entries and
// showing them in the tree of the real window, against the curl command-line
// tool listing the same directory in the same run.
#include "app/frmMain.h"
#include "app/modWinInet.h"
#include "support/scripted_toolkit.h"
#include "support/servers.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kEntries = 30000;
constexpr int kRuns = 7;

void fillDirectory(const QString& root)
{
    for (int i = 0; i < kEntries; ++i) {
        const QString name = root + QStringLiteral("/entry-%1").arg(i, 5, 10, QLatin1Char('0'));
        if (i % 10 == 0) {
            QDir().mkdir(name);
        } else {
            QFile file(name + QStringLiteral(".txt"));
            file.open(QIODevice::WriteOnly);
        }
    }
}

// Seconds for one connect that lists and shows the log-in directory; -1 on failure.
double timeWindow(const testsupport::FtpServer& server)
{
    testsupport::ScriptedToolkit person;
    auto window = std::make_unique<frmMain>();
    window->Form_Load();
    window->show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    window->LoadInternetDialog()->cmdInternetOpen_Click();
    window->txtServer->setText(server.host());
    window->txtPort->setText(QString::number(server.port()));
    window->txtUser->setText(server.user());
    window->txtPassword->setText(server.password());
    window->cmdConnect->click();
    window->tvwServer->repaint();
    QApplication::processEvents();
    const double seconds = timer.nsecsElapsed() / 1e9;

    const ServerTree::Node* root = window->tvwServer->node(server.host());
    const bool shown = root && root->childCount() == kEntries;
    window->cmdDisConnect_Click();
    window->LoadInternetDialog()->cmdInternetClose_Click();
    return shown ? seconds : -1;
}

// Seconds for curl to log in and list the same directory; -1 on failure.
double timeCurl(const testsupport::FtpServer& server)
{
    const QString url = QStringLiteral("ftp://%1:%2@%3:%4/")
                            .arg(server.user(), server.password(), server.host())
                            .arg(server.port());
    QProcess curl;
    QElapsedTimer timer;
    timer.start();
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), url});
    if (!curl.waitForFinished(60000))
        return -1;
    const double seconds = timer.nsecsElapsed() / 1e9;
    const QByteArray listing = curl.readAllStandardOutput();
    return curl.exitCode() == 0 && listing.count('\n') == kEntries ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A lock of its own, beside any running program; static, so that it
    // outlives the lock the window takes.
    static QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication app(argc, argv);

    testsupport::FtpServer server;
    if (!server.ok() || server.external()) {
        std::fprintf(stderr, "bench_tree: needs the local FTP server: %s\n", qPrintable(server.error()));
        return 1;
    }
    fillDirectory(server.localPath(server.loginDir()));

    double ours = 1e9;
    double theirs = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const double w = timeWindow(server);
        const double c = timeCurl(server);
        if (w < 0 || c < 0) {
            std::fprintf(stderr, "bench_tree: run %d failed (window %.3f s, curl %.3f s)\n", run, w, c);
            return 1;
        }
        ours = std::min(ours, w);
        theirs = std::min(theirs, c);
    }
    std::printf("bench tree_connect_list: %.2f (goal <= 1.5)\n", ours / theirs);
    std::printf("bench tree_connect_list_seconds: %.3f (goal <= 1)\n", ours);
    std::printf("  (best of %d: window %.3f s, curl %.3f s, %d entries)\n", kRuns, ours, theirs, kEntries);
    return 0;
}
