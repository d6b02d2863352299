#pragma once
// Our own parser of LIST replies, in the Unix ("ls -l") and the DOS/Windows
// formats. Names come out byte-exact: spaces at either end, inner runs of
// spaces, and names that look like dates or sizes all survive.

#include <QByteArray>
#include <QDateTime>

#include <vector>

namespace inet::detail {

struct ListingEntry {
    QByteArray name;      // raw bytes as the server sent them
    bool directory = false;
    qint64 size = -1;     // -1 when not given
    QDateTime modified;   // UTC; invalid when not given
};

// Parses a whole LIST reply. Lines that are neither format ("total 12",
// blank lines, garbage) are skipped, as are entries whose name is empty or
// holds "/" or NUL. now decides the year of Unix dates given with a time.
std::vector<ListingEntry> parseListing(const QByteArray& text, const QDateTime& now);

// One line; false when the line is not an entry.
bool parseListingLine(const QByteArray& line, const QDateTime& now, ListingEntry& entry);

// 100 ns ticks since 1601-01-01 UTC; 0 for an invalid time.
quint64 toFileTime(const QDateTime& time);

}  // namespace inet::detail
