// The server branches of make, delete and rename against the in-memory
// server: the exact calls, the hints, the error reports and the tree.
#include "app/modWinInet.h"
#include "support/window_fixture.h"

using namespace testsupport;

namespace {

class ServerCommands : public FakeWindowTest {
protected:
    // Answers the chooser with OK (the server) and the input box with answer.
    void runServer(void (frmMain::*handler)(), const QString& answer = {})
    {
        person.modalScripts = {[](QDialog* dialog) { ScriptedToolkit::click(dialog, "cmdOption"); }};
        person.inputAnswers = {answer};
        net.calls.clear();
        (window.get()->*handler)();
    }
    QString hint(const QString& text) const { return QStringLiteral("提示: ") + text; }
    // Calls that change something on the server, in order.
    QStringList changes() const
    {
        QStringList found;
        for (const QString& call : net.calls) {
            if (call.startsWith("FtpCreate") || call.startsWith("FtpRemove") || call.startsWith("FtpDelete") ||
                call.startsWith("FtpRename"))
                found.append(call);
        }
        return found;
    }
};

TEST_F(ServerCommands, MakeInTheRootUsesTheLoginDirectory)
{
    net.loginDir = "/home/u";
    net.addDir("/home/u/pub");
    connectFake();
    selectNode("srv");
    runServer(&frmMain::cmdMdDir_Click, "new");
    ASSERT_EQ(person.inputBoxes.size(), 1);
    EXPECT_EQ(person.inputBoxes[0].prompt, QStringLiteral("请输入要创建目录的名字\r\nFTP服务器当前路径是：/home/u"));
    EXPECT_EQ(person.inputBoxes[0].title, QStringLiteral("在FTP服务器上创建目录"));
    EXPECT_EQ(person.inputBoxes[0].defaultText, QString());
    EXPECT_EQ(net.calls.mid(0, 2), (QStringList{"FtpSetCurrentDirectoryA(/home/u)", "FtpCreateDirectoryA(new)"}));
    EXPECT_TRUE(net.hasDir("/home/u/new"));
    EXPECT_EQ(childKeys("srv"), (QStringList{"srv/pub", "srv/new"}));
    EXPECT_EQ(imageOf("srv"), "root");
    EXPECT_EQ(panel1(), hint("目录创建成功！"));
}

TEST_F(ServerCommands, MakeInAFolderKeepsSpacesAndOpensIt)
{
    net.addDir("/pub");
    connectFake();
    selectNode("srv/pub");
    runServer(&frmMain::cmdMdDir_Click, " sp ");
    EXPECT_EQ(net.calls.mid(0, 2), (QStringList{"FtpSetCurrentDirectoryA(/pub)", "FtpCreateDirectoryA( sp )"}));
    EXPECT_TRUE(net.hasDir("/pub/ sp "));
    EXPECT_EQ(imageOf("srv/pub"), "open");
    EXPECT_EQ(childKeys("srv/pub"), QStringList{"srv/pub/ sp "});

    runServer(&frmMain::cmdMdDir_Click, "");
    EXPECT_TRUE(changes().isEmpty()) << "an empty answer stops";
}

TEST_F(ServerCommands, RefusedMakeReportsAndLeavesTheTree)
{
    net.addDir("/pub");
    net.refuse.insert("FtpCreateDirectoryA:/pub/x");
    connectFake();
    selectNode("srv/pub");
    runServer(&frmMain::cmdMdDir_Click, "x");
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("创建目录文件夹 Err: 12003")) << person.msgBoxes[0].prompt.toStdString();
    EXPECT_EQ(imageOf("srv/pub"), "closed") << "not refreshed";
    EXPECT_FALSE(net.hasDir("/pub/x"));
}

TEST_F(ServerCommands, PreconditionHintsSendNothing)
{
    net.addDir("/pub");
    net.addFile("/a.txt");
    connectFake();
    struct Row {
        void (frmMain::*handler)();
        const char* node;
        const char* hint;
    };
    const Row rows[] = {
        {&frmMain::cmdMdDir_Click, "srv/a.txt", "请在FTP服务器上选择一个要创建目录的文件夹!"},
        {&frmMain::cmdMdDir_Click, "", "请在FTP服务器上选择一个要创建目录的文件夹!"},
        {&frmMain::cmdDelFile_Click, "srv/pub", "请在FTP服务器上选择一个要删除的文件!"},
        {&frmMain::cmdDelFile_Click, "", "请在FTP服务器上选择一个要删除的文件!"},
        {&frmMain::cmdDelDir_Click, "srv", "请在FTP服务器上选择一个要删除的目录!"},
        {&frmMain::cmdDelDir_Click, "srv/a.txt", "请在FTP服务器上选择一个要删除的目录!"},
        {&frmMain::cmdNameDir_Click, "srv", "请选择要重命名的文件夹！"},
        {&frmMain::cmdNameDir_Click, "srv/a.txt", "请选择要重命名的文件夹！"},
        {&frmMain::cmdNameFile_Click, "srv/pub", "请选择要重命名的文件！"},
        {&frmMain::cmdNameFile_Click, "", "请选择要重命名的文件！"},
    };
    for (const Row& row : rows) {
        selectNode(row.node);
        runServer(row.handler, "x");
        EXPECT_EQ(panel1(), hint(row.hint)) << row.node;
        EXPECT_TRUE(net.calls.isEmpty()) << row.node;
    }
    EXPECT_TRUE(person.inputBoxes.isEmpty());

    modWinInet::IsConnected = false;
    for (auto handler : {&frmMain::cmdMdDir_Click, &frmMain::cmdDelFile_Click, &frmMain::cmdDelDir_Click}) {
        runServer(handler);
        EXPECT_EQ(panel1(), hint("未连接服务器!"));
    }
    for (auto handler : {&frmMain::cmdNameFile_Click, &frmMain::cmdNameDir_Click}) {
        runServer(handler);
        EXPECT_EQ(panel1(), hint("未建立有效的FTP连接！"));
    }
}

TEST_F(ServerCommands, DeleteSendsTheAbsolutePathAndRelistsTheParent)
{
    net.loginDir = "/home/u";
    net.addFile("/home/u/pub/a.txt");
    net.addFile("/home/u/pub/b.txt");
    net.addDir("/home/u/pub/empty");
    connectFake();
    doubleClickNode("srv/pub");
    selectNode("srv/pub/a.txt");
    runServer(&frmMain::cmdDelFile_Click);
    EXPECT_EQ(net.calls.first(), "FtpDeleteFileA(/home/u/pub/a.txt)") << "no directory change first";
    EXPECT_EQ(panel1(), hint("文件删除成功！"));
    EXPECT_EQ(childKeys("srv/pub"), (QStringList{"srv/pub/b.txt", "srv/pub/empty"}));

    selectNode("srv/pub/empty");
    runServer(&frmMain::cmdDelDir_Click);
    EXPECT_EQ(net.calls.first(), "FtpRemoveDirectoryA(/home/u/pub/empty)");
    EXPECT_EQ(panel1(), hint("文件夹删除成功！"));
    EXPECT_EQ(childKeys("srv/pub"), QStringList{"srv/pub/b.txt"});
    EXPECT_TRUE(person.msgBoxes.isEmpty()) << "no confirmation";
}

TEST_F(ServerCommands, RefusedDeletesSayWhyAndChangeNothing)
{
    net.addFile("/full/a.txt");
    net.addFile("/b.txt");
    net.refuse.insert("FtpDeleteFileA:/b.txt");
    connectFake();
    doubleClickNode("srv/full");
    const QStringList tree = childKeys("srv");

    selectNode("srv/full");
    runServer(&frmMain::cmdDelDir_Click);
    EXPECT_TRUE(panel1().startsWith("提示: 删除目录失败：")) << panel1().toStdString();
    selectNode("srv/b.txt");
    runServer(&frmMain::cmdDelFile_Click);
    EXPECT_TRUE(panel1().startsWith("提示: 删除文件失败：")) << panel1().toStdString();
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_EQ(childKeys("srv"), tree);
    EXPECT_EQ(childKeys("srv/full"), QStringList{"srv/full/a.txt"});
}

TEST_F(ServerCommands, RenameFileAndFolderRelistTheParent)
{
    net.addFile("/pub/old.txt");
    net.addFile("/docs/inner/x.txt");
    connectFake();
    doubleClickNode("srv/pub");
    selectNode("srv/pub/old.txt");
    runServer(&frmMain::cmdNameFile_Click, "new.txt");
    EXPECT_EQ(person.inputBoxes.last().defaultText, "old.txt");
    EXPECT_EQ(person.inputBoxes.last().title, QStringLiteral("在FTP服务器重命名"));
    EXPECT_EQ(net.calls.first(), "FtpRenameFileA(/pub/old.txt,/pub/new.txt)");
    EXPECT_EQ(net.calls.mid(1, 2), (QStringList{"FtpSetCurrentDirectoryA(/pub)", "FtpFindFirstFileA(*.*)"}));
    EXPECT_EQ(childKeys("srv/pub"), QStringList{"srv/pub/new.txt"});
    EXPECT_EQ(panel1(), hint("重命名操作完成！"));

    doubleClickNode("srv/docs");
    doubleClickNode("srv/docs/inner");
    selectNode("srv/docs");
    runServer(&frmMain::cmdNameDir_Click, "archive");
    EXPECT_EQ(changes(), QStringList{"FtpRenameFileA(/docs,/archive)"});
    EXPECT_TRUE(window->tvwServer->contains("srv/archive"));
    EXPECT_EQ(imageOf("srv/archive"), "closed");
    EXPECT_FALSE(window->tvwServer->contains("srv/docs/inner/x.txt"));
}

TEST_F(ServerCommands, RenameAnswersAsTyped)
{
    net.addFile("/pub/a.txt");
    net.addDir("/sub");
    connectFake();
    doubleClickNode("srv/pub");
    selectNode("srv/pub/a.txt");
    runServer(&frmMain::cmdNameFile_Click, "   ");
    EXPECT_EQ(panel1(), hint("重命名操作已取消"));
    EXPECT_TRUE(changes().isEmpty());

    runServer(&frmMain::cmdNameFile_Click, " b.txt ");
    EXPECT_EQ(changes(), QStringList{"FtpRenameFileA(/pub/a.txt,/pub/ b.txt )"});
    EXPECT_TRUE(net.hasFile("/pub/ b.txt "));

    selectNode("srv/pub/ b.txt ");
    runServer(&frmMain::cmdNameFile_Click, "../sub/c.txt");
    EXPECT_EQ(changes(), QStringList{"FtpRenameFileA(/pub/ b.txt ,/pub/../sub/c.txt)"});
}

TEST_F(ServerCommands, RefusedRenameReportsThenCloses)
{
    net.addFile("/a.txt");
    net.refuse.insert("FtpRenameFileA:/a.txt");
    connectFake();
    selectNode("srv/a.txt");
    runServer(&frmMain::cmdNameFile_Click, "b.txt");
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("FtpRenameFile Err: 12003"));
    EXPECT_EQ(panel1(), hint("重命名操作完成！"));
    EXPECT_FALSE(net.calls.join(' ').contains("FtpFindFirstFileA")) << "the tree is not refreshed";
    EXPECT_TRUE(net.hasFile("/a.txt"));
}

}  // namespace
