#include "ftp_listing.h"

#include <QTimeZone>

#include <array>
#include <cstring>

namespace inet::detail {

namespace {

struct Token {
    qsizetype begin;
    qsizetype end;
};

// The first maxTokens blank-separated fields of line with their positions.
std::vector<Token> tokenize(const QByteArray& line, int maxTokens)
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n && int(tokens.size()) < maxTokens) {
        while (i < n && line[i] == ' ')
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && line[i] != ' ')
            ++i;
        tokens.push_back({start, i});
    }
    return tokens;
}

QByteArray field(const QByteArray& line, const Token& t)
{
    return line.mid(t.begin, t.end - t.begin);
}

bool allDigits(const QByteArray& s)
{
    if (s.isEmpty())
        return false;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int monthOf(const QByteArray& s)
{
    static const std::array<const char*, 12> names = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() != 3)
        return 0;
    const QByteArray lower = s.toLower();
    for (int m = 0; m < 12; ++m) {
        if (lower == names[size_t(m)])
            return m + 1;
    }
    return 0;
}

// "12:34" or a year; fills time or year.
bool timeOrYear(const QByteArray& s, QTime& time, int& year)
{
    if (allDigits(s) && s.size() == 4) {
        year = s.toInt();
        return true;
    }
    const qsizetype colon = s.indexOf(':');
    if (colon <= 0 || !allDigits(s.left(colon)) || !allDigits(s.mid(colon + 1)))
        return false;
    time = QTime(s.left(colon).toInt(), s.mid(colon + 1).toInt());
    return time.isValid();
}

QDateTime unixDate(int month, int day, const QTime& time, int year, const QDateTime& now)
{
    if (year > 0)
        return QDateTime(QDate(year, month, day), QTime(0, 0), Qt::UTC);
    // With a time of day the year is left out: the date lies within the last year.
    const QDateTime nowUtc = now.toUTC();
    QDateTime t(QDate(nowUtc.date().year(), month, day), time, Qt::UTC);
    if (t.isValid() && t > nowUtc.addDays(1))
        t = QDateTime(QDate(nowUtc.date().year() - 1, month, day), time, Qt::UTC);
    return t;
}

bool parseUnix(const QByteArray& line, const QDateTime& now, ListingEntry& entry)
{
    const char type = line.isEmpty() ? 0 : line[0];
    if (!std::strchr("-dlbcps", type) || line.size() < 10)
        return false;
    const std::vector<Token> t = tokenize(line, 9);
    // The date is month, day and time-or-year, right after the size; owner
    // and group may be missing, so look for it rather than count fields.
    for (size_t i = 2; i + 2 < t.size(); ++i) {
        const int month = monthOf(field(line, t[i]));
        const QByteArray day = field(line, t[i + 1]);
        QTime time;
        int year = 0;
        if (!month || !allDigits(field(line, t[i - 1])) || !allDigits(day) || day.size() > 2 ||
            !timeOrYear(field(line, t[i + 2]), time, year))
            continue;
        const qsizetype nameStart = t[i + 2].end + 1;  // exactly one blank after the date
        if (nameStart >= line.size())
            return false;
        entry.name = line.mid(nameStart);
        if (type == 'l') {
            const qsizetype arrow = entry.name.indexOf(" -> ");
            if (arrow > 0)
                entry.name.truncate(arrow);
        }
        entry.directory = type == 'd';
        entry.size = field(line, t[i - 1]).toLongLong();
        entry.modified = unixDate(month, day.toInt(), time, year, now);
        return true;
    }
    return false;
}

// "01-31-20  03:04PM  <DIR>  name" or "01-31-2020  15:04  1234 name".
bool parseDos(const QByteArray& line, ListingEntry& entry)
{
    const std::vector<Token> t = tokenize(line, 3);
    if (t.size() < 3)
        return false;
    const QList<QByteArray> date = field(line, t[0]).split('-');
    if (date.size() != 3 || !allDigits(date[0]) || !allDigits(date[1]) || !allDigits(date[2]))
        return false;
    QByteArray clock = field(line, t[1]).toUpper();
    int hourShift = 0;
    if (clock.endsWith("AM") || clock.endsWith("PM")) {
        hourShift = clock.endsWith("PM") ? 12 : 0;
        clock.chop(2);
    }
    QTime time;
    int unusedYear = 0;
    if (!timeOrYear(clock, time, unusedYear) || !time.isValid())
        return false;
    if (hourShift || field(line, t[1]).toUpper().endsWith("AM"))
        time = QTime(time.hour() % 12 + hourShift, time.minute());
    const QByteArray kind = field(line, t[2]);
    if (kind.toUpper() == "<DIR>") {
        entry.directory = true;
    } else if (allDigits(kind)) {
        entry.size = kind.toLongLong();
    } else {
        return false;
    }
    qsizetype start = t[2].end;
    while (start < line.size() && line[start] == ' ')
        ++start;
    entry.name = line.mid(start);
    int year = date[2].toInt();
    if (date[2].size() <= 2)
        year += year < 70 ? 2000 : 1900;
    entry.modified = QDateTime(QDate(year, date[0].toInt(), date[1].toInt()), time, Qt::UTC);
    return true;
}

}  // namespace

bool parseListingLine(const QByteArray& line, const QDateTime& now, ListingEntry& entry)
{
    entry = ListingEntry();
    if (!parseUnix(line, now, entry) && !parseDos(line, entry))
        return false;
    return !entry.name.isEmpty() && !entry.name.contains('/') && !entry.name.contains('\0');
}

std::vector<ListingEntry> parseListing(const QByteArray& text, const QDateTime& now)
{
    std::vector<ListingEntry> entries;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        QByteArray line = text.mid(pos, end - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        pos = end + 1;
        ListingEntry entry;
        if (parseListingLine(line, now, entry))
            entries.push_back(std::move(entry));
    }
    return entries;
}

quint64 toFileTime(const QDateTime& time)
{
    if (!time.isValid())
        return 0;
    constexpr qint64 kEpochDelta = 11644473600LL;  // seconds from 1601 to 1970
    const qint64 ms = time.toMSecsSinceEpoch() + kEpochDelta * 1000;
    return ms < 0 ? 0 : quint64(ms) * 10000;
}

}  // namespace inet::detail

