// The LIST parser, one row a case.
#include "session/inet/ftp_listing.h"

#include <gtest/gtest.h>

using inet::detail::ListingEntry;
using inet::detail::parseListing;
using inet::detail::parseListingLine;

namespace {

const QDateTime kNow(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC);

// 100 ns ticks since 1601 of an ISO time; 0 for none.
quint64 ticksOf(const char* iso)
{
    const QDateTime time = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    constexpr qint64 kMs1601To1970 = 11644473600000LL;
    return time.isValid() ? quint64(time.toMSecsSinceEpoch() + kMs1601To1970) * 10000 : 0;
}

struct Row {
    const char* line;
    bool parsed;
    const char* name;
    bool directory;
    qint64 size;
    const char* modified;  // ISO, UTC
};

const Row kRows[] = {
    {"-rw-r--r--    1 1000     1000         1234 Jan 02 10:30 readme.txt", true, "readme.txt", false, 1234,
     "2024-01-02T10:30:00Z"},
    {"drwxr-xr-x    2 ftp      ftp          4096 Dec 24  2019 pub", true, "pub", true, 4096, "2019-12-24T00:00:00Z"},
    {"-rw-r--r--   1 user group 5 Jan  1 2020  lead", true, " lead", false, 5, "2020-01-01T00:00:00Z"},
    {"-rw-r--r--   1 user group 5 Jan  1 2020 trail  ", true, "trail  ", false, 5, "2020-01-01T00:00:00Z"},
    {"-rw-r--r--   1 user group 5 Mar 10 09:00 Jan 1 2020 x", true, "Jan 1 2020 x", false, 5,
     "2024-03-10T09:00:00Z"},
    {"-rw-r--r--   1 user group 5 Mar 10 09:00 1234", true, "1234", false, 5, "2024-03-10T09:00:00Z"},
    // A time of day later than now belongs to last year.
    {"-rw-r--r--   1 user group 7 Dec 31 23:59 old", true, "old", false, 7, "2023-12-31T23:59:00Z"},
    {"-rw-r--r-- 1 owner 77 Feb 29 2020 nogroup", true, "nogroup", false, 77, "2020-02-29T00:00:00Z"},
    {"lrwxrwxrwx   1 u g 11 Jan  1 2020 link -> target", true, "link", false, 11, "2020-01-01T00:00:00Z"},
    {"-rw-r--r--   1 u g 3 Jan  1 2020 中文.txt", true, "中文.txt", false, 3, "2020-01-01T00:00:00Z"},
    {"-rw-r--r--   1 u g 3 JAN  1 2020 upper", true, "upper", false, 3, "2020-01-01T00:00:00Z"},
    // A size too big to hold reads as 0; a day the month lacks leaves the time unknown.
    {"-rw-r--r--   1 u g 99999999999999999999 Apr 31 10:00 huge", true, "huge", false, 0, ""},
    {"-rw-r--r--   1 u g 3 Jan  1 25:00 x", false, "", false, 0, ""},  // no hour 25
    {"01-31-20  03:04PM       <DIR>          Program Files", true, "Program Files", true, -1,
     "2020-01-31T15:04:00Z"},
    {"12-01-1999  00:15                 5678 old.dat", true, "old.dat", false, 5678, "1999-12-01T00:15:00Z"},
    {"06-01-24  12:30AM                 1 late.txt", true, "late.txt", false, 1, "2024-06-01T00:30:00Z"},
    {"total 12", false, "", false, 0, ""},
    {"", false, "", false, 0, ""},
    {"garbage line with words", false, "", false, 0, ""},
    {"-rw-r--r--   1 u g 3 Jan  1 2020 ", false, "", false, 0, ""},        // empty name
    {"-rw-r--r--   1 u g 3 Jan  1 2020 a/b", false, "", false, 0, ""},     // slash
    {"-rw-r--r--   1 u g 3 Foo  1 2020 bad", false, "", false, 0, ""},     // no date
    {"drwx", false, "", false, 0, ""},
};

}  // namespace

TEST(ListingParser, Rows)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.line);
        ListingEntry entry;
        const QByteArray line(row.line);
        ASSERT_EQ(parseListingLine(line, kNow, entry), row.parsed);
        if (!row.parsed)
            continue;
        EXPECT_EQ(entry.name, QByteArray(row.name));
        EXPECT_EQ(entry.directory, row.directory);
        EXPECT_EQ(entry.size, row.size);
        EXPECT_EQ(entry.fileTime, ticksOf(row.modified)) << row.line;
    }
}

TEST(ListingParser, WholeReplyKeepsOrderAndSkipsNoiseAndNul)
{
    QByteArray text = "total 3\r\n"
                      "-rw-r--r-- 1 u g 1 Jan  1 2020 b\r\n"
                      "drwxr-xr-x 2 u g 0 Jan  1 2020 a\r\n";
    text += QByteArray("-rw-r--r-- 1 u g 1 Jan  1 2020 n\0ul\r\n", 38);
    text += "\x01\x02 binary noise\n-rw-r--r-- 1 u g 9 Jan  1 2020 last";
    std::vector<ListingEntry> entries;
    parseListing(text, kNow, [&](const ListingEntry& entry) { entries.push_back(entry); });
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, QByteArray("b"));
    EXPECT_EQ(entries[1].name, QByteArray("a"));
    EXPECT_TRUE(entries[1].directory);
    EXPECT_EQ(entries[2].name, QByteArray("last"));
}

TEST(ListingParser, FileTimeCountsFrom1601)
{
    const struct {
        const char* line;
        quint64 ticks;
    } rows[] = {
        {"-rw-r--r-- 1 u g 1 Jan  1 1970 epoch", 116444736000000000ULL},
        {"-rw-r--r-- 1 u g 1 Jan  2 1601 day", 864000000000ULL},
        {"-rw-r--r-- 1 u g 1 Dec 31 1600 early", 0},          // before 1601: unknown
        {"-rw-r--r-- 1 u g 1 Feb 29 2100 noleap", 0},         // 2100 is no leap year
        {"-rw-r--r-- 1 u g 1 Feb 29 2000 leap", 125962560000000000ULL},
        {"12-31-69  11:59PM  1 dos", 148002335400000000ULL},  // two-digit years before 70 are 20xx
    };
    for (const auto& row : rows) {
        ListingEntry entry;
        const QByteArray line(row.line);
        ASSERT_TRUE(parseListingLine(line, kNow, entry)) << row.line;
        EXPECT_EQ(entry.fileTime, row.ticks) << row.line;
    }
}
