// Make, delete and rename on a real FTP server through the real window and
// library, checked on the server's disk.
#include "app/modWinInet.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QFileInfo>

using namespace testsupport;

namespace {

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

class FileOpsE2e : public LiveWindowTest {
protected:
    FileOpsE2e() = default;
    explicit FileOpsE2e(FtpServer::Options options) : LiveWindowTest(options) {}

    // Answers the chooser with OK (the server) and the input box with answer.
    void runServer(void (frmMain::*handler)(), const QString& answer = {})
    {
        person.modalScripts = {[](QDialog* dialog) { ScriptedToolkit::click(dialog, "cmdOption"); }};
        person.inputAnswers = {answer};
        (window.get()->*handler)();
    }
    // Server path of a name inside this test's folder.
    QString work(const QString& name) const
    {
        return (server.workDir() == QLatin1String("/") ? QString() : server.workDir()) + '/' + name;
    }
    // Connects and opens this test's folder when it is not the log-in directory.
    void connectAndOpenWork()
    {
        connectLive();
        ASSERT_TRUE(modWinInet::IsConnected);
        if (server.workDir() != server.loginDir())
            doubleClickNode(keyOf(server.workDir()));
    }
    bool dirOnServer(const QString& path) const { return QFileInfo(server.localPath(path)).isDir(); }
    bool existsOnServer(const QString& path) const { return QFileInfo::exists(server.localPath(path)); }
    QString hint(const QString& text) const { return QStringLiteral("提示: ") + text; }
};

FtpServer::Options homeLogin()
{
    FtpServer::Options options;
    options.loginSubdir = QStringLiteral("home");
    return options;
}

class FileOpsBelowLoginE2e : public FileOpsE2e {
protected:
    FileOpsBelowLoginE2e() : FileOpsE2e(homeLogin()) {}
    void SetUp() override
    {
        if (!FtpServer::supports(homeLogin()))
            GTEST_SKIP() << "an external server's log-in directory cannot be set by this test";
        FileOpsE2e::SetUp();
    }
};

TEST_F(FileOpsBelowLoginE2e, MakeInTheRootLandsInTheLoginDirectoryAndInAFolder)
{
    QDir().mkpath(server.localPath("/home/pub"));
    connectLive();
    selectNode(server.host());
    runServer(&frmMain::cmdMdDir_Click, "made");
    ASSERT_EQ(person.inputBoxes.size(), 1);
    EXPECT_EQ(person.inputBoxes[0].prompt, QStringLiteral("请输入要创建目录的名字\r\nFTP服务器当前路径是：/home"));
    EXPECT_TRUE(dirOnServer("/home/made"));
    EXPECT_FALSE(existsOnServer("/made"));
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_EQ(panel1(), hint("目录创建成功！"));
    EXPECT_TRUE(childKeys(server.host()).contains(keyOf("/home/made")));

    selectNode(keyOf("/home/pub"));
    runServer(&frmMain::cmdMdDir_Click, " inner ");
    EXPECT_TRUE(dirOnServer("/home/pub/ inner "));
    EXPECT_EQ(imageOf(keyOf("/home/pub")), "open");
    EXPECT_EQ(childKeys(keyOf("/home/pub")), QStringList{keyOf("/home/pub/ inner ")});
}

TEST_F(FileOpsE2e, DeleteAFileAndAnEmptyFolderRefuseAFullOne)
{
    putOnServer(work("a.txt"), "A");
    putOnServer(work("gone.txt"), "G");
    putOnServer(work("full/inside.txt"), "I");
    QDir().mkpath(server.localPath(work("empty")));
    connectAndOpenWork();
    const QString folder = keyOf(server.workDir());

    selectNode(keyOf(work("a.txt")));
    runServer(&frmMain::cmdDelFile_Click);
    EXPECT_FALSE(existsOnServer(work("a.txt")));
    EXPECT_EQ(panel1(), hint("文件删除成功！"));
    EXPECT_FALSE(childKeys(folder).contains(keyOf(work("a.txt"))));

    selectNode(keyOf(work("empty")));
    runServer(&frmMain::cmdDelDir_Click);
    EXPECT_FALSE(existsOnServer(work("empty")));
    EXPECT_EQ(panel1(), hint("文件夹删除成功！"));
    EXPECT_EQ(sorted(childKeys(folder)), QStringList({keyOf(work("full")), keyOf(work("gone.txt"))}));

    // Refusals say so with the server's reason, never leaving an earlier success in view.
    selectNode(keyOf(work("full")));
    runServer(&frmMain::cmdDelDir_Click);
    EXPECT_TRUE(panel1().startsWith(hint("删除目录失败：550"))) << panel1().toStdString();
    QFile::remove(server.localPath(work("gone.txt")));
    selectNode(keyOf(work("gone.txt")));
    runServer(&frmMain::cmdDelFile_Click);
    EXPECT_TRUE(panel1().startsWith(hint("删除文件失败：550"))) << panel1().toStdString();
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_EQ(readOnServer(work("full/inside.txt")), "I");
    EXPECT_EQ(sorted(childKeys(folder)), QStringList({keyOf(work("full")), keyOf(work("gone.txt"))}));
}

TEST_F(FileOpsE2e, MakeDirectoryStopsWhenTheSelectedFolderCannotBeEntered)
{
    QDir().mkpath(server.localPath(work("vanishing")));
    connectAndOpenWork();
    QDir(server.localPath(work("vanishing"))).removeRecursively();
    selectNode(keyOf(work("vanishing")));
    runServer(&frmMain::cmdMdDir_Click, "new");
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("TavFTP Err: 12003"));
    EXPECT_TRUE(person.inputBoxes.isEmpty());
    EXPECT_EQ(QDir(server.localPath(server.workDir())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(FileOpsE2e, RenameAFileAndAFolderOnTheServer)
{
    putOnServer(work("old.txt"), "O");
    putOnServer(work("docs/inner/x.txt"), "X");
    connectAndOpenWork();
    const QString folder = keyOf(server.workDir());

    selectNode(keyOf(work("old.txt")));
    runServer(&frmMain::cmdNameFile_Click, " new.txt ");
    EXPECT_EQ(person.inputBoxes.last().defaultText, "old.txt");
    EXPECT_EQ(readOnServer(work(" new.txt ")), "O");
    EXPECT_FALSE(existsOnServer(work("old.txt")));
    EXPECT_TRUE(childKeys(folder).contains(keyOf(work(" new.txt "))));
    EXPECT_EQ(panel1(), hint("重命名操作完成！"));

    doubleClickNode(keyOf(work("docs")));
    doubleClickNode(keyOf(work("docs/inner")));
    selectNode(keyOf(work("docs")));
    runServer(&frmMain::cmdNameDir_Click, "archive");
    EXPECT_EQ(readOnServer(work("archive/inner/x.txt")), "X");
    EXPECT_EQ(imageOf(keyOf(work("archive"))), "closed");
    EXPECT_FALSE(window->tvwServer->contains(keyOf(work("docs/inner"))));
    EXPECT_EQ(panel1(), hint("重命名操作完成！"));
}

TEST_F(FileOpsE2e, RefusedRenameReportsThenSaysDone)
{
    putOnServer(work("a.txt"), "A");
    connectAndOpenWork();
    selectNode(keyOf(work("a.txt")));
    runServer(&frmMain::cmdNameFile_Click, "no-such-dir/b.txt");
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("FtpRenameFile Err: ")) << person.msgBoxes[0].prompt.toStdString();
    EXPECT_EQ(panel1(), hint("重命名操作完成！"));
    EXPECT_EQ(readOnServer(work("a.txt")), "A");
    EXPECT_TRUE(modWinInet::IsConnected) << "No to the report keeps the connection";
}

TEST_F(FileOpsE2e, WrongNodeKindsGiveHintsAndTouchNothing)
{
    putOnServer(work("a.txt"), "A");
    QDir().mkpath(server.localPath(work("dir")));
    connectAndOpenWork();
    selectNode(keyOf(work("a.txt")));
    runServer(&frmMain::cmdMdDir_Click, "x");
    EXPECT_EQ(panel1(), hint("请在FTP服务器上选择一个要创建目录的文件夹!"));
    runServer(&frmMain::cmdDelDir_Click);
    EXPECT_EQ(panel1(), hint("请在FTP服务器上选择一个要删除的目录!"));
    runServer(&frmMain::cmdNameDir_Click, "x");
    EXPECT_EQ(panel1(), hint("请选择要重命名的文件夹！"));
    selectNode(keyOf(work("dir")));
    runServer(&frmMain::cmdDelFile_Click);
    EXPECT_EQ(panel1(), hint("请在FTP服务器上选择一个要删除的文件!"));
    runServer(&frmMain::cmdNameFile_Click, "x");
    EXPECT_EQ(panel1(), hint("请选择要重命名的文件！"));
    selectNode(QString());
    runServer(&frmMain::cmdDelFile_Click);
    EXPECT_EQ(panel1(), hint("请在FTP服务器上选择一个要删除的文件!"));
    selectNode(server.host());
    runServer(&frmMain::cmdDelDir_Click);
    EXPECT_EQ(panel1(), hint("请在FTP服务器上选择一个要删除的目录!"));

    EXPECT_TRUE(person.inputBoxes.isEmpty());
    EXPECT_EQ(readOnServer(work("a.txt")), "A");
    EXPECT_TRUE(dirOnServer(work("dir")));
}

}  // namespace
