#include "ftp_listing.h"

#include <QByteArrayView>
#include <QDate>

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

// "12:34" or a four-digit year; fills the minute of the day or the year.
bool timeOrYear(Field s, int& minuteOfDay, int& year)
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
    const int hour = digitsValue<int>(hours);
    const int minute = digitsValue<int>(minutes);
    if (hour > 23 || minute > 59)
        return false;
    minuteOfDay = hour * 60 + minute;
    return true;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && QDate::isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
qint64 daysSince1970(int year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

constexpr qint64 kMinutesPerDay = 24 * 60;
constexpr qint64 kDaysFrom1601To1970 = 134774;
constexpr quint64 kTicksPerMinute = 600000000;

// Minutes since 1970 of a date and a minute of the day, UTC; false for a
// date that does not exist.
bool utcMinutes(int year, int month, int day, int minuteOfDay, qint64& minutes)
{
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return false;
    minutes = daysSince1970(year, month, day) * kMinutesPerDay + minuteOfDay;
    return true;
}

// Minutes since 1970 in 100 ns ticks since 1601; 0 before 1601.
quint64 ticksOf(qint64 minutes)
{
    const qint64 since1601 = minutes + kDaysFrom1601To1970 * kMinutesPerDay;
    return since1601 < 0 ? 0 : quint64(since1601) * kTicksPerMinute;
}

// The time in 100 ns ticks since 1601, UTC; 0 for a date that does not
// exist or lies before 1601.
quint64 fileTime(int year, int month, int day, int minuteOfDay)
{
    qint64 minutes = 0;
    return utcMinutes(year, month, day, minuteOfDay, minutes) ? ticksOf(minutes) : 0;
}

// What Unix dates given with a time of day are read against: this year,
// unless that puts them more than a day ahead.
struct Clock {
    explicit Clock(const QDateTime& now)
    {
        const QDateTime nowUtc = now.toUTC();
        year = nowUtc.date().year();
        latestMinutes = nowUtc.toSecsSinceEpoch() / 60 + kMinutesPerDay;
    }
    int year;
    qint64 latestMinutes;
};

// A date with a year stands for its midnight; one with a time of day is in
// the clock's year, or the year before when that would be more than a day ahead.
quint64 unixDate(int month, int day, int minuteOfDay, int year, const Clock& clock)
{
    if (year > 0)
        return fileTime(year, month, day, 0);
    qint64 minutes = 0;
    if (!utcMinutes(clock.year, month, day, minuteOfDay, minutes))
        return 0;
    return minutes > clock.latestMinutes ? fileTime(clock.year - 1, month, day, minuteOfDay) : ticksOf(minutes);
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
        int minuteOfDay = 0;
        int year = 0;
        if (!month || !allDigits(t.at[i - 1]) || !allDigits(day) || day.size() > 2 ||
            !timeOrYear(t.at[i + 2], minuteOfDay, year))
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
        entry.name = name;
        entry.directory = type == 'd';
        entry.size = digitsValue<qint64>(t.at[i - 1]);
        entry.fileTime = unixDate(month, digitsValue<int>(day), minuteOfDay, year, clock);
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
    int minuteOfDay = -1;
    int unusedYear = 0;
    if (!timeOrYear(clock, minuteOfDay, unusedYear) || minuteOfDay < 0)
        return false;
    if (am || pm)
        minuteOfDay = (minuteOfDay / 60 % 12 + (pm ? 12 : 0)) * 60 + minuteOfDay % 60;
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
    entry.name = line.sliced(start);
    int year = digitsValue<int>(yearText);
    if (yearText.size() <= 2)
        year += year < 70 ? 2000 : 1900;
    entry.fileTime = fileTime(year, digitsValue<int>(monthText), digitsValue<int>(dayText), minuteOfDay);
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

bool parseListingLine(QByteArrayView line, const QDateTime& now, ListingEntry& entry)
{
    return parseLine(line, Clock(now), entry);
}

void parseListing(QByteArrayView all, const QDateTime& now, const std::function<void(const ListingEntry&)>& take)
{
    const Clock clock(now);
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
            take(entry);
    }
}

}  // namespace inet::detail
