// The error table and the path arithmetic of the Internet library.
#include "session/inet/ftp_paths.h"
#include "session/inet/inet_errors.h"
#include "session/inet/internet_api.h"
#include "session/inet/name_block.h"

#include <gtest/gtest.h>

using namespace inet;
using namespace inet::detail;

TEST(ErrorTable, Rows)
{
    struct Row {
        int curl;
        int reply;
        Stage stage;
        quint32 expected;
    };
    // libcurl's numbers as observed: 6 no such host, 7 nothing listening,
    // 67 wrong password, 9 missing directory, 78 missing file, 25 refused
    // upload, 21 failed quote, 28 timed out, 56 receive failure.
    const Row rows[] = {
        {0, 0, Stage::Operation, 0},
        {6, 0, Stage::Login, ERROR_INTERNET_NAME_NOT_RESOLVED},
        {7, 0, Stage::Login, ERROR_INTERNET_CANNOT_CONNECT},
        {67, 530, Stage::Login, ERROR_INTERNET_INCORRECT_PASSWORD},
        {8, 530, Stage::Login, ERROR_INTERNET_INCORRECT_PASSWORD},
        {9, 550, Stage::Operation, ERROR_INTERNET_EXTENDED_ERROR},
        {78, 550, Stage::Operation, ERROR_INTERNET_EXTENDED_ERROR},
        {25, 553, Stage::Operation, ERROR_INTERNET_EXTENDED_ERROR},
        {21, 550, Stage::Operation, ERROR_INTERNET_EXTENDED_ERROR},
        {9, 0, Stage::Operation, ERROR_INTERNET_CONNECTION_ABORTED},  // refusal without a reply
        {28, 0, Stage::Operation, ERROR_INTERNET_TIMEOUT},
        {28, 421, Stage::Operation, ERROR_INTERNET_TIMEOUT},
        {56, 0, Stage::Operation, ERROR_INTERNET_CONNECTION_RESET},
        {18, 0, Stage::Operation, ERROR_INTERNET_CONNECTION_ABORTED},
        {8, 0, Stage::Operation, ERROR_INTERNET_CONNECTION_ABORTED},
        {8, 500, Stage::Operation, ERROR_INTERNET_EXTENDED_ERROR},
        {42, 0, Stage::Operation, ERROR_INTERNET_OPERATION_CANCELLED},
        {9999, 0, Stage::Operation, ERROR_INTERNET_INTERNAL_ERROR},
        // 60 certificate not verified, 90 pinned key differs, 64 no TLS offered.
        {60, 0, Stage::Login, ERROR_INTERNET_SEC_INVALID_CERT},
        {90, 0, Stage::Operation, ERROR_INTERNET_SEC_CERT_CHANGED},
        {64, 0, Stage::Login, ERROR_INTERNET_SECURITY_CHANNEL_ERROR},
    };
    for (const Row& row : rows)
        EXPECT_EQ(errorFor(row.curl, row.reply, row.stage), row.expected) << row.curl << "/" << row.reply;
}

TEST(ErrorTable, PlainLogInsRefusedForWantOfEncryption)
{
    struct Row {
        int code;
        const char* text;
        bool refused;
    };
    const Row rows[] = {
        {534, "Request denied for policy reasons.", true},
        {530, "Non-anonymous sessions must use encryption.", true},
        {550, "SSL/TLS required on the control channel.", true},
        {530, "Login incorrect.", false},
        {550, "No such file.", false},
        {421, "TLS required", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(refusesPlainLogin(ERROR_INTERNET_INCORRECT_PASSWORD, row.code, row.text), row.refused) << row.text;
    EXPECT_FALSE(refusesPlainLogin(0, 534, "x"));
}

TEST(ServerPaths, AbsolutePathRows)
{
    const char* rows[][3] = {
        {"/", "", "/"},           {"/", "*", "/*"},           {"/a/b", "c", "/a/b/c"},
        {"/a/b", "../c", "/a/c"}, {"/a", "/x//y/", "/x/y"},   {"/a", "../../..", "/"},
        {"/a", "./b/./c", "/a/b/c"}, {"/a", " lead ", "/a/ lead "},
    };
    for (const auto& row : rows)
        EXPECT_EQ(absolutePath(QString::fromUtf8(row[0]), QString::fromUtf8(row[1])), QString::fromUtf8(row[2]))
            << row[0] << " + " << row[1];
    EXPECT_EQ(parentPath(QStringLiteral("/x")), QStringLiteral("/"));
    EXPECT_EQ(parentPath(QStringLiteral("/x/y")), QStringLiteral("/x"));
    EXPECT_EQ(baseName(QStringLiteral("/x/y z")), QStringLiteral("y z"));
}

TEST(ServerPaths, WireFormsAndBreaks)
{
    EXPECT_EQ(urlPath("/", true), QByteArray("/%2F"));
    EXPECT_EQ(urlPath("/a b/c", true), QByteArray("/%2Fa%20b/c/"));
    EXPECT_EQ(urlPath("/a/%x#?", false), QByteArray("/%2Fa/%25x%23%3F"));
    EXPECT_TRUE(hasCommandBreak(QStringLiteral("a\rb")));
    EXPECT_TRUE(hasCommandBreak(QStringLiteral("a\nb")));
    EXPECT_TRUE(hasCommandBreak(QString(QChar(0))));
    EXPECT_FALSE(hasCommandBreak(QStringLiteral("a b\t中")));
}

TEST(ServerPaths, ShownNamesLeadBackToTheirBytes)
{
    struct Row {
        QByteArray bytes;
        QString shown;
    };
    const Row rows[] = {
        {"plain.txt", QStringLiteral("plain.txt")},
        {"abc\xFE", QStringLiteral("abc\\xFE")},          // an incomplete GB18030 sequence at the end
        {"\xFE", QStringLiteral("\\xFE")},
        {"abc\\xFE", QStringLiteral("abc\\x5CxFE")},      // a real backslash before x and hex digits
        {"..\\evil", QStringLiteral("..\\evil")},
        {"tab\tname", QStringLiteral("tab\tname")},         // other control characters stay as they are
        {"cr\rinside", QStringLiteral("cr\\x0Dinside")},
        {"\xC0\xAF", QStringLiteral("\\xC0\\xAF")},      // an overlong "/"
        {"\xED\xA0\x80", QStringLiteral("\\xED\\xA0\\x80")},  // a surrogate
        {"\xE4\xB8\xAD\xF0\x9F\x98\x80", QStringLiteral("中😀")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ShownName(row.bytes), row.shown) << row.bytes.toHex().constData();
        EXPECT_EQ(NameBytes(row.shown), row.bytes) << row.bytes.toHex().constData();
    }
    // Typed text without escapes is plain UTF-8; "/" is never made from an escape.
    EXPECT_EQ(NameBytes(QStringLiteral("a\\x2Fb")), QByteArray("a\\x2Fb"));
}

TEST(ServerPaths, NamesInOneBlockStayApart)
{
    QStringList names;
    {
        NameBlock block(14);
        names << block.placeLatin1("abc") << block.place(u"中文") << block.placeLatin1("") << block.place(u"de");
        names << block.place(u"no room") << block.placeLatin1("nor here");  // 11 of 14 units taken
    }
    EXPECT_EQ(names, QStringList({"abc", QStringLiteral("中文"), "", "de", "no room", "nor here"}));
    EXPECT_FALSE(names[2].isNull());
    EXPECT_EQ(std::u16string_view(reinterpret_cast<const char16_t*>(names[0].utf16())), u"abc");

    QString changed = names[1];
    changed.append(u'!').prepend(u'>');
    EXPECT_EQ(names, QStringList({"abc", QStringLiteral("中文"), "", "de", "no room", "nor here"}));
    // The last holder of the block changes its name where it lies.
    QString last = names[3];
    names.clear();
    last.append(QStringLiteral("ef")).prepend(u'c');
    EXPECT_EQ(last, QStringLiteral("cdeef"));
    EXPECT_EQ(changed, QStringLiteral(">中文!"));
}

TEST(ServerPaths, ListedNamesAreDistinctAndGoBackAsTheirBytes)
{
    NameCodec codec;
    const QByteArray gbk("\xD6\xD0\xCE\xC4");  // 中文 in GBK
    const QList<QByteArray> raws{gbk, QStringLiteral("中文").toUtf8(), "abc\xFE", "abc", "\xFE", "\xD6\xD0\xCE"};
    const QStringList shown = codec.decodeListing(QStringLiteral("/d"), raws);
    EXPECT_EQ(shown, QStringList({QStringLiteral("\\xD6\\xD0\\xCE\\xC4"), QStringLiteral("中文"),
                                  QStringLiteral("abc\\xFE"), QStringLiteral("abc"), QStringLiteral("\\xFE"),
                                  QStringLiteral("\\xD6\\xD0\\xCE")}));
    for (qsizetype i = 0; i < raws.size(); ++i)
        EXPECT_EQ(codec.encodePath(QStringLiteral("/d/") + shown[i]), "/d/" + raws[i]) << i;

    // Alone, a GBK name shows as its text, in its own folder only.
    EXPECT_EQ(codec.decodeListing(QStringLiteral("/g"), {gbk}), QStringList{QStringLiteral("中文")});
    EXPECT_EQ(codec.encodePath(QStringLiteral("/g/中文/x")), "/g/" + gbk + "/x");
    EXPECT_EQ(codec.encodePath(QStringLiteral("/d/中文")), QStringLiteral("/d/中文").toUtf8());
    EXPECT_EQ(codec.decodePath("/home/" + gbk), QStringLiteral("/home/中文"));
    EXPECT_EQ(codec.encodePath(QStringLiteral("/home/中文")), "/home/" + gbk);
}
