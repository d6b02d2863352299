// Connecting to a server whose log-in directory holds 30,000 entries and
// showing them in the tree of the real window, against the curl command-line
// tool logging in and listing the same directory, in the same run.
#include "app/frmMain.h"
#include "app/modWinInet.h"
#include "support/scripted_toolkit.h"
#include "support/servers.h"

#include "bench_common.h"

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
constexpr int kRounds = 7;
// What the log-in directory holds: the entries made here, and on an external
// server the scratch folder the test support adds.
int g_expected = kEntries;

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

struct WindowRun {
    bool shown = false;
    double disconnectSeconds = 0;
    long peakKiB = -1;
};

// One connect that lists and shows the log-in directory, timed by the
// caller up to the painted tree; the disconnect that follows is timed apart.
bool showInWindow(const testsupport::FtpServer& server, WindowRun& run)
{
    testsupport::ScriptedToolkit person;
    auto window = std::make_unique<frmMain>();
    window->Form_Load();
    window->show();
    QApplication::processEvents();
    bench::resetPeakRss();

    window->LoadInternetDialog()->cmdInternetOpen_Click();
    window->txtServer->setText(server.host());
    window->txtPort->setText(QString::number(server.port()));
    window->txtUser->setText(server.user());
    window->txtPassword->setText(server.password());
    window->cmdConnect->click();
    window->tvwServer->repaint();
    QApplication::processEvents();

    const ServerTree::Node* root = window->tvwServer->node(server.host());
    run.shown = root && root->childCount() == g_expected;
    run.peakKiB = bench::peakRssKiB();
    QElapsedTimer timer;
    timer.start();
    window->cmdDisConnect_Click();
    run.disconnectSeconds = timer.nsecsElapsed() / 1e9;
    window->LoadInternetDialog()->cmdInternetClose_Click();
    return run.shown;
}

bool listWithCurl(const testsupport::FtpServer& server)
{
    const QString url = QStringLiteral("ftp://%1:%2@%3:%4/")
                            .arg(server.user(), server.password(), server.host())
                            .arg(server.port());
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), url});
    if (!curl.waitForFinished(60000))
        return false;
    return curl.exitCode() == 0 && curl.readAllStandardOutput().count('\n') == g_expected;
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
    if (!server.ok()) {
        std::fprintf(stderr, "bench tree: no server: %s\n", qPrintable(server.error()));
        return 1;
    }
    std::printf("bench tree: server %s\n", server.external() ? "external (QUILLON_TEST_FTP_URL)" : "pyftpdlib");
    const QString loginFolder = server.localPath(server.loginDir());
    fillDirectory(loginFolder);
    g_expected = int(QDir(loginFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());

    std::vector<double> disconnects;
    long peakKiB = 0;
    const bench::Pair pair = bench::compare(
        "connect and list 30,000 entries", [&](int) { return listWithCurl(server); },
        [&](int) {
            WindowRun run;
            const bool ok = showInWindow(server, run);
            disconnects.push_back(run.disconnectSeconds);
            peakKiB = std::max(peakKiB, run.peakKiB);
            return ok;
        },
        [](int) {}, kRounds);
    if (!pair.ok) {
        std::fprintf(stderr, "bench tree: a run failed\n");
        return 1;
    }
    std::printf("  medians of %d runs each: window %.3f s, curl log-in and LIST %.3f s; disconnect %.3f s\n",
                kRounds, pair.ours, pair.other, bench::median(disconnects));
    std::printf("  peak resident memory while connecting: %.1f MiB\n", peakKiB / 1024.0);
    std::printf("bench tree_connect_list: %.2f (goal <= 1.2)\n", pair.ours / pair.other);
    std::printf("bench tree_peak_memory_mib: %.1f (goal <= 50)\n", peakKiB / 1024.0);
    return 0;
}
