// The server tree against the in-memory server: listing, nodes, server
// paths and double-click navigation.
#include "app/modWinInet.h"
#include "remote_tree/Listing.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>

using namespace testsupport;

namespace {

class Tree : public FakeWindowTest {};

TEST_F(Tree, TheFirstLevelShowsTheLoginDirectoryInListingOrder)
{
    net.addDir("/pub");
    net.addFile("/readme.txt");
    net.addEntry("/", "ro dir", 17);
    net.addEntry("/", "中文 名.txt", 128);
    connectFake();
    EXPECT_EQ(childKeys("srv"), (QStringList{"srv/pub", "srv/readme.txt", "srv/ro dir", "srv/中文 名.txt"}));
    EXPECT_EQ(imageOf("srv/pub"), "closed");
    EXPECT_EQ(imageOf("srv/readme.txt"), "file");
    EXPECT_EQ(imageOf("srv/ro dir"), "file");
    EXPECT_EQ(ServerTree::text(window->tvwServer->node("srv/pub")), "srv/pub");
    EXPECT_TRUE(window->tvwServer->isNodeExpanded(window->tvwServer->node("srv")));
    EXPECT_EQ(window->ListingNames, (QStringList{"pub", "readme.txt", "ro dir", "中文 名.txt"}));
    EXPECT_EQ(window->ListingAttributes, (QList<quint32>{16, 128, 17, 128}));
}

TEST_F(Tree, NamesThatCannotStandInAKeyAreLeftOut)
{
    net.addEntry("/", "", 128);
    net.addFile("/a.txt");
    net.addEntry("/", "x/y", 16);
    net.addEntry("/", "..", 16);
    connectFake();
    EXPECT_EQ(childKeys("srv"), (QStringList{"srv/a.txt", "srv/.."}));
    EXPECT_EQ(window->ListingNames, (QStringList{"a.txt", ".."}));
    EXPECT_EQ(window->ListingAttributes, (QList<quint32>{128, 16}));
}

TEST_F(Tree, DoubleClicksOpenCloseAndReopenAFolderFromTheServer)
{
    net.addFile("/pub/a.txt");
    net.addDir("/pub/src");
    connectFake();
    net.calls.clear();
    doubleClickNode("srv/pub");
    EXPECT_EQ(imageOf("srv/pub"), "open");
    const ServerTree::Node* pub = window->tvwServer->node("srv/pub");
    const QModelIndex at = window->tvwServer->indexOf(pub);
    EXPECT_EQ(at.data(Qt::DecorationRole).value<QIcon>().cacheKey(), window->imgPicture.image("open").cacheKey());
    EXPECT_EQ(at.data(Qt::AccessibleDescriptionRole).toString(), "open");
    EXPECT_EQ(childKeys("srv/pub"), (QStringList{"srv/pub/a.txt", "srv/pub/src"}));
    EXPECT_EQ(net.calls.mid(0, 2), (QStringList{"FtpSetCurrentDirectoryA(/pub)", "FtpFindFirstFileA(*.*)"}));
    EXPECT_TRUE(net.calls.last().startsWith("InternetCloseHandle("));

    doubleClickNode("srv/pub/src");
    net.addFile("/pub/src/new.c");
    doubleClickNode("srv/pub");
    EXPECT_EQ(imageOf("srv/pub"), "closed");
    EXPECT_TRUE(childKeys("srv/pub").isEmpty());
    EXPECT_FALSE(window->tvwServer->contains("srv/pub/src"));

    net.addFile("/pub/b.txt");
    doubleClickNode("srv/pub");
    EXPECT_EQ(childKeys("srv/pub"), (QStringList{"srv/pub/a.txt", "srv/pub/src", "srv/pub/b.txt"}));
    EXPECT_EQ(imageOf("srv/pub/src"), "closed");
}

TEST_F(Tree, FilesAndTheRootIgnoreDoubleClicks)
{
    net.addFile("/a.txt");
    connectFake();
    net.calls.clear();
    doubleClickNode("srv/a.txt");
    doubleClickNode("srv");
    EXPECT_TRUE(net.calls.isEmpty());
    EXPECT_EQ(imageOf("srv"), "root");
    EXPECT_EQ(childKeys("srv"), QStringList{"srv/a.txt"});
}

TEST_F(Tree, AnEmptyFolderStaysOpenWithoutChildren)
{
    net.addDir("/empty");
    connectFake();
    doubleClickNode("srv/empty");
    EXPECT_EQ(imageOf("srv/empty"), "open");
    EXPECT_TRUE(childKeys("srv/empty").isEmpty());
    EXPECT_EQ(panel1(), "提示: 文件夹为空!");
    doubleClickNode("srv/empty");
    EXPECT_EQ(imageOf("srv/empty"), "closed");
}

TEST_F(Tree, DoubleClickHintsWhenNotConnectedOrNothingSelected)
{
    net.addDir("/pub");
    connectFake();
    selectNode("nothing");
    window->tvwServer_DblClick();
    EXPECT_EQ(panel1(), "提示: 没有选中节点！");
    window->LoadInternetDialog()->cmdInternetClose_Click();
    selectNode("srv/pub");
    net.calls.clear();
    window->tvwServer_DblClick();
    EXPECT_EQ(panel1(), "提示: 未连接服务器!");
    EXPECT_EQ(imageOf("srv/pub"), "closed");
    EXPECT_TRUE(net.calls.isEmpty());
}

TEST_F(Tree, ADoubleClickOnTheEmptyAreaActsOnTheSelectedNode)
{
    net.addDir("/pub");
    connectFake();
    QWidget* area = window->tvwServer->viewport();
    const QPoint empty(5, area->height() - 2);
    ASSERT_EQ(window->tvwServer->nodeAt(empty), nullptr);
    selectNode("srv/pub");
    QTest::mouseDClick(area, Qt::LeftButton, {}, empty);
    EXPECT_EQ(imageOf("srv/pub"), "open");
    selectNode("nothing");
    QTest::mouseDClick(area, Qt::LeftButton, {}, empty);
    EXPECT_EQ(panel1(), "提示: 没有选中节点！");
}

TEST_F(Tree, AFolderThatVanishedBringsUpTheErrorReportAndListsNothingUnderIt)
{
    net.addDir("/pub");
    net.addFile("/top.txt");
    connectFake();
    net.refuse.insert("FtpSetCurrentDirectoryA:/pub");
    net.calls.clear();
    doubleClickNode("srv/pub");
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("TavFTP Err: 12003"));
    EXPECT_EQ(panel1(), "提示: TavFTP Extd Err: 550 550 No such file or directory.");
    EXPECT_EQ(imageOf("srv/pub"), "open");
    EXPECT_TRUE(childKeys("srv/pub").isEmpty());
    EXPECT_EQ(net.calls, QStringList{"FtpSetCurrentDirectoryA(/pub)"});
}

TEST_F(Tree, ListingFailuresReportTheirOperationAndKeepWhatWasRead)
{
    net.addFile("/pub/a.txt");
    net.addFile("/pub/b.txt");
    net.addFile("/pub/c.txt");
    net.addDir("/bad");
    connectFake();
    net.refuse.insert("FtpFindFirstFileA:/bad");
    doubleClickNode("srv/bad");
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("FtpFindFirstFile Err: 12003"));

    // The enumeration breaks after the second entry.
    int nexts = 0;
    net.onCall = [&](const QString& call) {
        if (call.startsWith("InternetFindNextFileA(") && ++nexts == 2)
            net.InternetCloseHandle(call.section('(', 1).chopped(1).toUInt());
    };
    doubleClickNode("srv/pub");
    ASSERT_EQ(person.msgBoxes.size(), 2);
    EXPECT_TRUE(person.msgBoxes[1].prompt.startsWith("InternetFindNextFile Err: 12018"));
    EXPECT_EQ(childKeys("srv/pub"), (QStringList{"srv/pub/a.txt", "srv/pub/b.txt"}));
}

TEST_F(Tree, RefreshRebuildsOneLevelAndKeepsAnEmptiedRoot)
{
    net.addDir("/pub/src");
    net.addFile("/pub/src/x.c");
    net.addDir("/docs");
    connectFake();
    doubleClickNode("srv/pub");
    doubleClickNode("srv/pub/src");
    net.addFile("/pub/new.txt");
    window->RefreshServerNode(window->tvwServer->node("srv/pub"));
    EXPECT_EQ(imageOf("srv/pub"), "open");
    EXPECT_EQ(childKeys("srv/pub"), (QStringList{"srv/pub/src", "srv/pub/new.txt"}));
    EXPECT_EQ(imageOf("srv/pub/src"), "closed");
    EXPECT_FALSE(window->tvwServer->contains("srv/pub/src/x.c"));

    window->RefreshServerNode(window->tvwServer->node("srv/docs"));
    EXPECT_EQ(imageOf("srv/docs"), "open");

    // Everything in the log-in directory deleted: the root stays, alone.
    const inet::HINTERNET c = modWinInet::ConnectionHandle;
    net.FtpDeleteFileA(c, "/pub/src/x.c");
    net.FtpRemoveDirectoryA(c, "/pub/src");
    net.FtpDeleteFileA(c, "/pub/new.txt");
    net.FtpRemoveDirectoryA(c, "/pub");
    net.FtpRemoveDirectoryA(c, "/docs");
    ASSERT_TRUE(net.names("/").isEmpty());
    window->RefreshServerNode(window->tvwServer->node("srv"));
    EXPECT_EQ(window->tvwServer->topLevelCount(), 1);
    EXPECT_EQ(window->tvwServer->nodeCount(), 1);
    EXPECT_EQ(imageOf("srv"), "root");
    EXPECT_EQ(panel1(), "提示: 文件夹为空!");
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(Tree, ALoginDirectoryBelowTheRootIsWhereNodesPoint)
{
    net.addDir("/home/u/pub");
    net.addFile("/home/u/pub/a.txt");
    net.loginDir = "/home/u";
    connectFake();
    EXPECT_EQ(window->LoginDirectory, "/home/u");
    EXPECT_EQ(window->ServerPathOfKey("srv"), "/home/u");
    EXPECT_EQ(window->ServerPathOfKey("srv/pub/a.txt"), "/home/u/pub/a.txt");
    net.calls.clear();
    doubleClickNode("srv/pub");
    EXPECT_EQ(net.calls.first(), "FtpSetCurrentDirectoryA(/home/u/pub)");
    EXPECT_EQ(childKeys("srv/pub"), QStringList{"srv/pub/a.txt"});
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(Tree, DirectoryChangesMapKeysOnlyWhenTheyBeginWithTheServerText)
{
    net.addDir("/pub/ftp/x");
    net.addDir("/home/u");
    net.loginDir = "/home/u";
    connectFake("ftp");
    net.calls.clear();
    window->ChangeServerDirectory("/pub/ftp/x");
    window->ChangeServerDirectory("ftp");
    window->ChangeServerDirectory("");
    EXPECT_EQ(net.calls, (QStringList{"FtpSetCurrentDirectoryA(/pub/ftp/x)", "FtpSetCurrentDirectoryA(/home/u)"}));
    EXPECT_EQ(panel1(), "提示: Please enter the directory to CD");
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(Tree, ADirectoryLargerThanSixteenBitsShowsEveryEntry)
{
    for (int i = 0; i < 40000; ++i)
        net.addEntry("/", QStringLiteral("f%1").arg(i), 128);
    connectFake();
    EXPECT_EQ(window->tvwServer->node("srv")->childCount(), 40000);
    EXPECT_TRUE(window->tvwServer->contains("srv/f39999"));
}

}  // namespace

namespace {

class TreeView : public FakeWindowTest {};

TEST_F(TreeView, OpeningALongFolderKeepsItInViewAndTooltipsTellWhatTheRowsCannot)
{
    for (int i = 0; i < 80; ++i)
        net.addFile(QStringLiteral("/pub/f%1.txt").arg(i, 2, 10, QChar('0')), "12345");
    const QString longName = QString(200, 'n') + ".txt";
    net.addFile("/pub/" + longName, "x");
    net.addDir("/pub/sub");
    connectFake();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    doubleClickNode("srv/pub");
    ServerTree* tree = window->tvwServer;
    const QRect shown = tree->viewport()->rect();
    EXPECT_TRUE(shown.contains(tree->nodeRect(tree->node("srv/pub"))));
    EXPECT_TRUE(shown.contains(tree->nodeRect(tree->node("srv/pub/f00.txt"))));

    EXPECT_EQ(tree->toolTipOf(tree->node("srv")), "");          // whole text shown, nothing more known
    EXPECT_EQ(tree->toolTipOf(tree->node("srv/pub/sub")), "");  // a folder without a time
    EXPECT_EQ(tree->toolTipOf(tree->node("srv/pub/f00.txt")), "srv/pub/f00.txt\n大小: 5 字节");
    const QString cut = "srv/pub/" + longName;
    EXPECT_EQ(tree->toolTipOf(tree->node(cut)), cut + "\n大小: 1 字节");

    ServerTree::Node* node = tree->node("srv/pub/f01.txt");
    tree->ensureNodeVisible(node);
    const QPoint at = tree->nodeRect(node).center();
    QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "srv/pub/f01.txt\n大小: 5 字节");
}

TEST(TreeDetails, SizeAndTimeOfChangeAsTheListingGaveThem)
{
    const QDateTime noon(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);
    const quint64 ticks = quint64(noon.toMSecsSinceEpoch() + 11644473600000LL) * 10000;
    const QString time = noon.toLocalTime().toString("yyyy-MM-dd hh:mm");
    const struct {
        quint32 attributes;
        quint32 sizeHigh, sizeLow;
        quint64 changed;
        QString expected;
    } rows[] = {
        {128, 0, 1234567, ticks, "大小: 1,234,567 字节  修改时间: " + time},
        {128, 1, 0, 0, "大小: 4,294,967,296 字节"},
        {16, 0, 4096, ticks, "修改时间: " + time},
        {16, 0, 0, 0, ""},
    };
    for (const auto& row : rows) {
        inet::FindData data;
        data.dwFileAttributes = row.attributes;
        data.nFileSizeHigh = row.sizeHigh;
        data.nFileSizeLow = row.sizeLow;
        data.ftLastWriteTime = row.changed;
        EXPECT_EQ(remote_tree::DetailsOf(remote_tree::FactsOf(data)), row.expected) << row.expected.toStdString();
    }
}

TEST_F(TreeView, OpenAndClosedFoldersLookDifferent)
{
    const QImage open = window->imgPicture.image("open").pixmap(16, 16).toImage();
    const QImage closed = window->imgPicture.image("closed").pixmap(16, 16).toImage();
    int differing = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            differing += open.pixel(x, y) != closed.pixel(x, y);
    EXPECT_GE(differing, 16);
}

}  // namespace
