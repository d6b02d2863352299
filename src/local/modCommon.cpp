#include "local/modCommon.h"

#include <QStringList>

namespace modCommon {

QString JoinPath(const QString& directory, const QString& name)
{
    const bool seam = directory.endsWith(PathSeparator) || name.startsWith(PathSeparator);
    const QString joined = seam ? QString(directory + name) : QString(directory + PathSeparator + name);
    return CollapseRepeats(joined, PathSeparator);
}

QString FileNameFromPath(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const int colon = path.indexOf(u':');
    QChar candidate;
    if (colon < 0)
        candidate = path.front();
    else if (colon + 1 < path.size())
        candidate = path.at(colon + 1);
    const QChar separator = (candidate == u'/' || candidate == u'\\') ? candidate : QChar(u'\\');
    return path.split(separator).last();
}

QString CollapseRepeats(const QString& text, QChar separator)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    QString result = text.mid(first, last - first);
    const QString twice(2, separator);
    for (qsizetype before = -1; before != result.size();) {
        before = result.size();
        result.replace(twice, QString(separator));
    }
    return result;
}

QString TrimAtNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

}  // namespace modCommon
