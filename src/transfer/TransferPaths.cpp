#include "transfer/TransferPaths.h"

#include "app/modWinInet.h"

#include <QDir>

namespace transfer {

KeyParts SplitKey(const QString& key)
{
    const qsizetype slash = key.lastIndexOf(u'/');
    return {key.left(slash + 1), key.mid(slash + 1)};
}

QString LocalFolderName(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

bool IsUnsafeEntryName(const QString& rawName)
{
    return rawName.isEmpty() || rawName.contains(u'/') || rawName.contains(u'\\') || rawName.contains(QChar(0));
}

QString ShownEntryName(const QString& rawName)
{
    QString shown = rawName;
    return shown.replace(QChar(0), QStringLiteral("\\0"));
}

LocalFolderContent ReadLocalFolder(const QString& path)
{
    const QDir dir(path);
    LocalFolderContent content{dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted),
                               dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                                             QDir::Unsorted)};
    // Plain character order, the same on every machine and locale.
    content.files.sort(Qt::CaseSensitive);
    content.folders.sort(Qt::CaseSensitive);
    return content;
}

bool ConnectionOpen() { return modWinInet::ConnectionHandle != 0 && modWinInet::IsConnected; }

bool WalkStopped() { return modWinInet::CancelRequested || !ConnectionOpen(); }

}  // namespace transfer
