#pragma once
// Our own parser of LIST replies, in the Unix ("ls -l") and the DOS/Windows
// formats. Names come out byte-exact: spaces at either end, inner runs of
// spaces, and names that look like dates or sizes all survive.

#include <QByteArrayView>
#include <QDateTime>

#include <functional>

namespace inet::detail {

struct ListingEntry {
    QByteArrayView name;  // raw bytes as the server sent them, within the parsed text
    bool directory = false;
    qint64 size = -1;     // -1 when not given
    quint64 fileTime = 0; // time of change in 100 ns ticks since 1601, UTC; 0 when not given
};

// Parses a whole LIST reply and hands each entry to take, in order. Lines
// that are neither format ("total 12", blank lines, garbage) are skipped, as
// are entries whose name is empty or holds "/" or NUL. now decides the year
// of Unix dates given with a time.
void parseListing(QByteArrayView text, const QDateTime& now, const std::function<void(const ListingEntry&)>& take);

// One line; false when the line is not an entry.
bool parseListingLine(QByteArrayView line, const QDateTime& now, ListingEntry& entry);

}  // namespace inet::detail
