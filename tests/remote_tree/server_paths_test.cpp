#include "remote_tree/Listing.h"
#include "remote_tree/ServerPaths.h"

#include <gtest/gtest.h>

using namespace remote_tree;

namespace {

struct PathRow {
    const char* keyOrPath;
    const char* server;
    const char* login;
    const char* directory;  // what a directory change goes to
};

class DirectoryOfKey : public ::testing::TestWithParam<PathRow> {};

TEST_P(DirectoryOfKey, MapsKeysAndKeepsPaths)
{
    const PathRow row = GetParam();
    EXPECT_EQ(DirectoryOf(QString::fromUtf8(row.keyOrPath), QString::fromUtf8(row.server), QString::fromUtf8(row.login)),
              QString::fromUtf8(row.directory))
        << row.keyOrPath << " on " << row.server << " in " << row.login;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectoryOfKey,
    ::testing::Values(
        PathRow{"srv/pub/src", "srv", "/", "/pub/src"}, PathRow{"srv", "srv", "/", "/"},
        PathRow{"/pub/src", "srv", "/", "/pub/src"}, PathRow{"/pub/ftp/x", "ftp", "/", "/pub/ftp/x"},
        PathRow{"/pub/srv", "srv", "/home/u", "/pub/srv"}, PathRow{"srv", "srv", "/home/u", "/home/u"},
        PathRow{"srv/pub", "srv", "/home/u", "/home/u/pub"}, PathRow{"srv/pub", "srv", "/home/u/", "/home/u/pub"},
        PathRow{"srv/pub", "srv", "", "/pub"}, PathRow{"127.0.0.1/a b/中文", "127.0.0.1", "/", "/a b/中文"},
        PathRow{"srv/x", "", "/", "srv/x"}));

TEST(ServerPathOfKey, JoinsTheLoginDirectoryWithTheKeyAfterTheServerText)
{
    EXPECT_EQ(ServerPathOfKey("srv", "srv", "/"), "/");
    EXPECT_EQ(ServerPathOfKey("srv", "srv", "/home/u"), "/home/u");
    EXPECT_EQ(ServerPathOfKey("srv/pub/src", "srv", "/"), "/pub/src");
    EXPECT_EQ(ServerPathOfKey("srv/pub/src", "srv", "/home/u"), "/home/u/pub/src");
    EXPECT_EQ(ServerPathOfKey("srv/pub", "srv", "//"), "/pub");
}

TEST(NodeNames, EmptyNamesAndSlashesCannotStandInAKey)
{
    EXPECT_TRUE(IsNodeName("readme.txt"));
    EXPECT_TRUE(IsNodeName(".."));
    EXPECT_TRUE(IsNodeName("a b 中文"));
    EXPECT_FALSE(IsNodeName(""));
    EXPECT_FALSE(IsNodeName("a/b"));
    EXPECT_FALSE(IsNodeName("/"));
}

TEST(ListingNodes, FoldersAreExactlyTheDirectoryBit)
{
    const QList<ServerTree::NewNode> nodes = {NodeOfListing("pub", 16), NodeOfListing("ro", 17),
                                              NodeOfListing("readme.txt", 128),
                                              NodeOfListing("high", 0x10010)};
    EXPECT_EQ(nodes[0].name, "pub");
    EXPECT_EQ(nodes[0].image, "closed");
    EXPECT_EQ(nodes[1].image, "file");
    EXPECT_EQ(nodes[2].image, "file");
    EXPECT_EQ(nodes[3].image, "closed");  // only the low 16 bits count
}

}  // namespace
