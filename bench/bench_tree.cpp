// Connecting to a server whose log-in directory holds 30,000 entries and
// showing them in the tree of the real window, against the curl command-line
// tool logging in and listing the same directory, in the same run.
#include "app/frmMain.h"
#include "app/modWinInet.h"
#include "support/scripted_toolkit.h"

#include "bench_common.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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

void fillDirectory(const QString& root)
{
    for (int i = 0; i < kEntries; ++i) {
        const QString name = root + QStringLiteral("/entry-%1").arg(i, 5, 10, QLatin1Char('0'));
        if (QFileInfo::exists(name) || QFileInfo::exists(name + QStringLiteral(".txt")))
            continue;  // made by an earlier run
        if (i % 10 == 0) {
            QDir().mkdir(name);
        } else {
            QFile file(name + QStringLiteral(".txt"));
            file.open(QIODevice::WriteOnly);
        }
    }
}

struct Target {
    QString host;
    quint16 port = 0;
    QString user;
    QString password;
    int expected = kEntries;  // what the log-in directory holds
};

// One connect that lists and shows the log-in directory in a window of this
// process, from the click to the painted tree, and the disconnect after it.
// Prints "<seconds> <disconnect seconds> <peak KiB> <CPU seconds>"; fails when the tree
// did not show every entry.
int windowRun(const Target& target)
{
    testsupport::ScriptedToolkit person;
    auto window = std::make_unique<frmMain>();
    window->Form_Load();
    window->show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = bench::cpuSeconds();
    window->LoadInternetDialog()->cmdInternetOpen_Click();
    window->txtServer->setText(target.host);
    window->txtPort->setText(QString::number(target.port));
    window->txtUser->setText(target.user);
    window->txtPassword->setText(target.password);
    window->cmdConnect->click();
    window->tvwServer->repaint();
    QApplication::processEvents();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpu = bench::cpuSeconds() - cpuBefore;

    const ServerTree::Node* root = window->tvwServer->node(target.host);
    const bool shown = root && root->childCount() == target.expected;
    timer.restart();
    window->cmdDisConnect_Click();
    const double disconnect = timer.nsecsElapsed() / 1e9;
    window->LoadInternetDialog()->cmdInternetClose_Click();
    std::printf("%.6f %.6f %ld %.6f\n", seconds, disconnect, bench::peakRssKiB(), cpu);
    return shown ? 0 : 1;
}

struct Figures {
    std::vector<double> ours, curl, disconnect, cpu;
    long peakKiB = 0;
    bool ok = true;
};

// Starts this program for one window run; its own figures, not the time to
// start it, are what counts.
bool runWindowProcess(const Target& target, Figures& figures)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--window"), target.host, QString::number(target.port), target.user, target.password,
                 QString::number(target.expected)});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 4)
        return false;
    figures.ours.push_back(fields[0].toDouble());
    figures.disconnect.push_back(fields[1].toDouble());
    figures.peakKiB = std::max(figures.peakKiB, fields[2].toLong());
    figures.cpu.push_back(fields[3].toDouble());
    return true;
}

bool listWithCurl(const Target& target, Figures& figures)
{
    const QString url = QStringLiteral("ftp://%1:%2@%3:%4/").arg(target.user, target.password, target.host).arg(target.port);
    QProcess curl;
    QElapsedTimer timer;
    timer.start();
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), url});
    if (!curl.waitForFinished(60000))
        return false;
    figures.curl.push_back(timer.nsecsElapsed() / 1e9);
    return curl.exitCode() == 0 && curl.readAllStandardOutput().count('\n') == target.expected;
}

// Alternates curl and the window in the order curl, window, window, curl, ...
// so that the machine's drift falls on both alike.
Figures compare(const Target& target)
{
    Figures figures;
    for (int run = 0; run < kRounds * 2; ++run) {
        const bool curlTurn = run % 4 == 0 || run % 4 == 3;
        const bool ok = curlTurn ? listWithCurl(target, figures) : runWindowProcess(target, figures);
        if (!ok)
            std::fprintf(stderr, "bench tree: run %d (%s) failed\n", run, curlTurn ? "curl" : "window");
        figures.ok = figures.ok && ok;
    }
    return figures;
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
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 7 && args[1] == QLatin1String("--window"))
        return windowRun({args[2], quint16(args[3].toUInt()), args[4], args[5], args[6].toInt()});

    const bench::Server server;
    if (!server.ok()) {
        std::fprintf(stderr, "bench tree: no server: %s\n", qPrintable(server.error()));
        return 1;
    }
    const QString loginFolder = server.localPath({});
    fillDirectory(loginFolder);
    Target target{server.host(), server.port(), server.user(), server.password()};
    target.expected = int(QDir(loginFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());

    const Figures figures = compare(target);
    if (!figures.ok)
        return 1;
    const double ours = bench::median(figures.ours);
    const double curl = bench::median(figures.curl);
    std::printf("  server: %s; medians of %d runs each: window %.3f s, curl log-in and LIST %.3f s; disconnect %.3f s\n",
                qPrintable(server.kind()), kRounds, ours, curl, bench::median(figures.disconnect));
    std::printf("  the window's CPU while connecting: %.3f s (median); peak resident memory of its process: %.1f MiB\n",
                bench::median(figures.cpu), figures.peakKiB / 1024.0);
    std::printf("bench tree_connect_list: %.2f (goal <= 1.2)\n", ours / curl);
    std::printf("bench tree_peak_memory_mib: %.1f (goal <= 50)\n", figures.peakKiB / 1024.0);
    return 0;
}
