#pragma once
// Pieces the benchmarks share: the run order of a comparison, a big test
// file and the peak resident memory.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

struct Pair {
    double other = 0;  // median wall time of the other tool's runs, in seconds
    double ours = 0;
    bool ok = true;
};

inline double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    return n == 0 ? 0 : n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

// Runs the other tool and ours in the order other, ours, ours, other, ...
// and returns the median wall times (the mean of two). The machine drifts
// during a benchmark (closed connections hold their ports for a minute,
// freshly freed disk inodes slow down creating files), and this order lets
// the drift fall on both alike where strict alternation and best times
// favour whoever runs first; the median of three or more keeps one run
// caught by disk write-back from deciding. prepare(run) runs untimed before
// each run, then the disk settles.
inline Pair compare(const char* what, const std::function<bool(int)>& otherRun,
                    const std::function<bool(int)>& ourRun, const std::function<void(int)>& prepare, int rounds)
{
    Pair pair;
    std::vector<double> other, ours;
    for (int run = 0; run < rounds * 2; ++run) {
        const bool otherTurn = run % 4 == 0 || run % 4 == 3;
        prepare(run);
        QProcess::execute(QStringLiteral("sync"), {});
        QElapsedTimer timer;
        timer.start();
        const bool ok = otherTurn ? otherRun(run) : ourRun(run);
        const double seconds = timer.nsecsElapsed() / 1e9;
        (otherTurn ? other : ours).push_back(seconds);
        std::fprintf(stderr, "bench: %s: run %d (%s): %.3f s%s\n", what, run, otherTurn ? "other" : "ours", seconds,
                     ok ? "" : ", failed");
        pair.ok = pair.ok && ok;
    }
    pair.other = median(other);
    pair.ours = median(ours);
    return pair;
}

// Writes size bytes of random data (4 MiB blocks, no two alike) to path.
inline bool makeBigFile(const QString& path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator random(7);
    QByteArray block(4 << 20, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
    for (qint64 done = 0; done < size; done += block.size()) {
        block[0] = char(done >> 22);
        if (f.write(block) != block.size())
            return false;
    }
    return true;
}

// The process's peak resident set (VmHWM) in KiB; -1 when unknown.
inline long peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Starts a new peak from the current resident set.
inline void resetPeakRss()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

}  // namespace bench
