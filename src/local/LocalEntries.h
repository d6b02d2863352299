#pragma once
// The entries of a local folder by their bytes, so that names that are not
// UTF-8 are listed too, in their shown form (inet::ShownName).

#include <QByteArray>
#include <QList>
#include <QString>

namespace local {

struct Entry {
    enum class Kind {
        File,          // a file, or a link to one
        Folder,        // a folder that is not a link
        LinkedFolder,  // a link to a folder
        Other,         // a device, pipe, socket or dangling link
    };
    QString name;  // shown form
    Kind kind = Kind::Other;
};

// The entries of the folder at a shown path, "." and ".." left out, in the
// order the file system gives them; empty when it cannot be read.
QList<Entry> ReadEntries(const QString& shownPath);

// The bytes of a shown local path, for the system's file calls.
QByteArray PathBytes(const QString& shownPath);

}  // namespace local
