// The local operations and the path rewriting behind the commands.
#include "file_ops/LocalFileOps.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <cerrno>

#include <gtest/gtest.h>

using namespace fileops;

namespace {

struct PieceRow {
    const char* path;
    char separator;
    const char* name;
    const char* last;
    const char* replaced;
};

TEST(PathRewriting, ReplacesOnlyTheLastPiece)
{
    const PieceRow rows[] = {
        {"/pub/old.txt", '/', "new.txt", "old.txt", "/pub/new.txt"},
        {"/docs", '/', "archive", "docs", "/archive"},
        {"/pub/old.txt", '/', "sub/new.txt", "old.txt", "/pub/sub/new.txt"},  // a "/" moves the item
        {"/pub/a", '/', " b ", "a", "/pub/ b "},                             // spaces kept
        {"/", '/', "x", "", "/x"},                                           // the local root
        {"name", '/', "other", "name", "other"},
        {"/pub/dir/", '/', "x", "", "/pub/dir/x"},
    };
    for (const PieceRow& row : rows) {
        const QString path = QString::fromUtf8(row.path);
        EXPECT_EQ(LastPiece(path, QChar(row.separator)), QString::fromUtf8(row.last)) << row.path;
        EXPECT_EQ(ReplaceLastPiece(path, QChar(row.separator), QString::fromUtf8(row.name)),
                  QString::fromUtf8(row.replaced))
            << row.path;
    }
}

TEST(PathRewriting, ChildPathAndBlankNames)
{
    EXPECT_EQ(ChildPath("/data", "x"), "/data/x");
    EXPECT_EQ(ChildPath("/", "x"), "/x");
    EXPECT_EQ(ChildPath("/data", " x "), "/data/ x ");
    EXPECT_TRUE(IsBlankName(""));
    EXPECT_TRUE(IsBlankName("   "));
    EXPECT_FALSE(IsBlankName(" a "));
    EXPECT_FALSE(IsBlankName("\t"));
}

class LocalOps : public ::testing::Test {
protected:
    QString at(const QString& name) const { return root.filePath(name); }
    QTemporaryDir root;
};

TEST_F(LocalOps, RefusalsChangeNothingAndSayWhy)
{
    ASSERT_EQ(MakeLocalDirectory(at("d")), 0);
    testsupport::writeFile(at("d/inner.txt"), "x");
    testsupport::writeFile(at("f.txt"), "keep");

    EXPECT_EQ(MakeLocalDirectory(at("d")), EEXIST);
    EXPECT_EQ(MakeLocalDirectory(at("f.txt")), EEXIST);
    EXPECT_EQ(RemoveLocalDirectory(at("d")), ENOTEMPTY);
    EXPECT_EQ(DeleteLocalFile(at("missing.txt")), ENOENT);
    EXPECT_EQ(MakeLocalDirectory(at(QString(300, 'n'))), ENAMETOOLONG);
    EXPECT_TRUE(QDir(at("d")).exists("inner.txt"));

    EXPECT_EQ(LocalErrorReason(EEXIST), QStringLiteral("同名的文件或目录已存在"));
    EXPECT_EQ(LocalErrorReason(ENOTEMPTY), QStringLiteral("目录不为空"));
    EXPECT_EQ(LocalErrorReason(EPERM), QStringLiteral("没有权限"));
    EXPECT_EQ(LocalErrorReason(EACCES), QStringLiteral("没有权限"));
}

TEST_F(LocalOps, RenameNeverReplacesAnExistingItem)
{
    testsupport::writeFile(at("a.txt"), "A");
    testsupport::writeFile(at("b.txt"), "B");
    ASSERT_EQ(MakeLocalDirectory(at("d1")), 0);
    ASSERT_EQ(MakeLocalDirectory(at("d2")), 0);

    EXPECT_EQ(RenameLocalItem(at("a.txt"), at("b.txt")), EEXIST);
    EXPECT_EQ(RenameLocalItem(at("d1"), at("d2")), EEXIST) << "an empty directory is not replaced either";
    EXPECT_EQ(testsupport::readFile(at("a.txt")), "A");
    EXPECT_EQ(testsupport::readFile(at("b.txt")), "B");
    EXPECT_TRUE(QDir(at("d1")).exists());

    EXPECT_EQ(RenameLocalItem(at("a.txt"), at("a.txt")), 0) << "its own name";
    EXPECT_EQ(RenameLocalItem(at("missing"), at("missing")), ENOENT);
    EXPECT_EQ(RenameLocalItem(at("a.txt"), at("d1/a.txt")), 0) << "a path moves it";
    EXPECT_EQ(testsupport::readFile(at("d1/a.txt")), "A");
    EXPECT_EQ(RenameLocalItem(at("d2"), at("d2/inside")), EINVAL);
}

}  // namespace
