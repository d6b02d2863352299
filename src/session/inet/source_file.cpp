#include "source_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace inet::detail {

SourceFile::SourceFile(const QByteArray& path)
{
    m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        m_failure = errno == ENOENT || errno == ENOTDIR ? Failure::NotAFile : Failure::Unreadable;
        return;
    }
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        m_failure = Failure::NotAFile;
        return;
    }
    m_size = info.st_size;
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

SourceFile::~SourceFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SourceFile::seek(qint64 pos)
{
    // Reads go straight to the descriptor, which stands where pos() does.
    const bool there = pos == this->pos();
    return QIODevice::seek(pos) && (there || ::lseek(m_fd, pos, SEEK_SET) == pos);
}

qint64 SourceFile::readData(char* data, qint64 maxSize)
{
    qint64 got = 0;
    do {
        got = ::read(m_fd, data, size_t(maxSize));
    } while (got < 0 && errno == EINTR);
    if (got == 0)
        m_size = pos();  // shortened since it was opened: it ends here
    return got;
}

}  // namespace inet::detail
