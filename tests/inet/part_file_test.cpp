// The download's part file: nothing on disk before the first bytes, the
// target replaced only by a complete commit, nothing left behind otherwise.
// The upload's source file: regular files only, read to where they end.
#include "session/inet/part_file.h"
#include "session/inet/source_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using inet::detail::PartFile;
using inet::detail::SourceFile;

namespace {

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

TEST(PartFile, CommitPutsTheBytesInPlaceAndCreatesNothingBefore)
{
    QTemporaryDir temp;
    const QString target = temp.filePath(QStringLiteral("a.bin"));
    {
        PartFile out(target);
        ASSERT_TRUE(out.open());
        EXPECT_TRUE(entries(temp.path()).isEmpty());  // created with the first bytes
        ASSERT_EQ(out.write("abc", 3), 3);
        EXPECT_EQ(entries(temp.path()).size(), 1);
        EXPECT_FALSE(QFile::exists(target));
        ASSERT_TRUE(out.commit());
    }
    EXPECT_EQ(contentOf(target), QByteArray("abc"));
    EXPECT_EQ(entries(temp.path()), QStringList{"a.bin"});

    // A download of no bytes still makes an empty file.
    const QString empty = temp.filePath(QStringLiteral("empty"));
    {
        PartFile out(empty);
        ASSERT_TRUE(out.open());
        ASSERT_TRUE(out.commit());
    }
    EXPECT_TRUE(QFile::exists(empty));
    EXPECT_EQ(QFileInfo(empty).size(), 0);
}

TEST(PartFile, PiecesOfEverySizeLandInOrder)
{
    QTemporaryDir temp;
    const QString target = temp.filePath(QStringLiteral("mixed.bin"));
    QByteArray expected;
    {
        PartFile out(target);
        ASSERT_TRUE(out.open());
        // Small pieces are gathered; a big one comes straight after them or alone.
        for (const int size : {5, 300 * 1024, 7, 11, 512 * 1024, 256 * 1024, 3}) {
            const QByteArray piece(size, char('a' + expected.size() % 26));
            ASSERT_EQ(out.write(piece), size);
            expected += piece;
        }
        ASSERT_TRUE(out.commit());
    }
    EXPECT_EQ(contentOf(target), expected);
}

TEST(PartFile, UncommittedLeavesTheEarlierFileAndNoPart)
{
    QTemporaryDir temp;
    const QString target = temp.filePath(QStringLiteral("keep.txt"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier");
    }
    {
        PartFile out(target);
        ASSERT_TRUE(out.open());
        out.write("half", 4);
    }
    EXPECT_EQ(contentOf(target), QByteArray("earlier"));
    EXPECT_EQ(entries(temp.path()), QStringList{"keep.txt"});
}

TEST(PartFile, RefusesTargetsThatCannotBeWritten)
{
    QTemporaryDir temp;
    PartFile intoMissingFolder(temp.filePath(QStringLiteral("no/such/x")));
    EXPECT_FALSE(intoMissingFolder.open());
    PartFile overFolder(temp.path());
    EXPECT_FALSE(overFolder.open());

    // The folder vanishes between the check and the first bytes.
    QDir(temp.path()).mkdir(QStringLiteral("gone"));
    PartFile late(temp.filePath(QStringLiteral("gone/x")));
    ASSERT_TRUE(late.open());
    QDir(temp.filePath(QStringLiteral("gone"))).removeRecursively();
    EXPECT_EQ(late.write("x", 1), -1);
    EXPECT_TRUE(late.createFailed());
    EXPECT_FALSE(late.commit());
}

TEST(SourceFile, ReadsRegularFilesToWhereTheyEnd)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(mkfifo(QByteArray(folder + "/pipe").constData(), 0600), 0);  // opened plainly, it would wait for a writer
    for (const QByteArray& name : {QByteArray("/none"), QByteArray(""), QByteArray("/pipe")})
        EXPECT_EQ(SourceFile(folder + name).failure(), SourceFile::Failure::NotAFile) << name.constData();

    QFile file(dir.filePath(QStringLiteral("a.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("0123456789") == 10);
    file.close();
    SourceFile source(folder + "/a.txt");
    ASSERT_EQ(source.failure(), SourceFile::Failure::None);
    EXPECT_EQ(source.size(), 10);
    EXPECT_EQ(source.read(4), "0123");
    ASSERT_TRUE(source.seek(0));
    EXPECT_EQ(source.read(6), "012345");
    // Shortened while it is read: it ends where the file now ends.
    ASSERT_EQ(::truncate(QByteArray(folder + "/a.txt").constData(), 8), 0);
    EXPECT_EQ(source.read(100), "67");
    EXPECT_EQ(source.read(100), "");
    EXPECT_TRUE(source.atEnd());
}
