#pragma once
// Plain rules of the transfer commands: how a node key splits into folder
// and name, which listed names may become local files, and what a local
// folder holds for an upload. No widgets, no library calls.

#include <QString>
#include <QStringList>

namespace transfer {

// The flags-and-attributes word of every download: always fetch afresh.
inline constexpr quint32 DownloadAttributes = 0x80000000u;

// A node key split at its last "/": the folder part keeps the "/"
// ("srv/pub/" and "a.txt"); a key without "/" is all name.
struct KeyParts {
    QString folder;
    QString name;
};
KeyParts SplitKey(const QString& key);

// The last component of a local path: "src" for "/work/src", empty for "/".
QString LocalFolderName(const QString& path);

// A listed entry name (shown form) that cannot stand as one local path
// component: empty, or its bytes holding "/", "\" or NUL.
bool IsUnsafeEntryName(const QString& rawName);
// "." or "..": a listed entry standing for the folder itself or its parent.
bool IsDotEntryName(const QString& name);
// Whether a node's name may become a local folder of a download: neither
// a dot entry nor unsafe as above.
bool IsDownloadableFolderName(const QString& name);
// The name as a hint shows it, NULs made visible.
QString ShownEntryName(const QString& rawName);

// What a local folder holds for an upload, each list in name order, names
// in their shown form. Linked folders are skipped so a link to an ancestor
// cannot loop; so are devices, pipes, dangling links and names holding CR or LF.
struct LocalFolderContent {
    QStringList files;    // names
    QStringList folders;  // names
    QStringList skipped;  // names
};
LocalFolderContent ReadLocalFolder(const QString& path);

// False once the connection has been closed (by the error report, the
// disconnect or the session dialog) while a command was running.
bool ConnectionOpen();
// True when a folder walk must stop: a cancel was asked for, or the
// connection was closed while the walk yielded.
bool WalkStopped();

}  // namespace transfer
