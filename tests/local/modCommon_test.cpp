#include "local/modCommon.h"

#include <gtest/gtest.h>

using namespace modCommon;

namespace {

struct Row {
    const char* a;
    const char* b;
    const char* expected;
};

TEST(JoinPath, JoinsWithExactlyOneSeparator)
{
    const Row rows[] = {
        {"/data", "a.txt", "/data/a.txt"},
        {"/", "a.txt", "/a.txt"},
        {"/data/", "/a.txt", "/data/a.txt"},
        {"/data", "", "/data/"},
        {"", "a.txt", "/a.txt"},
        {"//srv/share", "a.txt", "/srv/share/a.txt"},
        {" /data", "a b.txt ", "/data/a b.txt"},
        {"/data//x", "y", "/data/x/y"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(JoinPath(QString::fromUtf8(row.a), QString::fromUtf8(row.b)), QString::fromUtf8(row.expected))
            << row.a << " + " << row.b;
}

TEST(FileNameFromPath, TakesTheLastComponentOfPathsAndAddresses)
{
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\dir\\file.txt", "file.txt"},
        {"http://example.test/files/pack.zip", "pack.zip"},
        {"http://example.test/files/", ""},
        {"http://example.test/get?id=5", "get?id=5"},
        {"/pub/a.txt", "a.txt"},
        {"dir/a.txt", "dir/a.txt"},
        {"C:file.txt", "C:file.txt"},
        {"", ""},
        {"ftp:", "ftp:"},
        {"/数据/报告.txt", "报告.txt"},
    };
    for (const auto& [path, expected] : rows)
        EXPECT_EQ(FileNameFromPath(QString::fromUtf8(path)), QString::fromUtf8(expected)) << path;
}

TEST(CollapseRepeats, TrimsOuterSpacesAndCollapsesRuns)
{
    EXPECT_EQ(CollapseRepeats(QStringLiteral("  a\\\\\\\\b  "), u'\\'), QStringLiteral("a\\b"));
    EXPECT_EQ(CollapseRepeats(QStringLiteral("a///////b"), u'/'), QStringLiteral("a/b"));
    EXPECT_EQ(CollapseRepeats(QStringLiteral("\ta//b\t"), u'/'), QStringLiteral("\ta/b\t"));  // only spaces go
    EXPECT_EQ(CollapseRepeats(QString(), u'/'), QString());
}

TEST(TrimAtNull, CutsAtTheFirstNul)
{
    EXPECT_EQ(TrimAtNull(QString(260, QChar(0))), QString());
    EXPECT_EQ(TrimAtNull(QStringLiteral("abc") + QChar(0) + QStringLiteral("xyz")), QStringLiteral("abc"));
    EXPECT_EQ(TrimAtNull(QStringLiteral("plain")), QStringLiteral("plain"));
}

}  // namespace
