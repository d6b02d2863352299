#include "part_file.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace inet::detail {

namespace {

constexpr qsizetype kGatherBytes = 256 * 1024;

// A hidden name beside the target that no other download of this process
// or another one uses.
QString partName(const QString& target)
{
    static std::atomic<quint64> counter{0};
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + '.' +
           QString::number(QCoreApplication::applicationPid()) + '-' + QString::number(++counter) +
           QStringLiteral(".part");
}

}  // namespace

PartFile::PartFile(const QString& target) : m_target(target), m_file(partName(target)) {}

PartFile::~PartFile()
{
    if (m_created) {
        m_file.close();
        m_file.remove();
    }
}

bool PartFile::open()
{
    const QFileInfo target(m_target);
    if (target.isDir())
        return false;
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return false;
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool PartFile::create()
{
    if (m_created || m_createFailed)
        return m_created;
    // A plain create: the new file gets the permissions any new file would.
    m_created = m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    m_createFailed = !m_created;
    return m_created;
}

qint64 PartFile::writeData(const char* data, qint64 size)
{
    if (!create())
        return -1;
    if (m_gathered.capacity() < kGatherBytes)
        m_gathered.reserve(kGatherBytes);
    m_gathered.append(data, size);
    if (m_gathered.size() >= kGatherBytes && !flushGathered())
        return -1;
    return size;
}

bool PartFile::flushGathered()
{
    const bool written = m_gathered.isEmpty() || m_file.write(m_gathered) == m_gathered.size();
    m_gathered.resize(0);  // keeps the capacity for the next pieces
    return written;
}

bool PartFile::commit()
{
    if (!isOpen() || !create() || !flushGathered())
        return false;
    const QFileInfo earlier(m_target);
    if (earlier.exists()) {
        if (::fdatasync(m_file.handle()) != 0)
            return false;
        m_file.setPermissions(earlier.permissions());
    }
    m_file.close();
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0)
        return false;
    m_created = false;  // it is the target now
    close();
    return true;
}

}  // namespace inet::detail
