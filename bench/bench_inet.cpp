// Throughput of the Internet library against the curl command-line tool on
// the benchmarks' FTP server (bench::Server): 1 GiB download and upload, a 30,000-entry
// listing, and the peak resident memory during the download.
#include "session/inet/internet_api.h"

#include "bench_common.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <functional>

namespace {

constexpr int kEntries = 30000;
constexpr int kRounds = 3;

bool runCurl(const QStringList& args)
{
    QProcess curl;
    curl.start(QStringLiteral("curl"), QStringList{QStringLiteral("-sS"), QStringLiteral("--fail")} + args);
    return curl.waitForFinished(600000) && curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::Server server;
    if (!server.ok()) {
        std::fprintf(stderr, "bench inet: no server: %s\n", qPrintable(server.error()));
        return 1;
    }
    // Everything on the server lies in a folder of this run's own.
    const QString work = QStringLiteral("bench-inet-%1").arg(QCoreApplication::applicationPid());
    const auto rel = [&work](const QString& name) -> QString { return work + '/' + name; };
    const QString big = server.localPath(rel("big.bin"));
    const QString localCopy = big + QStringLiteral(".local");
    if (!QDir().mkpath(server.localPath(work)) || !bench::makeBigFile(big, bench::bigFileSize())) {
        std::fprintf(stderr, "bench inet: cannot write %s\n", qPrintable(big));
        return 1;
    }
    auto api = inet::CreateCurlInternet();
    const inet::HINTERNET session = api->InternetOpenA(QStringLiteral("FTP CLIENT"), 1, {}, {}, 0);
    const inet::HINTERNET connection = api->InternetConnectA(session, server.host(), server.port(), server.user(),
                                                             server.password(), 1, inet::INTERNET_FLAG_PASSIVE, 0);
    if (!connection || !api->FtpSetCurrentDirectoryA(connection, server.serverPath(work))) {
        std::fprintf(stderr, "bench inet: cannot connect (%u)\n", api->GetLastError());
        return 1;
    }

    // Each run writes a new file: replacing an existing one is flushed to
    // disk first by design, which curl does not do.
    bench::resetPeakRss();
    const bench::Pair down = bench::compare(
        "download", [&](int) { return runCurl({server.url(rel("big.bin")), "-o", localCopy}); },
        [&](int) { return api->FtpGetFileA(connection, "big.bin", localCopy, false, 0, 2, 0); },
        [&](int) { QFile::remove(localCopy); }, kRounds);
    const long peakKiB = bench::peakRssKiB();
    const QString upCurl = server.localPath(rel("up-curl.bin"));
    const QString upOurs = server.localPath(rel("up-ours.bin"));
    const bench::Pair up = bench::compare(
        "upload", [&](int) { return runCurl({"-T", big, server.url(rel("up-curl.bin"))}); },
        [&](int) { return api->FtpPutFileA(connection, big, "up-ours.bin", 2, 0); },
        [&](int) { QFile::remove(upCurl), QFile::remove(upOurs); }, kRounds);
    QFile::remove(localCopy);
    QFile::remove(big);

    const QString many = server.localPath(rel("many"));
    QDir().mkpath(many);
    for (int i = 0; i < kEntries; ++i)
        QFile(many + QStringLiteral("/file-number-%1.dat").arg(i)).open(QIODevice::WriteOnly);
    int listed = 0;
    const bench::Pair list = bench::compare(
        "listing", [&](int) { return runCurl({server.url(rel("many/")), "-o", "/dev/null"}); },
        [&](int) {
            inet::FindData data;
            const inet::HINTERNET find = api->FtpFindFirstFileA(connection, QStringLiteral("many/*"), data, 0, 0);
            listed = find ? 1 : 0;
            while (find && api->InternetFindNextFileA(find, data))
                ++listed;
            api->InternetCloseHandle(find);
            return listed == kEntries;
        },
        [](int) {}, kRounds);
    QDir(server.localPath(work)).removeRecursively();
    api->InternetCloseHandle(connection);
    api->InternetCloseHandle(session);

    std::printf("bench inet: server %s\n", qPrintable(server.kind()));
    if (!down.ok || !up.ok || !list.ok) {
        std::fprintf(stderr, "bench inet: a run failed (listed %d)\n", listed);
        return 1;
    }
    std::printf("bench inet: 1 GiB download throughput vs curl %.2f (goal >= 0.95)\n", down.other / down.ours);
    std::printf("bench inet: 1 GiB upload throughput vs curl %.2f (goal >= 0.95)\n", up.other / up.ours);
    std::printf("bench inet: 30000-entry listing time vs curl LIST %.2f (goal <= 1.2)\n", list.ours / list.other);
    std::printf("bench inet: peak resident memory during 1 GiB download MiB %.1f (goal <= 64)\n", peakKiB / 1024.0);
    std::fflush(stdout);
    std::fprintf(stderr, "bench inet: seconds: down curl %.2f ours %.2f; up curl %.2f ours %.2f; list curl %.3f ours %.3f\n",
                 down.other, down.ours, up.other, up.ours, list.other, list.ours);
    return 0;
}
