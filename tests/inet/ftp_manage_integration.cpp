// Make, remove, delete and rename, with refusals and unsafe names.
#include "inet_fixture.h"

using namespace inet;
using inettest::FtpTest;

TEST_F(FtpTest, MakeRemoveDeleteRenameChangeTheServerDisk)
{
    INET_START();
    ASSERT_TRUE(api->FtpCreateDirectoryA(connection, QStringLiteral("new dir")));
    EXPECT_TRUE(QFileInfo(local("new dir")).isDir());
    ASSERT_TRUE(api->FtpCreateDirectoryA(connection, QStringLiteral("new dir/子目录")));
    EXPECT_TRUE(QFileInfo(local("new dir/子目录")).isDir());
    inettest::writeFile(local("a.txt"), "a");
    ASSERT_TRUE(api->FtpRenameFileA(connection, QStringLiteral("a.txt"), QStringLiteral("new dir/b.txt")));
    EXPECT_FALSE(QFileInfo::exists(local("a.txt")));
    EXPECT_EQ(inettest::readFile(local("new dir/b.txt")), QByteArray("a"));
    ASSERT_TRUE(api->FtpDeleteFileA(connection, server->workDir() + QStringLiteral("/new dir/b.txt")));
    EXPECT_FALSE(QFileInfo::exists(local("new dir/b.txt")));
    ASSERT_TRUE(api->FtpRemoveDirectoryA(connection, QStringLiteral("new dir/子目录")));
    EXPECT_FALSE(QFileInfo::exists(local("new dir/子目录")));
}

TEST_F(FtpTest, RefusalsCarryTheServersReply)
{
    INET_START();
    inettest::makeDir(local("full"));
    inettest::writeFile(local("full/f.txt"), "f");
    inettest::writeFile(local("keep.txt"), "k");
    quint32 code = 0;
    EXPECT_FALSE(api->FtpCreateDirectoryA(connection, QStringLiteral("full")));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_FALSE(api->FtpRemoveDirectoryA(connection, QStringLiteral("full")));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_TRUE(QFileInfo::exists(local("full/f.txt")));
    EXPECT_FALSE(api->FtpDeleteFileA(connection, QStringLiteral("gone.txt")));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_TRUE(inettest::lastResponse(*api, &code).startsWith(QString::number(code)));
    EXPECT_EQ(code, 550u);
    // A refused RNFR is what gets reported, though RNTO follows it.
    EXPECT_FALSE(api->FtpRenameFileA(connection, QStringLiteral("gone.txt"), QStringLiteral("keep.txt")));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
    inettest::lastResponse(*api, &code);
    EXPECT_EQ(code, 550u);
    EXPECT_EQ(inettest::readFile(local("keep.txt")), QByteArray("k"));
    // The refusals kept the connection usable.
    EXPECT_TRUE(api->FtpDeleteFileA(connection, QStringLiteral("keep.txt")));
}

TEST_F(FtpTest, NamesWithLineBreaksAreRefusedBeforeSending)
{
    INET_START();
    inettest::writeFile(local("victim.txt"), "v");
    const QString work = server->workDir() == "/" ? QString() : server->workDir();
    const QString evil = QStringLiteral("x\r\nDELE ") + work + QStringLiteral("/victim.txt");
    EXPECT_FALSE(api->FtpCreateDirectoryA(connection, evil));
    EXPECT_EQ(api->GetLastError(), ERROR_INVALID_NAME);
    EXPECT_FALSE(api->FtpDeleteFileA(connection, evil));
    EXPECT_FALSE(api->FtpRenameFileA(connection, QStringLiteral("victim.txt"), evil));
    EXPECT_FALSE(api->FtpSetCurrentDirectoryA(connection, QStringLiteral("a\nb")));
    // Nor can the escapes of shown names carry a line break.
    EXPECT_FALSE(api->FtpDeleteFileA(connection, QStringLiteral("x\\x0D\\x0ADELE ") + work + "/victim.txt"));
    EXPECT_EQ(api->GetLastError(), ERROR_INVALID_NAME);
    EXPECT_FALSE(api->FtpGetFileA(connection, QString(QStringLiteral("a")) + QChar(0) + "b", "/tmp/x", false, 0, 2, 0));
    EXPECT_EQ(api->GetLastError(), ERROR_INVALID_NAME);
    EXPECT_TRUE(QFileInfo::exists(local("victim.txt")));
}
