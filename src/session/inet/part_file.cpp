#include "part_file.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace inet::detail {

namespace {

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

PartFile::PartFile(const QString& target) : QFile(partName(target)), m_target(target) {}

PartFile::~PartFile()
{
    if (m_created) {
        close();
        remove();
    }
}

bool PartFile::open()
{
    if (QFileInfo(m_target).isDir())
        return false;
    // A plain create: the new file gets the permissions any new file would.
    m_created = QFile::open(QIODevice::WriteOnly | QIODevice::NewOnly);
    return m_created;
}

bool PartFile::commit()
{
    if (!isOpen() || !flush())
        return false;
    const QFileInfo earlier(m_target);
    if (earlier.exists()) {
        if (::fdatasync(handle()) != 0)
            return false;
        setPermissions(earlier.permissions());
    }
    close();
    if (std::rename(QFile::encodeName(fileName()).constData(), QFile::encodeName(m_target).constData()) != 0)
        return false;
    m_created = false;  // it is the target now
    return true;
}

}  // namespace inet::detail
