#pragma once
// Finding helper programs (a text editor, a system-information tool) on the PATH.

#include <QString>
#include <QStringList>

namespace help {

// The full path of the first of names found on the PATH (or in searchPaths
// when given); empty when none is there.
QString FindProgram(const QStringList& names, const QStringList& searchPaths = {});

// Text editors tried, in order, when the desktop cannot open a text file.
QStringList TextEditors();
// System-information programs tried, in order.
QStringList SystemInfoPrograms();

// One word of a command line, quoted when it holds blanks.
QString QuoteArgument(const QString& word);

}  // namespace help
