// Single-file download and upload on the in-memory server: the exact calls,
// the hints and the files on both sides.
#include "transfer_fixture.h"

#include "local/DirListBox.h"
#include "local/FileListBox.h"

#include <QDir>
#include <QRadioButton>

using testsupport::readFile;
using testsupport::writeFile;

class FileTransferTest : public TransferTest {
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        net.addFile("/pub/a.txt", "line1\r\nline2\r\n");
        net.addDir("/pub/empty");
        connectFake();
        doubleClickNode("srv/pub");
        clearCalls();
    }
};

TEST_F(FileTransferTest, EveryCommandNeedsAConnection)
{
    window->cmdDisConnect->click();
    clearCalls();
    window->cmdGetFile_Click();
    EXPECT_EQ(panel1(), hint("未连接服务器!"));
    window->cmdPutFile_Click();
    EXPECT_EQ(panel1(), hint("未连接服务器!"));
    window->cmdGetFolder_Click();
    EXPECT_EQ(panel1(), hint("未连接服务器!"));
    window->cmdPutFolder_Click();
    EXPECT_EQ(panel1(), hint("未连接服务器!"));
    EXPECT_TRUE(callsOf("Ftp").isEmpty());
}

TEST_F(FileTransferTest, DownloadSetsTheFoldersDirectoryAndFetchesTheBareName)
{
    selectNode("srv/pub/a.txt");
    window->cmdGetFile->click();
    EXPECT_EQ(net.calls, QStringList({"FtpSetCurrentDirectoryA(/pub)",
                                      "FtpGetFileA(a.txt," + local("a.txt") + ",2)"}));
    EXPECT_EQ(seenHints(), QStringList({hint("开始下载文件!"), hint(local("a.txt") + "文件下载完成!")}));
    EXPECT_EQ(readFile(local("a.txt")), "line1\r\nline2\r\n");
    EXPECT_EQ(window->filLocal->list(0), "a.txt");  // the file pane was re-read
}

TEST_F(FileTransferTest, DownloadGoesIntoTheHighlightedNotTheOpenDirectory)
{
    QDir(localRoot.path()).mkdir("sub");
    window->dirLocal->refresh();
    highlightLocalDir(0);
    selectNode("srv/pub/a.txt");
    window->cmdGetFile->click();
    EXPECT_EQ(readFile(local("sub/a.txt")), "line1\r\nline2\r\n");
    EXPECT_FALSE(QFile::exists(local("a.txt")));
    EXPECT_EQ(panel1(), hint(local("sub/a.txt") + "文件下载完成!"));
}

TEST_F(FileTransferTest, DownloadOfAFolderNodeAsksForAFileOfThatNameAndReportsTheRefusal)
{
    selectNode("srv/pub/empty");
    window->cmdGetFile->click();
    EXPECT_EQ(callsOf("FtpGetFileA"), QStringList({"FtpGetFileA(empty," + local("empty") + ",2)"}));
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("FtpGetFile Err: 12003")) << person.msgBoxes[0].prompt.toStdString();
}

TEST_F(FileTransferTest, DownloadOfTheRootAsksForTheServerNameWithoutChangingDirectory)
{
    selectNode("srv");
    window->cmdGetFile->click();
    EXPECT_TRUE(callsOf("FtpSetCurrentDirectoryA").isEmpty());
    EXPECT_TRUE(seenHints().contains(hint("Please enter the directory to CD")));
    EXPECT_EQ(callsOf("FtpGetFileA"), QStringList({"FtpGetFileA(srv," + local("srv") + ",2)"}));
    EXPECT_EQ(person.msgBoxes.size(), 1);
}

TEST_F(FileTransferTest, NothingSelectedGivesHints)
{
    selectNode("nothing");
    window->cmdGetFile->click();
    EXPECT_EQ(panel1(), hint("请在FTP服务器上选择一个要下载的文件!"));
    window->cmdPutFile->click();
    EXPECT_EQ(panel1(), hint("请在FTP服务器上选择一个要上传文件的文件夹!"));
    selectNode("srv/pub/a.txt");
    window->cmdPutFile->click();
    EXPECT_EQ(panel1(), hint("请在FTP服务器上选择一个要上传文件的文件夹!"));
    selectNode("srv/pub");
    window->cmdPutFile->click();
    EXPECT_EQ(panel1(), hint("请在本地计算机选择要上传的文件"));
    EXPECT_TRUE(net.calls.isEmpty());
}

TEST_F(FileTransferTest, TransferTypeFollowsTheOptions)
{
    writeFile(local("up.txt"), "u");
    selectLocalFile("up.txt");
    selectNode("srv/pub");
    window->optAscii->click();
    window->cmdPutFile->click();
    window->optBin->click();
    window->cmdPutFile->click();
    window->optAscii->click();
    window->optBin->click();
    selectNode("srv/pub/a.txt");
    window->cmdGetFile->click();
    EXPECT_EQ(callsOf("FtpPutFileA"), QStringList({"FtpPutFileA(" + local("up.txt") + ",up.txt,1)",
                                                   "FtpPutFileA(" + local("up.txt") + ",up.txt,2)"}));
    EXPECT_TRUE(callsOf("FtpGetFileA").first().endsWith(",2)"));
}

TEST_F(FileTransferTest, UploadSendsTheBareNameIntoTheFolderAndShowsIt)
{
    writeFile(local("new.txt"), "fresh");
    selectLocalFile("new.txt");
    selectNode("srv/pub");
    window->cmdPutFile->click();
    EXPECT_EQ(callsOf("FtpSetCurrentDirectoryA").value(0), "FtpSetCurrentDirectoryA(/pub)");
    EXPECT_EQ(callsOf("FtpPutFileA"), QStringList({"FtpPutFileA(" + local("new.txt") + ",new.txt,2)"}));
    EXPECT_EQ(net.content("/pub/new.txt"), "fresh");
    EXPECT_TRUE(childKeys("srv/pub").contains("srv/pub/new.txt"));
    EXPECT_EQ(seenHints().first(), hint("开始上传文件！"));
    EXPECT_EQ(panel1(), hint("文件上传完成！"));
}

TEST_F(FileTransferTest, UploadIntoTheRootGoesToTheLoginDirectory)
{
    window->cmdDisConnect->click();
    net.loginDir = "/home/u";
    net.addDir("/home/u");
    connectFake();
    writeFile(local("new.txt"), "fresh");
    selectLocalFile("new.txt");
    selectNode("srv");
    clearCalls();
    window->cmdPutFile->click();
    EXPECT_EQ(callsOf("FtpSetCurrentDirectoryA").value(0), "FtpSetCurrentDirectoryA(/home/u)");
    EXPECT_EQ(net.content("/home/u/new.txt"), "fresh");
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(FileTransferTest, RefusedUploadIsReportedAndTheFolderLeftAlone)
{
    writeFile(local("new.txt"), "fresh");
    selectLocalFile("new.txt");
    selectNode("srv/pub");
    net.refuse.insert("FtpPutFileA:/pub/new.txt");
    window->cmdPutFile->click();
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("FtpPutFile Err: 12003"));
    EXPECT_TRUE(callsOf("FtpFindFirstFileA").isEmpty());  // not re-listed
    EXPECT_FALSE(childKeys("srv/pub").contains("srv/pub/new.txt"));
}

TEST_F(FileTransferTest, ProgressShowsOnlyWhileTheTransferRuns)
{
    QString during;
    onCall = [&](const QString& call) {
        if (!call.startsWith("FtpGetFileA"))
            return;
        ASSERT_TRUE(net.progress);
        net.progress(50, 100);
        during = panel1();
    };
    selectNode("srv/pub/a.txt");
    window->cmdGetFile->click();
    EXPECT_TRUE(during.startsWith("进度: ")) << during.toStdString();
    EXPECT_FALSE(net.progress);
    EXPECT_EQ(panel1(), hint(local("a.txt") + "文件下载完成!"));
}
