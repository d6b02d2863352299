#pragma once
// Pure string helpers for local paths, addresses and fixed-length buffers.

#include <QChar>
#include <QString>

namespace modCommon {

// The local path separator.
inline constexpr QChar PathSeparator = u'/';

// Joins a directory and a name with exactly one separator; runs of the
// separator anywhere collapse to one and outer spaces go.
QString JoinPath(const QString& directory, const QString& name);

// The last component of a local path or an address (a query stays).
QString FileNameFromPath(const QString& path);

// Trims outer spaces and reduces every run of separator to one.
QString CollapseRepeats(const QString& text, QChar separator);

// The text up to its first NUL character.
QString TrimAtNull(const QString& text);

}  // namespace modCommon
