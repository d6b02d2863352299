#include "help/ProgramSearch.h"

#include <QStandardPaths>

namespace help {

QString FindProgram(const QStringList& names, const QStringList& searchPaths)
{
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name, searchPaths);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QStringList TextEditors()
{
    return {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kwrite"),
            QStringLiteral("kate"), QStringLiteral("mousepad"), QStringLiteral("pluma"), QStringLiteral("xed"),
            QStringLiteral("featherpad"), QStringLiteral("leafpad"), QStringLiteral("geany")};
}

QStringList SystemInfoPrograms()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor")};
}

QString QuoteArgument(const QString& word)
{
    if (!word.contains(u' ') && !word.contains(u'\t'))
        return word;
    QString escaped = word;
    escaped.replace(u'"', QLatin1String("\"\"\""));
    return u'"' + escaped + u'"';
}

}  // namespace help
