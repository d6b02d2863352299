#include "part_file.h"

#include <QFileInfo>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace inet::detail {

namespace {

QString partTemplate(const QString& target)
{
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX.part");
}

// What a freshly created file would get: 0666 less the process's umask.
QFileDevice::Permissions newFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions permissions;
    if (mode & S_IRUSR)
        permissions |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR)
        permissions |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP)
        permissions |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP)
        permissions |= QFileDevice::WriteGroup;
    if (mode & S_IROTH)
        permissions |= QFileDevice::ReadOther;
    if (mode & S_IWOTH)
        permissions |= QFileDevice::WriteOther;
    return permissions;
}

}  // namespace

PartFile::PartFile(const QString& target) : QTemporaryFile(partTemplate(target)), m_target(target) {}

bool PartFile::open()
{
    if (QFileInfo(m_target).isDir())
        return false;
    return QTemporaryFile::open();
}

bool PartFile::commit()
{
    if (!isOpen() || !flush())
        return false;
    const QFileInfo earlier(m_target);
    const bool replacing = earlier.exists();
    if (replacing && ::fdatasync(handle()) != 0)
        return false;
    setPermissions(replacing ? earlier.permissions() : newFilePermissions());
    const QString part = fileName();
    close();
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(m_target).constData()) != 0)
        return false;
    setAutoRemove(false);  // it is the target now
    return true;
}

}  // namespace inet::detail
