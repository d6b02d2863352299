#pragma once
// Making, removing and renaming on the local disk, and the path rewriting
// the rename commands share. Each operation either does exactly what was
// asked or changes nothing and returns the system's error number.

#include <QChar>
#include <QString>

namespace fileops {

// 0 on success, otherwise the errno of the refused call.
int MakeLocalDirectory(const QString& path);
int RemoveLocalDirectory(const QString& path);
int DeleteLocalFile(const QString& path);
// Never replaces an existing item: a taken new name fails with EEXIST.
// Renaming an item to its own path succeeds without touching it.
int RenameLocalItem(const QString& from, const QString& to);

// Why a local operation failed, in words for the status bar.
QString LocalErrorReason(int error);

// A directory and a name below it, with one separator between them; the
// name is kept exactly as typed.
QString ChildPath(const QString& directory, const QString& name);

// The last piece of path split at separator (empty pieces kept).
QString LastPiece(const QString& path, QChar separator);
// path with its last piece replaced by name: /pub/old.txt, new.txt -> /pub/new.txt.
QString ReplaceLastPiece(const QString& path, QChar separator, const QString& name);

// True when text is empty or holds only spaces (a cancelled name).
bool IsBlankName(const QString& text);

}  // namespace fileops
