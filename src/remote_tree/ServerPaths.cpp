#include "remote_tree/ServerPaths.h"

namespace remote_tree {

QString JoinServerPath(const QString& directory, const QString& relative)
{
    QString base = directory.isEmpty() ? QStringLiteral("/") : directory;
    if (relative.isEmpty())
        return base;
    while (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    if (base == QLatin1String("/"))
        base.clear();
    if (!relative.startsWith(u'/'))
        base += u'/';
    return base + relative;
}

QString ServerPathOfKey(const QString& key, const QString& serverText, const QString& loginDirectory)
{
    return JoinServerPath(loginDirectory, key.mid(serverText.size()));
}

QString DirectoryOf(const QString& keyOrPath, const QString& serverText, const QString& loginDirectory)
{
    const bool isKey = !serverText.isEmpty() && keyOrPath.startsWith(serverText);
    const QString path = isKey ? ServerPathOfKey(keyOrPath, serverText, loginDirectory) : keyOrPath;
    return path.isEmpty() ? QStringLiteral("/") : path;
}

bool IsNodeName(const QString& name) { return !name.isEmpty() && !name.contains(u'/'); }

}  // namespace remote_tree
