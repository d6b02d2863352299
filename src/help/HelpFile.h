#pragma once
// The help text file "ReadMe.txt": where it lives, its text, writing it
// when missing and opening it for reading.

#include <QString>
#include <QStringList>

namespace help {

inline const QString HelpFileName = QStringLiteral("ReadMe.txt");

// The help text, one entry per line, without line ends.
QStringList HelpLines();

// Whether the program's folder is a bin/ folder that many programs share (an
// installed program: /usr/bin, ~/.local/bin), not one of the program's own.
bool IsSharedProgramFolder(const QString& programFolder);

// The folder for the help file: the program's own folder when it can be
// written or already holds the file, otherwise the user's data folder;
// always the data folder for a program in a shared folder.
QString ChooseHelpFolder(const QString& programFolder, bool programFolderWritable, bool holdsHelpFile,
                         const QString& dataFolder);
// The folder on this machine (or the one set by OverrideHelpFolder).
QString HelpFolder();
// Puts folder in place of the program's folder; empty restores it (tests).
void OverrideHelpFolder(const QString& folder);

// Writes the help text to path unless a file is there already; false when
// nothing was written.
bool WriteHelpFileIfMissing(const QString& path);

// Opens the help file (named relative to the current directory) in the
// desktop's text viewer, or else in a text editor found on the PATH;
// never waits for it. False when nothing could be started.
bool OpenHelpFile(const QString& path);

}  // namespace help
