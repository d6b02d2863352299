// Encrypted connections against other clients on the same loopback servers:
// 1 GiB download and upload over explicit FTPS and over SFTP versus the curl
// tool, and a folder of 2,000 small files down over SFTP through the window
// versus lftp's mirror.
#include "app/frmMain.h"
#include "app/modWinInet.h"
#include "local/DirListBox.h"
#include "session/inet/internet_api.h"
#include "support/scripted_toolkit.h"
#include "support/servers.h"
#include "support/window_fixture.h"

#include "bench_common.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// QUILLON_BENCH_BIG_MIB shrinks the big file for a quick check of the benchmark itself.
qint64 bigSize()
{
    const int mib = qEnvironmentVariableIntValue("QUILLON_BENCH_BIG_MIB");
    return mib > 0 ? qint64(mib) << 20 : 1LL << 30;
}
constexpr int kRounds = 3;
constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;

bool runTool(const QString& program, const QStringList& args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(program, args);
    return tool.waitForFinished(900000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool makeTree(const QString& root)
{
    const QByteArray block(4096, 'q');
    for (int d = 0; d < kFolders; ++d) {
        const QString folder = root + QStringLiteral("/d%1").arg(d, 2, 10, QChar('0'));
        if (!QDir().mkpath(folder))
            return false;
        for (int f = 0; f < kFilesPerFolder; ++f) {
            QFile file(folder + QStringLiteral("/f%1.dat").arg(f, 3, 10, QChar('0')));
            if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size())
                return false;
        }
    }
    return true;
}

qint64 filesBelow(const QString& root)
{
    qint64 count = 0;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    for (; it.hasNext(); it.next())
        ++count;
    return count;
}

struct Throughput {
    bench::Pair down;
    bench::Pair up;
};

// 1 GiB each way through the library and through curl with curlArgs on the
// same address; serverDisk is the folder behind serverDir.
bool measure(const char* what, const QString& address, const QString& user, const QString& password, quint16 port,
             const QString& url, const QStringList& curlArgs, const QString& serverDir, const QString& serverDisk,
             Throughput& result)
{
    const QString big = serverDisk + "/big.bin";
    const QString localCopy = serverDisk + "/../big.local";
    if (!bench::makeBigFile(big, bigSize()))
        return false;
    auto api = inet::CreateCurlInternet();
    const inet::HINTERNET session = api->InternetOpenA("FTP CLIENT", 1, {}, {}, 0);
    const inet::HINTERNET connection =
        api->InternetConnectA(session, address, port, user, password, 1, inet::INTERNET_FLAG_PASSIVE, 0);
    if (!connection || !api->FtpSetCurrentDirectoryA(connection, serverDir)) {
        std::fprintf(stderr, "bench secure: %s: cannot connect (%u)\n", what, api->GetLastError());
        return false;
    }
    result.down = bench::compare(
        what, [&](int) { return runTool("curl", curlArgs + QStringList{url + "/big.bin", "-o", localCopy}); },
        [&](int) { return api->FtpGetFileA(connection, "big.bin", localCopy, false, 0, 2, 0); },
        [&](int) { QFile::remove(localCopy); }, kRounds);
    result.up = bench::compare(
        what, [&](int) { return runTool("curl", curlArgs + QStringList{"-T", big, url + "/up-curl.bin"}); },
        [&](int) { return api->FtpPutFileA(connection, big, "up-ours.bin", 2, 0); },
        [&](int) { QFile::remove(serverDisk + "/up-curl.bin"), QFile::remove(serverDisk + "/up-ours.bin"); },
        kRounds);
    api->InternetCloseHandle(session);
    QFile::remove(localCopy);
    QFile::remove(big);
    return result.down.ok && result.up.ok;
}

// The folder download through the window versus lftp's mirror over sftp.
bool folderDown(const testsupport::SshServer& server, const QString& local, bench::Pair& result)
{
    frmMain window;
    window.Form_Load();
    window.show();
    window.LoadInternetDialog()->cmdInternetOpen_Click();
    testsupport::ConnectWindow(window, server.address(), 21, server.user(), QString());
    if (!modWinInet::IsConnected)
        return false;
    const QString key = server.home() + "/.ssh/id_ed25519";
    const QString lftp = QStringLiteral("set cmd:fail-exit yes; set sftp:connect-program \"ssh -a -x -i %1 -o "
                                        "UserKnownHostsFile=%2/.ssh/known_hosts\"; open -u %3, -p %4 "
                                        "sftp://127.0.0.1; mirror %5/src %6/src; quit");
    const qint64 files = qint64(kFolders) * kFilesPerFolder;
    result = bench::compare(
        "sftp folder download",
        [&](int run) {
            const QString target = local + QStringLiteral("/run%1").arg(run);
            return runTool("lftp", {"-c", lftp.arg(key, server.home(), server.user())
                                              .arg(server.port())
                                              .arg(server.root(), target)}) &&
                   filesBelow(target + "/src") == files;
        },
        [&](int run) {
            window.cmdGetFolder_Click();
            return filesBelow(local + QStringLiteral("/run%1/src").arg(run)) == files;
        },
        [&](int run) {
            const QString target = local + QStringLiteral("/run%1").arg(run);
            QDir().mkpath(target);
            ServerTree::Node* node = window.tvwServer->node(server.address() + "/src");
            window.tvwServer->clearSelection();
            window.tvwServer->setCurrentNode(node);
            window.dirLocal->setPath(target);
        },
        2);
    window.cmdDisConnect_Click();
    return result.ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir runtime;  // a private single-instance lock, outliving the lock file kept inside it
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication app(argc, argv);
    testsupport::ScriptedToolkit person;
    testsupport::TlsCertificates certificates;
    testsupport::FtpServer::Options options;
    options.tlsCertificate = certificates.caSigned();
    options.tlsRequired = true;
    testsupport::FtpServer ftps(options);
    testsupport::SshServer sftp;
    QTemporaryDir scratch;
    if (!certificates.ok() || !ftps.ok() || !sftp.ok() || !scratch.isValid()) {
        std::fprintf(stderr, "bench secure: no servers: %s %s\n", qPrintable(ftps.error()), qPrintable(sftp.error()));
        return 1;
    }
    inet::SetCertificateAuthorities(certificates.caFile());
    // The SSH client side lives in a fresh HOME that already knows the host key.
    qputenv("HOME", QFile::encodeName(sftp.home()));
    qunsetenv("SSH_AUTH_SOCK");
    QFile known(sftp.home() + "/.ssh/known_hosts");
    if (!known.open(QIODevice::WriteOnly) ||
        known.write("[127.0.0.1]:" + QByteArray::number(sftp.port()) + ' ' + sftp.hostKey() + '\n') < 0)
        return 1;
    known.close();

    Throughput overTls, overSsh;
    const QString ftpsUrl = QStringLiteral("ftp://%1:%2@127.0.0.1:%3").arg(ftps.user(), ftps.password()).arg(ftps.port());
    const QString sftpUrl = QStringLiteral("sftp://%1@127.0.0.1:%2%3").arg(sftp.user()).arg(sftp.port()).arg(sftp.root());
    const bool ok =
        measure("ftpes", ftps.address(), ftps.user(), ftps.password(), 21, ftpsUrl,
                {"-sS", "--fail", "--ssl-reqd", "--cacert", certificates.caFile()}, "/", ftps.root(), overTls) &&
        measure("sftp", sftp.address(), sftp.user(), QString(), 21, sftpUrl,
                {"-sS", "--fail", "--key", sftp.home() + "/.ssh/id_ed25519"}, sftp.root(), sftp.root(), overSsh);
    bench::Pair folder;
    const bool treeOk = makeTree(sftp.root() + "/src") && folderDown(sftp, scratch.path(), folder);
    if (!ok || !treeOk) {
        std::fprintf(stderr, "bench secure: a run failed\n");
        return 1;
    }
    std::printf("bench secure: ftpes 1 GiB download throughput vs curl %.2f (goal >= 0.9)\n",
                overTls.down.other / overTls.down.ours);
    std::printf("bench secure: ftpes 1 GiB upload throughput vs curl %.2f (goal >= 0.9)\n",
                overTls.up.other / overTls.up.ours);
    std::printf("bench secure: sftp 1 GiB download throughput vs curl %.2f (goal >= 0.9)\n",
                overSsh.down.other / overSsh.down.ours);
    std::printf("bench secure: sftp 1 GiB upload throughput vs curl %.2f (goal >= 0.9)\n",
                overSsh.up.other / overSsh.up.ours);
    std::printf("bench secure: sftp folder download (2000 files, lftp mirror time / ours): %.2f (goal >= 1)\n",
                folder.other / folder.ours);
    return 0;
}
