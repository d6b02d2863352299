#include "ftp_listing.h"

#include <QByteArrayView>

#include <array>
#include <cstring>
#include <limits>

namespace inet::detail {

namespace {

using Field = QByteArrayView;

// The first fields of a line, split at runs of blanks, as views into it.
template <size_t N>
struct Fields {
    std::array<Field, N> at;
    size_t count = 0;
};

template <size_t N>
Fields<N> tokenize(Field line)
{
    Fields<N> fields;
    const char* p = line.data();
    const char* const end = p + line.size();
    while (fields.count < N) {
        while (p < end && *p == ' ')
            ++p;
        if (p >= end)
            break;
        const char* start = p;
        while (p < end && *p != ' ')
            ++p;
        fields.at[fields.count++] = Field(start, p - start);
    }
    return fields;
}

bool allDigits(Field s)
{
    if (s.isEmpty())
        return false;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The value of a run of digits; 0 when it does not fit, as a failed
// conversion gives.
template <typename T>
T digitsValue(Field s)
{
    T value = 0;
    for (char c : s) {
        const int digit = c - '0';
        if (value > (std::numeric_limits<T>::max() - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return value;
}

int monthOf(Field s)
{
    static const char names[] = "janfebmaraprmayjunjulaugsepoctnovdec";
    if (s.size() != 3)
        return 0;
    char lower[3];
    for (int i = 0; i < 3; ++i) {
        const char c = s[i];
        lower[i] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    for (int m = 0; m < 12; ++m) {
        if (std::memcmp(lower, names + 3 * m, 3) == 0)
            return m + 1;
    }
    return 0;
}

// "12:34" or a four-digit year; fills time or year.
bool timeOrYear(Field s, QTime& time, int& year)
{
    if (s.size() == 4 && allDigits(s)) {
        year = digitsValue<int>(s);
        return true;
    }
    const qsizetype colon = s.indexOf(':');
    if (colon <= 0)
        return false;
    const Field hours = s.first(colon);
    const Field minutes = s.sliced(colon + 1);
    if (!allDigits(hours) || !allDigits(minutes))
        return false;
    time = QTime(digitsValue<int>(hours), digitsValue<int>(minutes));
    return time.isValid();
}

constexpr qint64 kMsPerDay = 86400000;

// Milliseconds since 1970 of a valid date and time, UTC.
qint64 utcMs(const QDate& date, const QTime& time)
{
    constexpr qint64 kJulianDay1970 = 2440588;
    return (date.toJulianDay() - kJulianDay1970) * kMsPerDay + time.msecsSinceStartOfDay();
}

// A valid date without a valid time stands for its midnight.
QDateTime utcTime(int year, int month, int day, const QTime& time)
{
    const QDate date(year, month, day);
    if (!date.isValid())
        return {};
    return QDateTime::fromMSecsSinceEpoch(utcMs(date, time.isValid() ? time : QTime(0, 0)), Qt::UTC);
}

// What Unix dates given with a time of day are read against: this year,
// unless that puts them more than a day ahead.
struct Clock {
    explicit Clock(const QDateTime& now)
    {
        const QDateTime nowUtc = now.toUTC();
        year = nowUtc.date().year();
        latestMs = nowUtc.toMSecsSinceEpoch() + kMsPerDay;
    }
    int year;
    qint64 latestMs;
};

QDateTime unixDate(int month, int day, const QTime& time, int year, const Clock& clock)
{
    if (year > 0)
        return utcTime(year, month, day, QTime(0, 0));
    const QDateTime t = utcTime(clock.year, month, day, time);
    if (t.isValid() && t.toMSecsSinceEpoch() > clock.latestMs)
        return utcTime(clock.year - 1, month, day, time);
    return t;
}

bool parseUnix(Field line, const Clock& clock, ListingEntry& entry)
{
    const char type = line.isEmpty() ? 0 : line[0];
    if (!std::strchr("-dlbcps", type) || line.size() < 10)
        return false;
    const Fields<9> t = tokenize<9>(line);
    // The date is month, day and time-or-year, right after the size; owner
    // and group may be missing, so look for it rather than count fields.
    for (size_t i = 2; i + 2 < t.count; ++i) {
        const int month = monthOf(t.at[i]);
        const Field day = t.at[i + 1];
        QTime time;
        int year = 0;
        if (!month || !allDigits(t.at[i - 1]) || !allDigits(day) || day.size() > 2 ||
            !timeOrYear(t.at[i + 2], time, year))
            continue;
        const Field date = t.at[i + 2];
        const qsizetype nameStart = date.data() + date.size() + 1 - line.data();  // exactly one blank after the date
        if (nameStart >= line.size())
            return false;
        Field name = line.sliced(nameStart);
        if (type == 'l') {
            const qsizetype arrow = name.indexOf(" -> ");
            if (arrow > 0)
                name.truncate(arrow);
        }
        entry.name = name.toByteArray();
        entry.directory = type == 'd';
        entry.size = digitsValue<qint64>(t.at[i - 1]);
        entry.modified = unixDate(month, digitsValue<int>(day), time, year, clock);
        return true;
    }
    return false;
}

bool endsWithNoCase(Field s, const char* tail)
{
    const qsizetype n = qsizetype(std::strlen(tail));
    return s.size() >= n && s.last(n).compare(Field(tail, n), Qt::CaseInsensitive) == 0;
}

// "01-31-20  03:04PM  <DIR>  name" or "01-31-2020  15:04  1234 name".
bool parseDos(Field line, ListingEntry& entry)
{
    const Fields<3> t = tokenize<3>(line);
    if (t.count < 3)
        return false;
    const Field dateField = t.at[0];
    const qsizetype dash1 = dateField.indexOf('-');
    const qsizetype dash2 = dash1 < 0 ? -1 : dateField.indexOf('-', dash1 + 1);
    if (dash2 < 0 || dateField.indexOf('-', dash2 + 1) >= 0)
        return false;
    const Field monthText = dateField.first(dash1);
    const Field dayText = dateField.sliced(dash1 + 1, dash2 - dash1 - 1);
    const Field yearText = dateField.sliced(dash2 + 1);
    if (!allDigits(monthText) || !allDigits(dayText) || !allDigits(yearText))
        return false;
    Field clock = t.at[1];
    const bool am = endsWithNoCase(clock, "AM");
    const bool pm = endsWithNoCase(clock, "PM");
    if (am || pm)
        clock.chop(2);
    QTime time;
    int unusedYear = 0;
    if (!timeOrYear(clock, time, unusedYear) || !time.isValid())
        return false;
    if (am || pm)
        time = QTime(time.hour() % 12 + (pm ? 12 : 0), time.minute());
    const Field kind = t.at[2];
    if (kind.compare(Field("<DIR>"), Qt::CaseInsensitive) == 0) {
        entry.directory = true;
    } else if (allDigits(kind)) {
        entry.size = digitsValue<qint64>(kind);
    } else {
        return false;
    }
    qsizetype start = kind.data() + kind.size() - line.data();
    while (start < line.size() && line[start] == ' ')
        ++start;
    entry.name = line.sliced(start).toByteArray();
    int year = digitsValue<int>(yearText);
    if (yearText.size() <= 2)
        year += year < 70 ? 2000 : 1900;
    entry.modified = utcTime(year, digitsValue<int>(monthText), digitsValue<int>(dayText), time);
    return true;
}

bool parseLine(Field line, const Clock& clock, ListingEntry& entry)
{
    entry = ListingEntry();
    if (!parseUnix(line, clock, entry) && !parseDos(line, entry))
        return false;
    return !entry.name.isEmpty() && !entry.name.contains('/') && !entry.name.contains('\0');
}

}  // namespace

bool parseListingLine(const QByteArray& line, const QDateTime& now, ListingEntry& entry)
{
    return parseLine(line, Clock(now), entry);
}

std::vector<ListingEntry> parseListing(const QByteArray& text, const QDateTime& now)
{
    const Clock clock(now);
    std::vector<ListingEntry> entries;
    entries.reserve(size_t(text.count('\n')) + 1);
    const Field all(text);
    qsizetype pos = 0;
    ListingEntry entry;
    while (pos < all.size()) {
        qsizetype end = all.indexOf('\n', pos);
        if (end < 0)
            end = all.size();
        Field line = all.sliced(pos, end - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        pos = end + 1;
        if (parseLine(line, clock, entry))
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
