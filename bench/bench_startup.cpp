// Program start to the first paint, offscreen, against a bare Qt main window
// built the same way. Both carry a probe that prints the monotonic clock at
// their first paint event; the time counts from just before the start.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "bench_common.h"

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kRounds = 15;

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Seconds from the start of program to its first paint; -1 on failure.
double firstPaint(const QString& program, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    const qint64 start = monotonicNs();
    process.start(program, {});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return -1;
    const QByteArray out = process.readAllStandardOutput();
    const qsizetype at = out.indexOf("first paint ");
    if (at < 0)
        return -1;
    const qint64 painted = out.mid(at + 12).trimmed().split('\n').first().toLongLong();
    return (painted - start) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString bare = dir + QStringLiteral("/startup_bare");
    const QString ours = dir + QStringLiteral("/startup_quillon");
    // A runtime folder of its own, so that a running copy of the program
    // does not count as an earlier instance.
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

    // One untimed start of each brings the libraries and fonts into the page cache.
    firstPaint(bare, environment);
    firstPaint(ours, environment);
    std::vector<double> bareTimes, ourTimes;
    for (int run = 0; run < kRounds * 2; ++run) {
        const bool bareTurn = run % 4 == 0 || run % 4 == 3;
        const double seconds = firstPaint(bareTurn ? bare : ours, environment);
        if (seconds < 0) {
            std::fprintf(stderr, "bench startup: run %d (%s) failed\n", run, bareTurn ? "bare" : "ours");
            return 1;
        }
        (bareTurn ? bareTimes : ourTimes).push_back(seconds);
    }
    const double bareMedian = bench::median(bareTimes);
    const double ourMedian = bench::median(ourTimes);
    std::printf("  medians of %d runs each, start to first paint: program %.1f ms, bare window %.1f ms\n", kRounds,
                ourMedian * 1e3, bareMedian * 1e3);
    std::printf("bench startup: %.2f (goal <= 2.0)\n", ourMedian / bareMedian);
    return 0;
}
