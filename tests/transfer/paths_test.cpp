// The plain rules of the transfer commands.
#include "transfer/TransferPaths.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/window_fixture.h"

using namespace transfer;

TEST(TransferPaths, SplitKeyAtLastSlash)
{
    struct Row {
        const char* key;
        const char* folder;
        const char* name;
    };
    const Row rows[] = {
        {"srv/pub/a.txt", "srv/pub/", "a.txt"},
        {"srv/a.txt", "srv/", "a.txt"},
        {"srv", "", "srv"},              // the root: all name
        {"srv/pub/", "srv/pub/", ""},
        {"10.0.0.1/x y/ü.txt", "10.0.0.1/x y/", "ü.txt"},
    };
    for (const Row& row : rows) {
        const KeyParts parts = SplitKey(QString::fromUtf8(row.key));
        EXPECT_EQ(parts.folder, QString::fromUtf8(row.folder)) << row.key;
        EXPECT_EQ(parts.name, QString::fromUtf8(row.name)) << row.key;
    }
}

TEST(TransferPaths, LocalFolderNameIsLastComponent)
{
    EXPECT_EQ(LocalFolderName("/work/src"), "src");
    EXPECT_EQ(LocalFolderName("/src"), "src");
    EXPECT_EQ(LocalFolderName("/"), "");
    EXPECT_EQ(LocalFolderName("/work/src/"), "");
}

TEST(TransferPaths, UnsafeEntryNames)
{
    const QString unsafe[] = {"", "a/b", "../evil", "/etc", "..\\x", "a\\", QString("x") + QChar(0) + "y",
                              QString(QChar(0))};
    for (const QString& name : unsafe)
        EXPECT_TRUE(IsUnsafeEntryName(name)) << ShownEntryName(name).toStdString();
    for (const QString& name : {QString("a.txt"), QString("..."), QString(".hidden"), QString("名 字")})
        EXPECT_FALSE(IsUnsafeEntryName(name)) << name.toStdString();
    EXPECT_EQ(ShownEntryName(QString("x") + QChar(0) + "y"), "x\\0y");
}

TEST(TransferPaths, LocalFolderListsFilesAndFoldersInNameOrderWithoutLinks)
{
    QTemporaryDir root;
    const QString base = root.path();
    for (const char* name : {"b.txt", "a.txt", ".hidden", "C.txt"})
        testsupport::writeFile(base + '/' + name, "x");
    QDir(base).mkpath("zeta/inner");
    QDir(base).mkpath("alpha");
    QFile::link(base, base + "/loop");  // a link to the folder itself
    const LocalFolderContent content = ReadLocalFolder(base);
    EXPECT_EQ(content.files, QStringList({".hidden", "C.txt", "a.txt", "b.txt"}));
    EXPECT_EQ(content.folders, QStringList({"alpha", "zeta"}));
}
