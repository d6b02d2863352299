// Folder download and upload walks on the in-memory server: order of work,
// cancel at every level, refusals, hostile names and a closed connection.
#include "transfer_fixture.h"

#include "local/DirListBox.h"

#include <QDir>
#include <QRegularExpression>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString kHostile[] = {"", "../evil", "..\\evil", QString("nul") + QChar(0) + "x"};

}  // namespace

class FolderDownloadTest : public TransferTest {
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        net.addEntry("/pub/src", ".", inet::FILE_ATTRIBUTE_DIRECTORY);
        net.addEntry("/pub/src", "..", inet::FILE_ATTRIBUTE_DIRECTORY);
        net.addFile("/pub/src/a.c", "A");
        net.addFile("/pub/src/lib/b.c", "B");
        net.addFile("/pub/src/lib/deep/d.c", "D");
        net.addFile("/pub/src/lib/c.c", "C");
        net.addDir("/pub/src/none");
        net.addFile("/pub/src/z.c", "Z");
        connectFake();
        doubleClickNode("srv/pub");
        selectNode("srv/pub/src");
        clearCalls();
    }

    // Every file of the tree, as local relative path -> content.
    void expectFullTree()
    {
        EXPECT_EQ(readFile(local("src/a.c")), "A");
        EXPECT_EQ(readFile(local("src/lib/b.c")), "B");
        EXPECT_EQ(readFile(local("src/lib/c.c")), "C");
        EXPECT_EQ(readFile(local("src/lib/deep/d.c")), "D");
        EXPECT_EQ(readFile(local("src/z.c")), "Z");
        EXPECT_TRUE(QFileInfo(local("src/none")).isDir());
    }
    // Each enumeration the walk advanced was closed again.
    void expectNoOpenEnumeration()
    {
        const QStringList closes = callsOf("InternetCloseHandle");
        for (QString next : callsOf("InternetFindNextFileA")) {
            next.replace("InternetFindNextFileA", "InternetCloseHandle");
            EXPECT_TRUE(closes.contains(next)) << next.toStdString();
        }
    }
};

TEST_F(FolderDownloadTest, WalksDepthFirstInListingOrderWithAbsolutePaths)
{
    window->cmdGetFolder->click();
    const QString to = local("src/");
    EXPECT_EQ(net.calls.filter(QRegularExpression("^Ftp")),
              QStringList({"FtpSetCurrentDirectoryA(/pub/src)", "FtpFindFirstFileA(/pub/src/*)",
                           "FtpGetFileA(/pub/src/a.c," + to + "a.c,2)",
                           "FtpSetCurrentDirectoryA(/pub/src/lib)", "FtpFindFirstFileA(/pub/src/lib/*)",
                           "FtpGetFileA(/pub/src/lib/b.c," + to + "lib/b.c,2)",
                           "FtpSetCurrentDirectoryA(/pub/src/lib/deep)", "FtpFindFirstFileA(/pub/src/lib/deep/*)",
                           "FtpGetFileA(/pub/src/lib/deep/d.c," + to + "lib/deep/d.c,2)",
                           "FtpGetFileA(/pub/src/lib/c.c," + to + "lib/c.c,2)",
                           "FtpSetCurrentDirectoryA(/pub/src/none)", "FtpFindFirstFileA(/pub/src/none/*)",
                           "FtpGetFileA(/pub/src/z.c," + to + "z.c,2)"}));
    expectFullTree();
    expectNoOpenEnumeration();
    const QStringList hints = seenHints();
    EXPECT_EQ(hints.first(), hint("开始下载本级文件夹"));
    EXPECT_TRUE(hints.contains(hint("正在下载：d.c")));
    EXPECT_EQ(hints.last(), hint("本级文件夹下载完成!"));
    EXPECT_EQ(modWinInet::FolderTransferActive, 0);
}

TEST_F(FolderDownloadTest, ExistingLocalFolderIsReusedAndItsFilesOverwritten)
{
    writeFile(local("src/a.c"), "old");
    writeFile(local("src/mine.txt"), "kept");
    window->cmdGetFolder->click();
    expectFullTree();
    EXPECT_EQ(readFile(local("src/mine.txt")), "kept");
}

TEST_F(FolderDownloadTest, CancelInADeepFolderStopsEveryLevelAndASecondRunCompletes)
{
    onCall = [this](const QString& call) {
        if (call.startsWith("FtpGetFileA(/pub/src/lib/deep/d.c"))
            cancelAtNextYield();
    };
    window->cmdGetFolder->click();
    const QStringList gets = callsOf("FtpGetFileA");
    ASSERT_FALSE(gets.isEmpty());
    EXPECT_TRUE(gets.last().startsWith("FtpGetFileA(/pub/src/lib/deep/d.c")) << gets.join('\n').toStdString();
    EXPECT_FALSE(QFile::exists(local("src/lib/c.c")));
    EXPECT_FALSE(QFile::exists(local("src/z.c")));
    EXPECT_FALSE(QFileInfo::exists(local("src/none")));
    expectNoOpenEnumeration();
    EXPECT_EQ(panel1(), hint("本级文件夹下载已取消"));

    onCall = nullptr;
    clearCalls();
    window->cmdGetFolder->click();
    expectFullTree();
    EXPECT_EQ(panel1(), hint("本级文件夹下载完成!"));
}

TEST_F(FolderDownloadTest, CancelAfterTheFirstEntryOfTheTopLevel)
{
    onCall = [this](const QString& call) {
        if (call.startsWith("FtpFindFirstFileA(/pub/src/*)"))
            cancelAtNextYield();
    };
    window->cmdGetFolder->click();
    EXPECT_TRUE(callsOf("FtpGetFileA").isEmpty());  // the first entry is "."
    expectNoOpenEnumeration();
}

TEST_F(FolderDownloadTest, RefusedFileIsReportedAndTheWalkGoesOn)
{
    net.refuse.insert("FtpGetFileA:/pub/src/lib/b.c");
    person.msgBoxAnswers = {toolkit::vbNo};
    window->cmdGetFolder->click();
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("下载失败：b.c Err: 12003"));
    EXPECT_EQ(readFile(local("src/lib/c.c")), "C");
    EXPECT_EQ(readFile(local("src/z.c")), "Z");
}

TEST_F(FolderDownloadTest, ClosingTheConnectionDuringAYieldStopsTheWalkQuietly)
{
    onCall = [this](const QString& call) {
        if (call.startsWith("FtpGetFileA(/pub/src/lib/b.c"))
            QTimer::singleShot(0, window->cmdDisConnect, &QPushButton::click);
    };
    window->cmdGetFolder->click();
    const qsizetype at = net.calls.indexOf(QRegularExpression("^FtpGetFileA\\(/pub/src/lib/b.c.*"));
    ASSERT_GE(at, 0);
    const QStringList after = net.calls.mid(at + 1);
    EXPECT_TRUE(after.filter(QRegularExpression("^Ftp")).isEmpty()) << after.join('\n').toStdString();
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_EQ(panel1(), hint("本级文件夹下载已取消"));
}

TEST_F(FolderDownloadTest, SubfolderThatCannotBeMadeLocallyIsSkippedAndNamed)
{
    writeFile(local("src/lib"), "a file where the folder would go");
    window->cmdGetFolder->click();
    EXPECT_TRUE(seenHints().contains(hint("无法创建本地文件夹：" + local("src/lib"))));
    EXPECT_TRUE(net.calls.filter("FtpFindFirstFileA(/pub/src/lib/").isEmpty());
    EXPECT_EQ(readFile(local("src/lib")), "a file where the folder would go");
    EXPECT_EQ(readFile(local("src/z.c")), "Z");
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(FolderDownloadTest, HostileNamesAreSkippedAndNamed)
{
    for (const QString& name : kHostile)
        net.addEntry("/pub/src", name, inet::FILE_ATTRIBUTE_NORMAL);
    net.addEntry("/pub/src", "../up", inet::FILE_ATTRIBUTE_DIRECTORY);
    window->cmdGetFolder->click();
    EXPECT_FALSE(seenHints().contains(hint("已跳过名称不安全的条目：.")));
    for (const QString& get : callsOf("FtpGetFileA") + callsOf("FtpFindFirstFileA"))
        EXPECT_FALSE(get.contains("evil") || get.contains("nul") || get.contains("up")) << get.toStdString();
    EXPECT_FALSE(QFile::exists(local("evil")));
    EXPECT_FALSE(QFileInfo::exists(local("up")));
    const QStringList hints = seenHints();
    EXPECT_TRUE(hints.contains(hint("已跳过名称不安全的条目：../evil")));
    EXPECT_TRUE(hints.contains(hint("已跳过名称不安全的条目：nul\\0x")));
    EXPECT_TRUE(hints.contains(hint("已跳过名称不安全的条目：")));
    expectFullTree();
}

TEST_F(FolderDownloadTest, FileNodeOrNothingSelectedIsRefused)
{
    doubleClickNode("srv/pub/src");
    for (const QString& key : {QString("srv/pub/src/a.c"), QString("missing")}) {
        selectNode(key);
        clearCalls();
        window->cmdGetFolder->click();
        EXPECT_EQ(panel1(), hint("请选择要下载的服务器文件夹!"));
        EXPECT_TRUE(net.calls.isEmpty());
    }
}

TEST_F(FolderDownloadTest, RootDownloadsTheLoginDirectoryIntoAFolderNamedAfterTheServer)
{
    window->cmdDisConnect->click();
    net.loginDir = "/pub/src/lib";
    connectFake();
    selectNode("srv");
    clearCalls();
    window->cmdGetFolder->click();
    EXPECT_EQ(callsOf("FtpFindFirstFileA").value(0), "FtpFindFirstFileA(/pub/src/lib/*)");
    EXPECT_EQ(readFile(local("srv/b.c")), "B");
    EXPECT_EQ(readFile(local("srv/deep/d.c")), "D");
}

class FolderUploadTest : public TransferTest {
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        writeFile(local("src/b.c"), "B");
        writeFile(local("src/a.c"), "A");
        writeFile(local("src/lib/c.c"), "C");
        writeFile(local("src/lib/deep/d.c"), "D");
        writeFile(local("src/zz/e.c"), "E");
        QDir().mkpath(local("src/empty"));
        window->dirLocal->refresh();
        highlightLocalDir(0);  // src
        net.addDir("/pub");
        connectFake();
        selectNode("srv/pub");
        clearCalls();
    }

    void expectFullTree()
    {
        EXPECT_EQ(net.content("/pub/src/a.c"), "A");
        EXPECT_EQ(net.content("/pub/src/b.c"), "B");
        EXPECT_EQ(net.content("/pub/src/lib/c.c"), "C");
        EXPECT_EQ(net.content("/pub/src/lib/deep/d.c"), "D");
        EXPECT_EQ(net.content("/pub/src/zz/e.c"), "E");
        EXPECT_TRUE(net.hasDir("/pub/src/empty"));
    }
};

TEST_F(FolderUploadTest, FilesFirstThenFoldersWithAbsoluteTargets)
{
    window->cmdPutFolder->click();
    const QString from = local("src/");
    EXPECT_EQ(net.calls.value(0), "FtpSetCurrentDirectoryA(/pub)");
    EXPECT_EQ(net.calls.filter(QRegularExpression("^Ftp(Create|Put)")),
              QStringList({"FtpCreateDirectoryA(/pub/src)", "FtpPutFileA(" + from + "a.c,/pub/src/a.c,2)",
                           "FtpPutFileA(" + from + "b.c,/pub/src/b.c,2)", "FtpCreateDirectoryA(/pub/src/empty)",
                           "FtpCreateDirectoryA(/pub/src/lib)", "FtpPutFileA(" + from + "lib/c.c,/pub/src/lib/c.c,2)",
                           "FtpCreateDirectoryA(/pub/src/lib/deep)",
                           "FtpPutFileA(" + from + "lib/deep/d.c,/pub/src/lib/deep/d.c,2)",
                           "FtpCreateDirectoryA(/pub/src/zz)", "FtpPutFileA(" + from + "zz/e.c,/pub/src/zz/e.c,2)"}));
    expectFullTree();
    EXPECT_TRUE(childKeys("srv/pub").contains("srv/pub/src"));
    const QStringList hints = seenHints();
    EXPECT_LT(hints.indexOf(hint("开始上传文件夹")), hints.indexOf(hint("正在上传：" + from + "a.c")));
    EXPECT_TRUE(hints.contains(hint("正在上传：" + from + "lib/deep/d.c")));
    EXPECT_EQ(hints.last(), hint("文件夹上传完成!"));
}

TEST_F(FolderUploadTest, SecondUploadSendsEveryFileAgainIntoTheExistingFolders)
{
    window->cmdPutFolder->click();
    writeFile(local("src/a.c"), "A2");
    clearCalls();
    window->cmdPutFolder->click();
    EXPECT_EQ(callsOf("FtpPutFileA").size(), 5);
    EXPECT_EQ(net.content("/pub/src/a.c"), "A2");
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(FolderUploadTest, CancelInANestedFolderStopsEveryLevelAndTheTargetIsStillShown)
{
    onCall = [this](const QString& call) {
        if (call.startsWith("FtpPutFileA(" + local("src/lib/c.c")))
            cancelAtNextYield();
    };
    window->cmdPutFolder->click();
    const QStringList puts = callsOf("FtpPutFileA");
    ASSERT_FALSE(puts.isEmpty());
    EXPECT_TRUE(puts.last().startsWith("FtpPutFileA(" + local("src/lib/c.c"))) << puts.join('\n').toStdString();
    EXPECT_EQ(callsOf("FtpCreateDirectoryA").last(), "FtpCreateDirectoryA(/pub/src/lib)");
    EXPECT_TRUE(childKeys("srv/pub").contains("srv/pub/src"));
    EXPECT_EQ(panel1(), hint("文件夹上传已取消"));

    onCall = nullptr;
    window->cmdPutFolder->click();
    expectFullTree();
    EXPECT_EQ(panel1(), hint("文件夹上传完成!"));
}

TEST_F(FolderUploadTest, RefusedFileIsReportedWithItsPathAndTheWalkGoesOn)
{
    net.refuse.insert("FtpPutFileA:/pub/src/b.c");
    window->cmdPutFolder->click();
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("文件上传失败：" + local("src/b.c") + " Err: 12003"));
    EXPECT_EQ(net.content("/pub/src/zz/e.c"), "E");
}

TEST_F(FolderUploadTest, TheFileSystemRootIsRefused)
{
    window->dirLocal->setPath("/");
    window->cmdPutFolder->click();
    EXPECT_EQ(panel1(), hint("不能上传根目录，请选择一个本地文件夹!"));
    EXPECT_TRUE(callsOf("FtpCreateDirectoryA").isEmpty());
    EXPECT_TRUE(callsOf("FtpPutFileA").isEmpty());
}

TEST_F(FolderUploadTest, EmptyFolderMakesOnlyTheRemoteFolder)
{
    window->dirLocal->setPath(local("src/empty"));
    window->cmdPutFolder->click();
    EXPECT_EQ(net.calls.filter(QRegularExpression("^Ftp(Create|Put)")),
              QStringList({"FtpCreateDirectoryA(/pub/empty)"}));
}

TEST_F(FolderUploadTest, FileNodeOrNothingSelectedIsRefused)
{
    net.addFile("/pub/x.txt");
    doubleClickNode("srv/pub");
    for (const QString& key : {QString("srv/pub/x.txt"), QString("missing")}) {
        selectNode(key);
        clearCalls();
        window->cmdPutFolder->click();
        EXPECT_EQ(panel1(), hint("请选择服务器上的目标文件夹!"));
        EXPECT_TRUE(net.calls.isEmpty());
    }
}

TEST_F(FolderUploadTest, IntoTheRootGoesToTheLoginDirectory)
{
    window->cmdDisConnect->click();
    net.loginDir = "/pub";
    connectFake();
    selectNode("srv");
    clearCalls();
    window->cmdPutFolder->click();
    EXPECT_EQ(callsOf("FtpSetCurrentDirectoryA").value(0), "FtpSetCurrentDirectoryA(/pub)");
    expectFullTree();
}
