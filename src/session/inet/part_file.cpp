#include "part_file.h"

#include "internet_api.h"

#include <QCoreApplication>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace inet::detail {

namespace {

constexpr qsizetype kGatherBytes = 256 * 1024;

// A hidden name beside the target that no other download of this process
// or another one uses.
QByteArray partName(const QByteArray& target)
{
    static std::atomic<quint64> counter{0};
    static const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    const qsizetype slash = target.lastIndexOf('/');
    return target.left(slash + 1) + '.' + target.mid(slash + 1) + '.' + pid + '-' + QByteArray::number(++counter) +
           ".part";
}

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

}  // namespace

// Local names are bytes that need not be UTF-8: every file call takes the
// bytes of the shown path.
PartFile::PartFile(const QString& target) : m_target(NameBytes(target)), m_part(partName(m_target)) {}

PartFile::~PartFile()
{
    if (m_created) {
        closeFile();
        ::unlink(m_part.constData());
    }
}

void PartFile::closeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool PartFile::open()
{
    struct stat target {};
    if (::stat(m_target.constData(), &target) == 0 && S_ISDIR(target.st_mode))
        return false;
    if (::access(folderOf(m_target).constData(), W_OK | X_OK) != 0)
        return false;
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool PartFile::create()
{
    if (m_created || m_createFailed)
        return m_created;
    // A plain create: the new file gets the permissions any new file would.
    m_fd = ::open(m_part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    m_created = m_fd >= 0;
    m_createFailed = !m_created;
    return m_created;
}

qint64 PartFile::writeData(const char* data, qint64 size)
{
    if (!create())
        return -1;
    // A piece as big as a gathering goes out as it is, without a copy.
    if (m_gathered.isEmpty() && size >= kGatherBytes)
        return writeAll(m_fd, data, size) ? size : -1;
    m_gathered.append(data, size);
    if (m_gathered.size() >= kGatherBytes && !flushGathered())
        return -1;
    return size;
}

bool PartFile::flushGathered()
{
    const bool written = m_gathered.isEmpty() || writeAll(m_fd, m_gathered.constData(), m_gathered.size());
    m_gathered.resize(0);  // keeps the capacity for the next pieces
    return written;
}

bool PartFile::commit()
{
    if (!isOpen() || !create() || !flushGathered())
        return false;
    struct stat earlier {};
    if (::stat(m_target.constData(), &earlier) == 0) {
        if (::fdatasync(m_fd) != 0)
            return false;
        ::fchmod(m_fd, earlier.st_mode & 07777);
    }
    closeFile();
    if (std::rename(m_part.constData(), m_target.constData()) != 0)
        return false;
    m_created = false;  // it is the target now
    close();
    return true;
}

}  // namespace inet::detail
