// Browsing a real FTP server through the real window and library.
#include "app/modWinInet.h"
#include "support/window_fixture.h"

#include <QDir>

#include <algorithm>

using namespace testsupport;

namespace {

QStringList sorted(QStringList list)
{
    std::sort(list.begin(), list.end());
    return list;
}

class LiveTree : public LiveWindowTest {
protected:
    // Connects and opens the test's own folder; returns its key.
    QString connectToWorkDir()
    {
        connectLive();
        const QString key = keyOf(server.workDir());
        if (key != server.host())
            doubleClickNode(key);
        return key;
    }
};

TEST_F(LiveTree, AFolderOpensClosesAndOpensAgainWithNewEntries)
{
    const QString dir = server.workDir() + "/pub";
    putOnServer(dir + "/a.txt", "a");
    QDir().mkpath(server.localPath(dir + "/src"));
    const QString work = connectToWorkDir();
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    const QString pub = work + "/pub";
    ASSERT_EQ(imageOf(pub), "closed");

    doubleClickNode(pub);
    EXPECT_EQ(imageOf(pub), "open");
    EXPECT_EQ(sorted(childKeys(pub)), (QStringList{pub + "/a.txt", pub + "/src"}));
    EXPECT_EQ(imageOf(pub + "/a.txt"), "file");
    EXPECT_EQ(imageOf(pub + "/src"), "closed");

    doubleClickNode(pub);
    EXPECT_EQ(imageOf(pub), "closed");
    EXPECT_TRUE(childKeys(pub).isEmpty());

    putOnServer(dir + "/b 文件.txt", "b");
    doubleClickNode(pub);
    EXPECT_EQ(sorted(childKeys(pub)), (QStringList{pub + "/a.txt", pub + "/b 文件.txt", pub + "/src"}));
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(LiveTree, AnEmptyFolderGivesTheHint)
{
    QDir().mkpath(server.localPath(server.workDir() + "/empty"));
    const QString work = connectToWorkDir();
    doubleClickNode(work + "/empty");
    EXPECT_EQ(panel1(), "提示: 文件夹为空!");
    EXPECT_EQ(imageOf(work + "/empty"), "open");
    EXPECT_TRUE(childKeys(work + "/empty").isEmpty());
}

TEST_F(LiveTree, AFolderThatVanishedBringsUpTheErrorReport)
{
    QDir().mkpath(server.localPath(server.workDir() + "/gone"));
    putOnServer(server.workDir() + "/stay.txt", "s");
    const QString work = connectToWorkDir();
    ASSERT_EQ(imageOf(work + "/gone"), "closed");
    QDir(server.localPath(server.workDir() + "/gone")).removeRecursively();

    doubleClickNode(work + "/gone");
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("TavFTP Err: 12003")) << person.msgBoxes[0].prompt.toStdString();
    EXPECT_TRUE(panel1().contains("550")) << panel1().toStdString();
    EXPECT_EQ(imageOf(work + "/gone"), "open");
    EXPECT_TRUE(childKeys(work + "/gone").isEmpty());
    EXPECT_TRUE(modWinInet::IsConnected);  // the person answered No
}

TEST_F(LiveTree, RefreshShowsWhatChangedOnTheServer)
{
    putOnServer(server.workDir() + "/d/one.txt", "1");
    const QString work = connectToWorkDir();
    doubleClickNode(work + "/d");
    putOnServer(server.workDir() + "/d/two.txt", "2");
    window->RefreshServerNode(window->tvwServer->node(work + "/d"));
    EXPECT_EQ(sorted(childKeys(work + "/d")), (QStringList{work + "/d/one.txt", work + "/d/two.txt"}));
}

class LiveTreeLoginElsewhere : public LiveWindowTest {
protected:
    static FtpServer::Options options() { return FtpServer::Options{QStringLiteral("home/u")}; }
    LiveTreeLoginElsewhere() : LiveWindowTest(options()) {}
    void SetUp() override
    {
        if (!FtpServer::supports(options()))
            GTEST_SKIP() << "an external server cannot change its log-in directory";
        LiveWindowTest::SetUp();
    }
};

TEST_F(LiveTreeLoginElsewhere, FirstLevelFoldersOpenBelowTheLoginDirectory)
{
    putOnServer("/home/u/pub/a.txt", "a");
    putOnServer("/pub/decoy.txt", "d");  // a same-named folder at the server's top
    connectLive();
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_EQ(window->LoginDirectory, "/home/u");
    const QString pub = server.host() + "/pub";
    EXPECT_EQ(childKeys(server.host()), QStringList{pub});
    EXPECT_EQ(window->ServerPathOfKey(pub), "/home/u/pub");

    doubleClickNode(pub);
    EXPECT_EQ(childKeys(pub), QStringList{pub + "/a.txt"});
    EXPECT_TRUE(person.msgBoxes.isEmpty());

    window->RefreshServerNode(window->tvwServer->node(server.host()));
    EXPECT_EQ(childKeys(server.host()), QStringList{pub});
}

}  // namespace
