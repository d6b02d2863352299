#include "transfer/TransferPaths.h"

#include "app/modWinInet.h"
#include "local/LocalEntries.h"
#include "session/inet/internet_api.h"

namespace transfer {

KeyParts SplitKey(const QString& key)
{
    const qsizetype slash = key.lastIndexOf(u'/');
    return {key.left(slash + 1), key.mid(slash + 1)};
}

QString LocalFolderName(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

bool IsUnsafeEntryName(const QString& rawName)
{
    const QByteArray bytes = inet::NameBytes(rawName);
    return bytes.isEmpty() || bytes.contains('/') || bytes.contains('\\') || bytes.contains('\0');
}

bool IsDotEntryName(const QString& name) { return name == QLatin1String(".") || name == QLatin1String(".."); }

bool IsDownloadableFolderName(const QString& name) { return !IsDotEntryName(name) && !IsUnsafeEntryName(name); }

QString ShownEntryName(const QString& rawName)
{
    QString shown = rawName;
    return shown.replace(QChar(0), QStringLiteral("\\0"));
}

LocalFolderContent ReadLocalFolder(const QString& path)
{
    LocalFolderContent content;
    for (const local::Entry& entry : local::ReadEntries(path)) {
        // CR and LF cannot go into an FTP command.
        const QByteArray bytes = inet::NameBytes(entry.name);
        const bool sendable = !bytes.contains('\r') && !bytes.contains('\n');
        if (sendable && entry.kind == local::Entry::Kind::File)
            content.files.append(entry.name);
        else if (sendable && entry.kind == local::Entry::Kind::Folder)
            content.folders.append(entry.name);
        else
            content.skipped.append(entry.name);
    }
    // Plain character order, the same on every machine and locale.
    content.files.sort(Qt::CaseSensitive);
    content.folders.sort(Qt::CaseSensitive);
    content.skipped.sort(Qt::CaseSensitive);
    return content;
}

bool ConnectionOpen() { return modWinInet::ConnectionHandle != 0 && modWinInet::IsConnected; }

bool WalkStopped() { return modWinInet::CancelRequested || !ConnectionOpen(); }

}  // namespace transfer
