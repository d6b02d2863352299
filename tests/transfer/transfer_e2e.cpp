// Transfers through the real window, the real library and a real server,
// checked on both disks.
#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>
#include <ostream>

#include <fcntl.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using Tree = QMap<QString, QByteArray>;

// Every file (by relative path, with its bytes) and folder (relative path and "/") below a local folder.
Tree treeOf(const QString& root)
{
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir())
            tree.insert(relative + '/', QByteArray());
        else
            tree.insert(relative, readFile(path));
    }
    return tree;
}

// Files by the bytes of their names, which Qt would turn into UTF-8.
void writeRaw(const QByteArray& path, const QByteArray& content)
{
    QFile file;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        file.write(content);
}

QByteArray readRaw(const QByteArray& path)
{
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return "<missing>";
    return file.readAll();
}

QByteArray allBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes + "\r\n\n\r" + QByteArray(70000, 'x');
}

}  // namespace

class TransferE2E : public testsupport::LiveWindowTest {
protected:
    TransferE2E() = default;
    explicit TransferE2E(testsupport::FtpServer::Options options) : LiveWindowTest(options) {}

    void SetUp() override
    {
        LiveWindowTest::SetUp();
        if (IsSkipped())
            return;
        putOnServer(work("tree/a.txt"), "alpha\n");
        putOnServer(work("tree/sub/b.bin"), allBytes());
        putOnServer(work("tree/sub/deep/c.txt"), "gamma\n");
        putOnServer(work("tree/sub/deep/d.txt"), "delta\n");
        putOnServer(work("tree/z.txt"), "zulu\n");
        QDir().mkpath(server.localPath(work("tree/empty")));
        connectLive();
        ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
        openServerFolder(server.workDir());
    }

    QString work(const QString& relative) const
    {
        const QString base = server.workDir();
        return QDir::cleanPath(base + '/' + relative);
    }
    QString local(const QString& relative) const { return localRoot.path() + '/' + relative; }
    static QString hint(const QString& text) { return QStringLiteral("提示: ") + text; }

    // Opens every folder node from the log-in directory down to a server folder.
    void openServerFolder(const QString& serverPath)
    {
        const QString below = serverPath.mid(server.loginDir().size());
        QString path = server.loginDir();
        for (const QString& part : below.split('/', Qt::SkipEmptyParts)) {
            path = QDir::cleanPath(path + '/' + part);
            doubleClickNode(keyOf(path));
        }
    }

    // Lists a folder node's children afresh.
    void relist(const QString& serverPath)
    {
        ServerTree::Node* node = window->tvwServer->node(keyOf(serverPath));
        ASSERT_NE(node, nullptr) << serverPath.toStdString();
        window->RefreshServerNode(node);
    }

    // Runs at every yield of a walk (and other event processing) while the command runs.
    void atEveryYield(std::function<bool()> step)
    {
        auto* timer = new QTimer(window.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, step] {
            if (step())
                timer->deleteLater();
        });
        timer->start();
    }
};

TEST_F(TransferE2E, SingleFileDownAndUpInBinary)
{
    putOnServer(work("bin.dat"), allBytes());
    relist(server.workDir());
    selectNode(keyOf(work("bin.dat")));
    window->cmdGetFile->click();
    EXPECT_EQ(readFile(local("bin.dat")), allBytes());
    EXPECT_EQ(panel1(), hint(local("bin.dat") + "文件下载完成!"));
    EXPECT_EQ(window->filLocal->list(0), "bin.dat");

    QFile::rename(local("bin.dat"), local("back.dat"));
    selectLocalFile("back.dat");
    selectNode(keyOf(server.workDir()));
    window->cmdPutFile->click();
    EXPECT_EQ(readOnServer(work("back.dat")), allBytes());
    EXPECT_EQ(panel1(), hint("文件上传完成！"));
    EXPECT_TRUE(childKeys(keyOf(server.workDir())).contains(keyOf(work("back.dat"))));
}

TEST_F(TransferE2E, SingleFileDownAndUpInAscii)
{
    window->optAscii->click();
    writeFile(local("lines.txt"), "one\r\ntwo\r\n");
    selectLocalFile("lines.txt");
    selectNode(keyOf(server.workDir()));
    window->cmdPutFile->click();
    EXPECT_EQ(readOnServer(work("lines.txt")), "one\ntwo\n");  // the server keeps its own line ends

    QDir().mkdir(local("down"));
    window->dirLocal->refresh();
    highlightLocalDir(0);
    selectNode(keyOf(work("lines.txt")));
    window->cmdGetFile->click();
    const QByteArray got = readFile(local("down/lines.txt"));
    EXPECT_EQ(got, "one\ntwo\n");  // text arrives with this platform's line ends
    EXPECT_EQ(panel1(), hint(local("down/lines.txt") + "文件下载完成!"));
}

TEST_F(TransferE2E, FailedDownloadLeavesTheEarlierLocalFileIntact)
{
    putOnServer(work("keep.txt"), "server copy");
    relist(server.workDir());
    QFile::remove(server.localPath(work("keep.txt")));  // gone since the listing
    writeFile(local("keep.txt"), "precious");
    selectNode(keyOf(work("keep.txt")));
    window->cmdGetFile->click();
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("FtpGetFile Err: 12003"));
    EXPECT_EQ(readFile(local("keep.txt")), "precious");
    EXPECT_EQ(QDir(localRoot.path()).entryList(QDir::Files), QStringList({"keep.txt"}));  // no leftovers
}

TEST_F(TransferE2E, NestedTreeDownAndBackUp)
{
    selectNode(keyOf(work("tree")));
    window->cmdGetFolder->click();
    EXPECT_EQ(panel1(), hint("本级文件夹下载完成!"));
    EXPECT_EQ(treeOf(local("tree")), treeOf(server.localPath(work("tree"))));
    EXPECT_EQ(window->dirLocal->list(0), local("tree"));  // the directory pane was re-read
    EXPECT_TRUE(person.msgBoxes.isEmpty());

    QDir().mkpath(server.localPath(work("back")));
    relist(server.workDir());
    selectNode(keyOf(work("back")));
    highlightLocalDir(0);  // tree
    window->cmdPutFolder->click();
    EXPECT_EQ(panel1(), hint("文件夹上传完成!"));
    EXPECT_EQ(treeOf(server.localPath(work("back/tree"))), treeOf(local("tree")));
    EXPECT_TRUE(childKeys(keyOf(work("back"))).contains(keyOf(work("back/tree"))));
}

TEST_F(TransferE2E, ExistingLocalFolderIsReusedAndItsFilesOverwritten)
{
    writeFile(local("tree/a.txt"), "stale and longer than the new one");
    writeFile(local("tree/mine.txt"), "kept");
    selectNode(keyOf(work("tree")));
    window->cmdGetFolder->click();
    EXPECT_EQ(readFile(local("tree/a.txt")), "alpha\n");
    EXPECT_EQ(readFile(local("tree/mine.txt")), "kept");
    EXPECT_EQ(readFile(local("tree/sub/deep/d.txt")), "delta\n");
}

TEST_F(TransferE2E, CancelDuringFolderDownloadStopsEverywhereAndASecondRunCompletes)
{
    Tree atCancel;
    atEveryYield([&] {
        if (QDir(local("tree/sub/deep")).entryList(QDir::Files).isEmpty())
            return false;
        window->cmdCancel->click();
        atCancel = treeOf(local("tree"));
        return true;
    });
    selectNode(keyOf(work("tree")));
    window->cmdGetFolder->click();
    ASSERT_FALSE(atCancel.isEmpty());
    EXPECT_EQ(treeOf(local("tree")), atCancel);  // nothing touched after the cancel, at any level
    EXPECT_LT(atCancel.size(), treeOf(server.localPath(work("tree"))).size());
    EXPECT_EQ(panel1(), hint("本级文件夹下载已取消"));

    window->cmdGetFolder->click();
    EXPECT_EQ(treeOf(local("tree")), treeOf(server.localPath(work("tree"))));
    EXPECT_EQ(panel1(), hint("本级文件夹下载完成!"));
}

TEST_F(TransferE2E, CancelDuringFolderUploadStopsEverywhereAndASecondRunCompletes)
{
    writeFile(local("up/a.txt"), "a");
    writeFile(local("up/one/b.txt"), "b");
    writeFile(local("up/one/two/c.txt"), "c");
    writeFile(local("up/one/two/d.txt"), "d");
    writeFile(local("up/one/z.txt"), "z");
    writeFile(local("up/three/e.txt"), "e");
    window->dirLocal->refresh();
    highlightLocalDir(0);
    const QString target = server.localPath(work("up"));
    Tree atCancel;
    atEveryYield([&] {
        if (QDir(target + "/one/two").entryList(QDir::Files).isEmpty())
            return false;
        window->cmdCancel->click();
        atCancel = treeOf(target);
        return true;
    });
    selectNode(keyOf(server.workDir()));
    window->cmdPutFolder->click();
    ASSERT_FALSE(atCancel.isEmpty());
    EXPECT_EQ(treeOf(target), atCancel);
    EXPECT_FALSE(QFileInfo::exists(target + "/three"));
    EXPECT_TRUE(childKeys(keyOf(server.workDir())).contains(keyOf(work("up"))));
    EXPECT_EQ(panel1(), hint("文件夹上传已取消"));

    window->cmdPutFolder->click();
    EXPECT_EQ(treeOf(target), treeOf(local("up")));
    EXPECT_EQ(panel1(), hint("文件夹上传完成!"));
}

TEST_F(TransferE2E, FolderUploadKeepsItsTargetWhenAnotherFolderIsOpenedDuringIt)
{
    writeFile(local("up/a.txt"), "a");
    writeFile(local("up/one/b.txt"), "b");
    writeFile(local("up/z.txt"), "z");
    window->dirLocal->refresh();
    highlightLocalDir(0);
    const QString target = server.localPath(work("up"));
    atEveryYield([&] {
        if (!QFileInfo::exists(target + "/a.txt"))
            return false;
        doubleClickNode(keyOf(work("tree")));  // the server's directory becomes tree
        return true;
    });
    selectNode(keyOf(server.workDir()));
    window->cmdPutFolder->click();
    EXPECT_EQ(treeOf(target), treeOf(local("up")));
    EXPECT_FALSE(QFileInfo::exists(server.localPath(work("tree/up"))));
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(TransferE2E, OddServerNamesShowDistinctlyAndEachDownloadsItsOwnFile)
{
    const QByteArray folder = QFile::encodeName(server.localPath(server.workDir())) + '/';
    struct Row {
        QByteArray bytes;
        QString shown;
    };
    const Row rows[] = {{"abc\xFE", "abc\\xFE"}, {"abc", "abc"}, {"\xFE", "\\xFE"}, {"cr", "cr"},
                        {"cr\rinside.txt", "cr\\x0Dinside.txt"}, {"tab\tname.txt", "tab\tname.txt"}};
    for (const Row& row : rows)
        writeRaw(folder + row.bytes, row.bytes.toHex());
    relist(server.workDir());
    const QStringList children = childKeys(keyOf(server.workDir()));
    for (const Row& row : rows) {
        ASSERT_TRUE(children.contains(keyOf(work(row.shown)))) << row.shown.toStdString();
        if (row.bytes.contains('\r'))
            continue;  // CR cannot go into a command
        selectNode(keyOf(work(row.shown)));
        window->cmdGetFile->click();
        EXPECT_EQ(readRaw(QFile::encodeName(localRoot.path()) + '/' + row.bytes), row.bytes.toHex())
            << row.shown.toStdString();
        EXPECT_TRUE(window->filLocal->findItems(row.shown, Qt::MatchExactly).size() == 1) << row.shown.toStdString();
    }
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(TransferE2E, EveryLocalFileIsListedAndUploadedUnderItsOwnBytes)
{
    const QByteArray up = QFile::encodeName(local("up")) + '/';
    writeFile(local("up/.htaccess"), "deny");
    writeRaw(up + "l\xFEx.txt", "raw");
    QDir().mkpath(local("elsewhere"));
    QFile::link(local("elsewhere"), local("up/linked"));

    openLocalDir(local("up"));
    QStringList listed;
    for (int i = 0; i < window->filLocal->listCount(); ++i)
        listed << window->filLocal->list(i);
    EXPECT_EQ(listed, QStringList({".htaccess", "l\\xFEx.txt"}));
    selectLocalFile("l\\xFEx.txt");
    selectNode(keyOf(server.workDir()));
    window->cmdPutFile->click();
    const QByteArray onServer = QFile::encodeName(server.localPath(server.workDir())) + '/';
    EXPECT_EQ(readRaw(onServer + "l\xFEx.txt"), "raw");

    QStringList hints;
    atEveryYield([&] {
        hints.append(panel1());
        return false;
    });
    openLocalDir(localRoot.path());
    highlightLocalDir(QDir(localRoot.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).indexOf("up"));
    selectNode(keyOf(server.workDir()));
    window->cmdPutFolder->click();
    EXPECT_EQ(readRaw(onServer + "up/l\xFEx.txt"), "raw");
    EXPECT_EQ(readRaw(onServer + "up/.htaccess"), "deny");
    EXPECT_TRUE(hints.contains(hint("已跳过无法上传的条目：" + local("up/linked"))));
    EXPECT_FALSE(QFileInfo::exists(server.localPath(work("up/linked"))));
}

TEST_F(TransferE2E, RefusedFileInAWalkIsReportedTheWalkGoesOnAndTheLocalCopyStays)
{
    QFile::link(server.localPath(work("nowhere")), server.localPath(work("tree/sub/gone.txt")));
    writeFile(local("tree/sub/gone.txt"), "precious");
    selectNode(keyOf(work("tree")));
    window->cmdGetFolder->click();
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("下载失败：gone.txt Err: 12003"));
    EXPECT_EQ(readFile(local("tree/sub/gone.txt")), "precious");
    EXPECT_EQ(readFile(local("tree/sub/deep/c.txt")), "gamma\n");
    EXPECT_EQ(readFile(local("tree/z.txt")), "zulu\n");
}

TEST_F(TransferE2E, EntryNamesThatAreNotOneLocalComponentAreSkippedAndNamed)
{
    putOnServer(work("tree/..\\evil.txt"), "x");
    QStringList hints;
    atEveryYield([&] {
        hints.append(panel1());
        return false;
    });
    selectNode(keyOf(work("tree")));
    window->cmdGetFolder->click();
    EXPECT_TRUE(hints.contains(hint("已跳过名称不安全的条目：..\\evil.txt")));
    EXPECT_FALSE(QFileInfo::exists(local("tree/..\\evil.txt")));
    EXPECT_EQ(readFile(local("tree/z.txt")), "zulu\n");
}

TEST_F(TransferE2E, ClosingTheConnectionDuringAWalkStopsItWithoutReports)
{
    atEveryYield([&] {
        if (!QFileInfo::exists(local("tree/a.txt")) && !QFileInfo::exists(local("tree/sub")))
            return false;
        window->cmdDisConnect->click();
        return true;
    });
    selectNode(keyOf(work("tree")));
    window->cmdGetFolder->click();
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_LT(treeOf(local("tree")).size(), treeOf(server.localPath(work("tree"))).size());
}

// A server whose listings hold "." and "..", as some do.
class DottedListingE2E : public TransferE2E {
protected:
    DottedListingE2E() : TransferE2E(options()) {}
    static testsupport::FtpServer::Options options()
    {
        testsupport::FtpServer::Options options;
        options.listDots = true;
        return options;
    }
    void SetUp() override
    {
        if (!testsupport::FtpServer::supports(options()))
            GTEST_SKIP() << "the external server cannot list dot entries";
        TransferE2E::SetUp();
    }
};

TEST_F(DottedListingE2E, DotNodesAreRefusedAndNothingLandsOutsideTheHighlightedFolder)
{
    QDir().mkpath(local("inner"));
    openLocalDir(local("inner"));
    for (const QString& dots : {QStringLiteral("."), QStringLiteral("..")}) {
        selectNode(keyOf(server.workDir()) + '/' + dots);
        window->cmdGetFolder->click();
        EXPECT_EQ(panel1(), hint(QStringLiteral("文件夹名称不安全，未下载：") + dots));
    }
    EXPECT_EQ(treeOf(localRoot.path()), (Tree{{QStringLiteral("inner/"), QByteArray()}}));

    selectNode(keyOf(work("tree")));
    window->cmdGetFolder->click();
    EXPECT_EQ(readFile(local("inner/tree/sub/deep/c.txt")), "gamma\n");
    EXPECT_EQ(treeOf(local("inner/tree")), treeOf(server.localPath(work("tree"))));
}
