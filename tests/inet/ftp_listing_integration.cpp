// Listings against the real server: empty, ordinary, large and odd names.
#include "inet_fixture.h"

#include <QSet>

#include <cstdio>

#include <sys/stat.h>

using namespace inet;
using inettest::FtpTest;

namespace {

// Qt would turn bytes that are not UTF-8 into U+FFFD: go through stdio.
bool writeRaw(const QByteArray& path, const QByteArray& content)
{
    FILE* f = std::fopen(path.constData(), "wb");
    if (!f)
        return false;
    std::fwrite(content.constData(), 1, size_t(content.size()), f);
    ::chmod(path.constData(), 0666);  // writable by an external server's user
    return std::fclose(f) == 0;
}

QByteArray readRaw(const QByteArray& path)
{
    FILE* f = std::fopen(path.constData(), "rb");
    if (!f)
        return "<missing>";
    char buf[256];
    const size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    return QByteArray(buf, qsizetype(n));
}

struct Listed {
    QStringList names;
    QList<quint32> attributes;
    QList<quint64> sizes;
    quint32 error = 0;
};

Listed listAll(InternetApi& api, HINTERNET connection, const QString& pattern)
{
    Listed out;
    FindData data;
    const HINTERNET find = api.FtpFindFirstFileA(connection, pattern, data, 0, 0);
    if (!find) {
        out.error = api.GetLastError();
        return out;
    }
    do {
        out.names << data.cFileName;
        out.attributes << data.dwFileAttributes;
        out.sizes << ((quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    } while (api.InternetFindNextFileA(find, data));
    out.error = api.GetLastError();
    api.InternetCloseHandle(find);
    return out;
}

}  // namespace

TEST_F(FtpTest, EmptyFolderGivesNoHandleAndError18)
{
    INET_START();
    const Listed listed = listAll(*api, connection, QStringLiteral("*.*"));
    EXPECT_TRUE(listed.names.isEmpty());
    EXPECT_EQ(listed.error, ERROR_NO_MORE_FILES);
}

TEST_F(FtpTest, OrdinaryListingWithAttributesSizesAndFolderPatterns)
{
    INET_START();
    inettest::writeFile(local("readme.txt"), QByteArray(1234, 'r'));
    inettest::makeDir(local("pub/src"));
    inettest::writeFile(local("pub/src/main.c"), "int main;");
    const Listed top = listAll(*api, connection, QStringLiteral("*"));
    ASSERT_EQ(top.error, ERROR_NO_MORE_FILES);
    ASSERT_EQ(top.names.size(), 2);
    const int pub = int(top.names.indexOf(QStringLiteral("pub")));
    const int readme = int(top.names.indexOf(QStringLiteral("readme.txt")));
    ASSERT_GE(pub, 0);
    ASSERT_GE(readme, 0);
    EXPECT_EQ(top.attributes[pub], FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(top.attributes[readme], FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(top.sizes[readme], 1234u);
    // A folder followed by "*", relative and absolute.
    EXPECT_EQ(listAll(*api, connection, QStringLiteral("pub/src/*")).names, QStringList{"main.c"});
    EXPECT_EQ(listAll(*api, connection, server->workDir() + QStringLiteral("/pub/*")).names, QStringList{"src"});
    // A missing folder is the server's refusal, not an empty listing.
    const Listed missing = listAll(*api, connection, QStringLiteral("nothing/*"));
    EXPECT_EQ(missing.error, ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_TRUE(inettest::lastResponse(*api).startsWith(QStringLiteral("550")));
}

TEST_F(FtpTest, OddNamesComeBackExact)
{
    INET_START();
    const QStringList names{QStringLiteral(" lead"), QStringLiteral("trail "), QStringLiteral("in  ner"),
                            QStringLiteral("Jan 1 2020 x"), QStringLiteral("1234"), QStringLiteral("中文文件.txt"),
                            QStringLiteral("-rw-r--r-- look")};
    for (const QString& name : names)
        ASSERT_TRUE(inettest::writeFile(local(name), name.toUtf8()));
    Listed listed = listAll(*api, connection, QStringLiteral("*.*"));
    listed.names.sort();
    QStringList expected = names;
    expected.sort();
    EXPECT_EQ(listed.names, expected);
    // Each name works on the wire, too.
    const QString copy = QDir::tempPath() + QStringLiteral("/quillon-odd-name");
    for (const QString& name : names) {
        ASSERT_TRUE(api->FtpGetFileA(connection, name, copy, false, 0, FTP_TRANSFER_TYPE_BINARY, 0))
            << name.toStdString();
        EXPECT_EQ(inettest::readFile(copy), name.toUtf8());
    }
    QFile::remove(copy);
}

TEST_F(FtpTest, GbkNamesAreShownDecodedAndSentBackAsTheirBytes)
{
    INET_START();
    if (server->external() && qEnvironmentVariableIsEmpty("QUILLON_TEST_FTP_RAW_NAMES"))
        GTEST_SKIP() << "set QUILLON_TEST_FTP_RAW_NAMES=1 when the external server passes raw name bytes";
    const QByteArray gbk("\xD6\xD0\xCE\xC4.txt");  // 中文.txt in GBK
    const QByteArray rawPath = QFile::encodeName(server->localPath(server->workDir())) + '/' + gbk;
    ASSERT_TRUE(writeRaw(rawPath, "gbk content"));
    const Listed listed = listAll(*api, connection, QStringLiteral("*"));
    ASSERT_EQ(listed.names.size(), 1);
    EXPECT_EQ(listed.names[0], QStringLiteral("中文.txt"));
    const QString copy = QDir::tempPath() + QStringLiteral("/quillon-gbk-copy");
    ASSERT_TRUE(api->FtpGetFileA(connection, listed.names[0], copy, false, 0, FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_EQ(inettest::readFile(copy), QByteArray("gbk content"));
    inettest::writeFile(copy, "replaced");
    ASSERT_TRUE(api->FtpPutFileA(connection, copy, listed.names[0], FTP_TRANSFER_TYPE_BINARY, 0));
    QFile::remove(copy);
    EXPECT_EQ(readRaw(rawPath), QByteArray("replaced"));
    ASSERT_TRUE(api->FtpRenameFileA(connection, listed.names[0], QStringLiteral("utf8.txt")));
    EXPECT_TRUE(QFileInfo::exists(local("utf8.txt")));
    EXPECT_TRUE(api->FtpDeleteFileA(connection, QStringLiteral("utf8.txt")));
}

TEST_F(FtpTest, RawNamesListDistinctAndEveryOperationReachesItsOwnFile)
{
    INET_START();
    if (server->external() && qEnvironmentVariableIsEmpty("QUILLON_TEST_FTP_RAW_NAMES"))
        GTEST_SKIP() << "set QUILLON_TEST_FTP_RAW_NAMES=1 when the external server passes raw name bytes";
    const QByteArray folder = QFile::encodeName(server->localPath(server->workDir())) + '/';
    struct Row {
        QByteArray bytes;
        QString shown;
    };
    const Row rows[] = {
        {"abc\xFE", QStringLiteral("abc\\xFE")}, {"abc", QStringLiteral("abc")},
        {"\xFE", QStringLiteral("\\xFE")},       {"cr", QStringLiteral("cr")},
        {"cr\rinside.txt", QStringLiteral("cr\\x0Dinside.txt")},
        {"tab\tname.txt", QStringLiteral("tab\tname.txt")},
    };
    QStringList expected;
    for (const Row& row : rows) {
        ASSERT_TRUE(writeRaw(folder + row.bytes, row.bytes.toHex() + "\r\n\n"));  // line ends show the mode
        expected << row.shown;
    }
    Listed listed = listAll(*api, connection, QStringLiteral("*"));
    listed.names.sort();
    expected.sort();
    EXPECT_EQ(listed.names, expected);

    const QString copy = QDir::tempPath() + QStringLiteral("/quillon-raw-name-copy");
    for (const Row& row : rows) {
        const bool sendable = !row.bytes.contains('\r');
        EXPECT_EQ(api->FtpGetFileA(connection, row.shown, copy, false, 0, FTP_TRANSFER_TYPE_BINARY, 0), sendable)
            << row.shown.toStdString() << " error " << api->GetLastError();
        if (sendable)
            EXPECT_EQ(inettest::readFile(copy), row.bytes.toHex() + "\r\n\n") << row.shown.toStdString();
        else
            EXPECT_EQ(api->GetLastError(), ERROR_INVALID_NAME);
    }

    // An ordinary ASCII transfer after them still runs in ASCII mode.
    inettest::writeFile(copy, "a\nb\n");
    ASSERT_TRUE(api->FtpPutFileA(connection, copy, QStringLiteral("plain.txt"), FTP_TRANSFER_TYPE_ASCII, 0));
    EXPECT_EQ(inettest::readFile(local("plain.txt")), "a\nb\n");  // stored in ASCII mode

    // A folder whose name holds a tab is made, filled, entered, listed and emptied.
    const QString tabbed = QStringLiteral("tab\tdir");
    ASSERT_TRUE(api->FtpCreateDirectoryA(connection, tabbed)) << api->GetLastError();
    ASSERT_TRUE(api->FtpRenameFileA(connection, QStringLiteral("abc"), tabbed + QStringLiteral("/re\tnamed")));
    inettest::writeFile(copy, "up\tloaded\n");
    ASSERT_TRUE(api->FtpPutFileA(connection, copy, tabbed + QStringLiteral("/in\tside"), FTP_TRANSFER_TYPE_BINARY, 0))
        << api->GetLastError();
    EXPECT_EQ(readRaw(folder + "tab\tdir/in\tside"), "up\tloaded\n");
    ASSERT_TRUE(api->FtpSetCurrentDirectoryA(connection, tabbed)) << api->GetLastError();
    Listed inside = listAll(*api, connection, QStringLiteral("*.*"));
    inside.names.sort();
    EXPECT_EQ(inside.names, QStringList({QStringLiteral("in\tside"), QStringLiteral("re\tnamed")}));
    QFile::remove(copy);
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("in\tside"), copy, false, 0, FTP_TRANSFER_TYPE_ASCII, 0));
    EXPECT_EQ(inettest::readFile(copy), "up\tloaded\n");
    QFile::remove(copy);
    EXPECT_TRUE(api->FtpDeleteFileA(connection, QStringLiteral("in\tside")));
    EXPECT_TRUE(api->FtpDeleteFileA(connection, QStringLiteral("re\tnamed")));
    EXPECT_TRUE(api->FtpRemoveDirectoryA(connection, QStringLiteral("../tab\tdir")));
    EXPECT_FALSE(QFileInfo::exists(local(tabbed)));
}

TEST_F(FtpTest, TenThousandEntriesAndNestedWorkWhileAFindIsOpen)
{
    INET_START();
    const QString dir = local(QString());
    for (int i = 0; i < 10000; ++i) {
        QFile f(dir + QStringLiteral("/entry-%1").arg(i, 5, 10, QLatin1Char('0')));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    inettest::makeDir(local("sub"));
    inettest::writeFile(local("sub/inner.txt"), "inner");
    FindData data;
    const HINTERNET find = api->FtpFindFirstFileA(connection, QStringLiteral("*"), data, 0, 0);
    ASSERT_NE(find, 0u);
    QSet<QString> seen{data.cFileName};
    // A directory change, a nested listing and a download while the find is open.
    ASSERT_TRUE(api->FtpSetCurrentDirectoryA(connection, QStringLiteral("sub")));
    const Listed inner = listAll(*api, connection, QStringLiteral("*"));
    EXPECT_EQ(inner.names, QStringList{"inner.txt"});
    const QString copy = QDir::tempPath() + QStringLiteral("/quillon-nested-copy");
    EXPECT_TRUE(api->FtpGetFileA(connection, QStringLiteral("inner.txt"), copy, false, 0, 2, 0));
    QFile::remove(copy);
    while (api->InternetFindNextFileA(find, data))
        seen.insert(data.cFileName);
    EXPECT_EQ(api->GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_FALSE(api->InternetFindNextFileA(find, data));
    EXPECT_EQ(api->GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(api->InternetCloseHandle(find));
    EXPECT_EQ(seen.size(), 10001);
    EXPECT_TRUE(seen.contains(QStringLiteral("entry-09999")));
}
