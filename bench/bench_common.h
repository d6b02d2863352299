#pragma once
// Pieces the benchmarks share: a big test file and the peak resident memory.

#include <QFile>
#include <QRandomGenerator>

namespace bench {

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
