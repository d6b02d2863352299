#include "local/LocalEntries.h"

#include "session/inet/internet_api.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace local {

namespace {

Entry::Kind kindOf(const QByteArray& path)
{
    struct stat own {};
    struct stat target {};
    if (::lstat(path.constData(), &own) != 0)
        return Entry::Kind::Other;
    const bool resolves = ::stat(path.constData(), &target) == 0;
    if (S_ISLNK(own.st_mode))
        return !resolves ? Entry::Kind::Other
               : S_ISDIR(target.st_mode) ? Entry::Kind::LinkedFolder
               : S_ISREG(target.st_mode) ? Entry::Kind::File
                                         : Entry::Kind::Other;
    if (S_ISDIR(own.st_mode))
        return Entry::Kind::Folder;
    return S_ISREG(own.st_mode) ? Entry::Kind::File : Entry::Kind::Other;
}

}  // namespace

QByteArray PathBytes(const QString& shownPath) { return inet::NameBytes(shownPath); }

QList<Entry> ReadEntries(const QString& shownPath)
{
    QList<Entry> entries;
    const QByteArray folder = PathBytes(shownPath);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return entries;
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        entries.append({inet::ShownName(name), kindOf(prefix + name)});
    }
    return entries;
}

}  // namespace local
