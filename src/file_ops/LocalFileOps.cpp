#include "file_ops/LocalFileOps.h"

#include "local/LocalEntries.h"

#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileops {
namespace {

// Paths are shown paths: a listed name that is not UTF-8 leads back to its bytes.
QByteArray native(const QString& path) { return local::PathBytes(path); }

int result(int rc) { return rc == 0 ? 0 : errno; }

}  // namespace

int MakeLocalDirectory(const QString& path) { return result(::mkdir(native(path).constData(), 0777)); }

int RemoveLocalDirectory(const QString& path) { return result(::rmdir(native(path).constData())); }

int DeleteLocalFile(const QString& path) { return result(::unlink(native(path).constData())); }

int RenameLocalItem(const QString& from, const QString& to)
{
    const QByteArray source = native(from);
    const QByteArray target = native(to);
    if (source == target) {
        struct stat info {};
        return result(::lstat(source.constData(), &info));
    }
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without the no-replace rename: look first, then rename.
    struct stat info {};
    if (::lstat(target.constData(), &info) == 0)
        return EEXIST;
    return result(::rename(source.constData(), target.constData()));
}

QString LocalErrorReason(int error)
{
    switch (error) {
    case EEXIST:
        return QStringLiteral("同名的文件或目录已存在");
    case ENOTEMPTY:
        return QStringLiteral("目录不为空");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有权限");
    case EROFS:
        return QStringLiteral("磁盘只读");
    case ENOENT:
        return QStringLiteral("文件或目录不存在");
    case ENOTDIR:
        return QStringLiteral("路径中有一项不是目录");
    case EISDIR:
        return QStringLiteral("这是一个目录");
    case ENAMETOOLONG:
        return QStringLiteral("名称过长");
    case EINVAL:
        return QStringLiteral("名称无效");
    case EBUSY:
        return QStringLiteral("文件或目录正在使用");
    case EXDEV:
        return QStringLiteral("不能移到另一个磁盘");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    default:
        return QStringLiteral("系统错误 ") + QString::number(error);
    }
}

QString ChildPath(const QString& directory, const QString& name)
{
    if (directory.endsWith(u'/'))
        return directory + name;
    return directory + u'/' + name;
}

QString LastPiece(const QString& path, QChar separator) { return path.split(separator).last(); }

QString ReplaceLastPiece(const QString& path, QChar separator, const QString& name)
{
    QStringList pieces = path.split(separator);
    pieces.last() = name;
    return pieces.join(separator);
}

bool IsBlankName(const QString& text)
{
    for (const QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

}  // namespace fileops
