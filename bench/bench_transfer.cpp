// Transfers through the window's own commands against other clients on the
// same loopback FTP server in one run: a folder tree of 2,000 small files
// down and up versus lftp's mirror on one connection, and one 1 GiB file
// down versus the curl tool, with the peak resident memory of that download.
#include "app/frmMain.h"
#include "app/modWinInet.h"
#include "local/DirListBox.h"
#include "support/scripted_toolkit.h"
#include "support/servers.h"
#include "support/window_fixture.h"

#include "bench_common.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;
constexpr int kSmallSize = 4096;
constexpr qint64 kBigSize = 1LL << 30;
// Each round opens about 8,000 data connections; a third round within the
// minute that closed sockets wait runs the server out of passive ports.
constexpr int kRounds = 2;
constexpr int kBigRounds = 3;  // one connection each: the median of three

// Each run of a folder transfer writes into a folder of its own: removing
// the last run's 2,000 files first would leave the next run's file
// creations to skip past their freshly freed inodes.
QString runFolder(const QString& base, int run) { return base + QStringLiteral("/run%1").arg(run); }

QString joined(const QString& base, const QString& name) { return QDir::cleanPath(base + '/' + name); }

bool makeTree(const QString& root)
{
    QRandomGenerator random(11);
    QByteArray block(kSmallSize, Qt::Uninitialized);
    for (int d = 0; d < kFolders; ++d) {
        const QString folder = root + QStringLiteral("/d%1").arg(d, 2, 10, QChar('0'));
        if (!QDir().mkpath(folder))
            return false;
        for (int f = 0; f < kFilesPerFolder; ++f) {
            random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
            QFile file(folder + QStringLiteral("/f%1.dat").arg(f, 3, 10, QChar('0')));
            if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size())
                return false;
        }
    }
    return true;
}

qint64 filesBelow(const QString& root, qint64* bytes = nullptr)
{
    qint64 count = 0;
    qint64 total = 0;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
        total += it.fileInfo().size();
    }
    if (bytes)
        *bytes = total;
    return count;
}

bool runTool(const QString& program, const QStringList& args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(program, args);
    return tool.waitForFinished(600000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

}  // namespace

namespace {

// The main window connected to the server, driven as a person would.
class Client {
public:
    explicit Client(const testsupport::FtpServer& server) : m_server(server)
    {
        window.Form_Load();
        window.show();  // as a person sees it: every hint is painted
        testsupport::ConnectWindow(window, server);
    }
    ~Client() { window.cmdDisConnect_Click(); }

    bool connected() const { return modWinInet::IsConnected; }

    // Selects the node of a server path, listing every folder on the way afresh.
    bool select(const QString& serverPath)
    {
        const QString below = serverPath.mid(m_server.loginDir().size());
        QString key = m_server.host();
        ServerTree::Node* node = window.tvwServer->node(key);
        for (const QString& part : below.split('/', Qt::SkipEmptyParts)) {
            if (!node)
                return false;
            window.RefreshServerNode(node);
            key += '/' + part;
            node = window.tvwServer->node(key);
        }
        if (!node)
            return false;
        window.tvwServer->clearSelection();
        window.tvwServer->setCurrentItem(node);
        node->setSelected(true);
        return true;
    }

    // Opens a local folder and highlights one of its subfolders (or itself when name is empty).
    bool highlightLocal(const QString& folder, const QString& name = {})
    {
        if (!window.dirLocal->setPath(folder))
            return false;
        for (int i = 0; !name.isEmpty() && i < window.dirLocal->listCount(); ++i) {
            if (window.dirLocal->list(i) == joined(folder, name)) {
                window.dirLocal->setListIndex(i);
                return true;
            }
        }
        return name.isEmpty();
    }

    frmMain window;

private:
    const testsupport::FtpServer& m_server;
};

QString lftpScript(const testsupport::FtpServer& server, const QString& command)
{
    return QStringLiteral("set cmd:fail-exit yes; set net:max-retries 1; open -u %1,%2 -p %3 %4; %5; quit")
        .arg(server.user(), server.password())
        .arg(server.port())
        .arg(server.host(), command);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;  // a private single-instance lock
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication app(argc, argv);
    testsupport::ScriptedToolkit person;  // an error report is answered No
    person.msgBoxAnswers.clear();

    testsupport::FtpServer server;
    QTemporaryDir scratch;
    if (!server.ok() || !scratch.isValid()) {
        std::fprintf(stderr, "bench transfer: no server: %s\n", qPrintable(server.error()));
        return 1;
    }
    const QString work = server.workDir();
    const QString local = scratch.path();
    if (!makeTree(server.localPath(joined(work, "src"))) || !makeTree(local + "/src") ||
        !QDir().mkpath(local + "/down") || !QDir().mkpath(server.localPath(joined(work, "up")))) {
        std::fprintf(stderr, "bench transfer: cannot write the trees\n");
        return 1;
    }
    Client client(server);
    if (!client.connected()) {
        std::fprintf(stderr, "bench transfer: cannot connect\n");
        return 1;
    }
    const qint64 treeFiles = qint64(kFolders) * kFilesPerFolder;
    frmMain& window = client.window;

    const QString down = local + "/down";
    const bench::Pair folderDown = bench::compare(
        "folder download",
        [&](int run) {
            const QString target = runFolder(down, run);
            return runTool("lftp", {"-c", lftpScript(server, "mirror " + joined(work, "src") + ' ' + target + "/src")}) &&
                   filesBelow(target + "/src") == treeFiles;
        },
        [&](int run) {
            window.cmdGetFolder_Click();
            return filesBelow(runFolder(down, run) + "/src") == treeFiles;
        },
        [&](int run) {
            QDir().mkpath(runFolder(down, run));
            client.select(joined(work, "src"));
            client.highlightLocal(runFolder(down, run));
        },
        kRounds);

    const auto reportErrors = [&person](const char* what) {
        for (const auto& box : person.msgBoxes)
            std::fprintf(stderr, "bench transfer: %s: error report: %s\n", what, qPrintable(box.prompt));
        person.msgBoxes.clear();
    };
    reportErrors("folder download");

    const QString up = joined(work, "up");
    const bench::Pair folderUp = bench::compare(
        "folder upload",
        [&](int run) {
            const QString target = runFolder(up, run);
            return runTool("lftp", {"-c", lftpScript(server, "mirror -R " + local + "/src " + target + "/src")}) &&
                   filesBelow(server.localPath(target) + "/src") == treeFiles;
        },
        [&](int run) {
            window.cmdPutFolder_Click();
            return filesBelow(server.localPath(runFolder(up, run)) + "/src") == treeFiles;
        },
        [&](int run) {
            QDir().mkpath(server.localPath(runFolder(up, run)));
            client.select(runFolder(up, run));
            client.highlightLocal(local, "src");
        },
        kRounds);

    reportErrors("folder upload");
    QDir(down).removeRecursively();
    QDir(server.localPath(up)).removeRecursively();

    const QString big = joined(work, "big.bin");
    if (!bench::makeBigFile(server.localPath(big), kBigSize)) {
        std::fprintf(stderr, "bench transfer: cannot write the big file\n");
        return 1;
    }
    const QString bigDir = local + "/big";
    long peakKiB = 0;
    const QString url = QStringLiteral("ftp://%1:%2@%3:%4%5")
                            .arg(server.user(), server.password(), server.host())
                            .arg(server.port())
                            .arg(big);
    const bench::Pair single = bench::compare(
        "1 GiB download", [&](int) { return runTool("curl", {"-sS", "--fail", url, "-o", bigDir + "/curl.bin"}); },
        [&](int) {
            bench::resetPeakRss();
            window.cmdGetFile_Click();
            peakKiB = qMax(peakKiB, bench::peakRssKiB());
            return QFileInfo(bigDir + "/big.bin").size() == kBigSize;
        },
        [&](int) {
            QDir(bigDir).removeRecursively();
            QDir().mkpath(bigDir);
            client.select(big);
            client.highlightLocal(bigDir);
        },
        kBigRounds);
    QFile::remove(server.localPath(big));
    QDir(bigDir).removeRecursively();

    if (!folderDown.ok || !folderUp.ok || !single.ok) {
        std::fprintf(stderr, "bench transfer: a run failed\n");
        return 1;
    }
    std::printf("bench transfer folder download (2000 files, lftp mirror time / ours): %.2f (goal >= 1)\n",
                folderDown.other / folderDown.ours);
    std::printf("bench transfer folder upload (2000 files, lftp mirror -R time / ours): %.2f (goal >= 1)\n",
                folderUp.other / folderUp.ours);
    std::printf("bench transfer 1 GiB download (throughput / curl's): %.2f (goal >= 0.9)\n", single.other / single.ours);
    std::printf("bench transfer 1 GiB download peak resident memory (MiB): %.1f (goal <= 64)\n", peakKiB / 1024.0);
    std::fflush(stdout);
    std::fprintf(stderr,
                 "bench transfer: seconds: folder down lftp %.2f ours %.2f; folder up lftp %.2f ours %.2f; "
                 "1 GiB curl %.2f ours %.2f\n",
                 folderDown.other, folderDown.ours, folderUp.other, folderUp.ours, single.other, single.ours);
    return 0;
}
