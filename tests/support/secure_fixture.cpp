#include "support/secure_fixture.h"

#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "local/DirListBox.h"
#include "session/inet/internet_api.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace testsupport {

namespace {

// Every file (with its bytes) and folder (with a trailing "/") below root.
QMap<QString, QByteArray> treeOf(const QString& root)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        tree.insert(it.fileInfo().isDir() ? relative + QLatin1Char('/') : relative,
                    it.fileInfo().isDir() ? QByteArray() : readFile(path));
    }
    return tree;
}

QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 256 * 300; ++i)
        bytes.append(char(i % 251));
    return bytes + "\r\n\n\r";
}

constexpr qint64 kStallBytes = 128LL << 20;  // far more than the sockets and the SSH window hold
constexpr int kStallEntries = 20000;          // a listing long enough to be caught in its middle

// Lets the server answer again after a while should the window hang on it,
// so that a hang fails the test instead of stopping the suite.
class Watchdog {
public:
    Watchdog(std::function<void()> rescue, std::chrono::seconds after)
        : m_thread([this, rescue = std::move(rescue), after] {
              std::unique_lock lock(m_mutex);
              if (!m_stopped.wait_for(lock, after, [this] { return m_done; }))
                  rescue();
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_stopped.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_done = false;
    std::thread m_thread;
};

void writeBigFile(const QString& path)
{
    QFile big(path);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    const QByteArray block = binaryBytes().left(65536);
    for (qint64 done = 0; done < kStallBytes; done += block.size())
        ASSERT_EQ(big.write(block), block.size());
}

void writeManyEntries(const QString& folder)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    for (int i = 0; i < kStallEntries; ++i) {
        QFile entry(folder + QStringLiteral("/entry-%1").arg(i, 5, 10, QLatin1Char('0')));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    }
}

// Every file and folder of copy is in original, files with the same bytes.
void expectWholeCopies(const QString& copy, const QString& original)
{
    const QMap<QString, QByteArray> made = treeOf(copy);
    const QMap<QString, QByteArray> source = treeOf(original);
    for (auto it = made.begin(); it != made.end(); ++it)
        EXPECT_TRUE(source.contains(it.key()) && source.value(it.key()) == it.value()) << it.key().toStdString();
}

// True once a download's hidden part file beside its target holds bytes.
bool partFileHasBytes(const QString& folder)
{
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
    return std::any_of(files.begin(), files.end(), [](const QFileInfo& f) { return f.size() > 0; });
}

const QLabel* lockOf(const frmMain& window)
{
    return window.staStatus->panel(2)->findChild<QLabel*>(QStringLiteral("lblSecure"));
}

}  // namespace

void SecureWindowTest::prepareServerDisk(const QString& disk)
{
    writeFile(disk + "/file.bin", binaryBytes());
    writeFile(disk + "/tree/a.txt", "alpha\n");
    writeFile(disk + "/tree/sub/b.bin", binaryBytes());
    QDir().mkpath(disk + "/tree/empty");
    QDir().mkpath(disk + "/back");
}

void SecureWindowTest::stallAndRecover(Stalled what, const QString& root, const QString& disk,
                                       const std::function<void(bool)>& setFrozen)
{
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    const bool download = what == Stalled::Download;
    const auto run = [&] {
        if (download) {
            selectNode(root + "/big.bin");
            window->cmdGetFile->click();
        } else {
            doubleClickNode(root + "/many");
        }
    };
    if (download)
        writeBigFile(disk + "/big.bin");
    else
        writeManyEntries(disk + "/many");
    relist(root);
    if (download)
        writeFile(local("big.bin"), "earlier");
    inet::SetTimeouts({5, 2});
    bool frozen = false;
    // Timers run while a request waits: the server is stopped from one.
    QTimer freezer;
    freezer.setInterval(0);
    QObject::connect(&freezer, &QTimer::timeout, [&] {
        if (!frozen && (download ? partFileHasBytes(localRoot.path()) : inet::RequestInProgress())) {
            setFrozen(true);
            frozen = true;
        }
    });
    freezer.start();
    QElapsedTimer clock;
    {
        Watchdog watchdog([&] { setFrozen(false); }, std::chrono::seconds(20));
        clock.start();
        run();
    }
    const qint64 ms = clock.elapsed();
    freezer.stop();
    setFrozen(false);
    inet::SetTimeouts(inet::Timeouts());
    ASSERT_TRUE(frozen) << "the request ended before the server could be stopped";
    EXPECT_LT(ms, 10000) << "the 2 s stall and a wide margin; a hang lasts the watchdog's 20 s";
    ASSERT_EQ(person.msgBoxes.size(), 1);
    // A listing may stall in the folder change, which over SFTP lists the folder too.
    const QString report = person.msgBoxes[0].prompt;
    EXPECT_TRUE(download ? report.startsWith("FtpGetFile Err: 12002")
                         : report.contains(QRegularExpression("^(TavFTP|FtpFindFirstFile) Err: 12002")))
        << report.toStdString();
    EXPECT_TRUE(modWinInet::IsConnected);
    if (download) {
        EXPECT_EQ(readFile(local("big.bin")), "earlier");
        EXPECT_EQ(treeOf(localRoot.path()).keys(), QStringList{"big.bin"}) << "no partial file";
    }

    person.msgBoxes.clear();
    if (!download)
        doubleClickNode(root + "/many");  // the failed folder stays open: closed first
    run();
    if (download)
        EXPECT_TRUE(readFile(local("big.bin")) == readFile(disk + "/big.bin"));
    else
        EXPECT_EQ(childKeys(root + "/many").size(), kStallEntries);
    EXPECT_TRUE(person.msgBoxes.isEmpty()) << person.msgBoxes.first().prompt.toStdString();
}

void SecureWindowTest::cancelFolderWalks(const QString& root, const QString& disk)
{
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    for (const char* path : {"a.txt", "one/b.txt", "one/two/c.txt", "one/two/d.txt", "one/z.txt", "three/e.txt"}) {
        writeFile(disk + "/walk/" + path, path);
        writeFile(local("mine/") + path, path);
    }
    QDir().mkpath(disk + "/up");
    relist(root);
    QMap<QString, QByteArray> atCancel;
    const auto cancelOnce = [&](const QString& deepest, const QString& copy) {
        auto* timer = new QTimer(window.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [=, this, &atCancel] {
            if (QDir(deepest).entryList(QDir::Files).isEmpty())
                return;
            window->cmdCancel->click();
            atCancel = treeOf(copy);
            timer->deleteLater();
        });
        timer->start();
    };

    window->dirLocal->refresh();
    highlightLocalDir(0);  // mine
    cancelOnce(disk + "/up/mine/one/two", disk + "/up/mine");
    selectNode(root + "/up");
    window->cmdPutFolder->click();
    ASSERT_FALSE(atCancel.isEmpty());
    EXPECT_EQ(treeOf(disk + "/up/mine"), atCancel) << "nothing sent after the cancel";
    EXPECT_FALSE(QFileInfo::exists(disk + "/up/mine/three"));
    expectWholeCopies(disk + "/up/mine", local("mine"));
    EXPECT_EQ(panel1(), "提示: 文件夹上传已取消");

    atCancel.clear();
    const QString copy = local("mine/walk");  // into the highlighted local folder
    cancelOnce(copy + "/one/two", copy);
    selectNode(root + "/walk");
    window->cmdGetFolder->click();
    ASSERT_FALSE(atCancel.isEmpty());
    EXPECT_EQ(treeOf(copy), atCancel) << "nothing written after the cancel";
    EXPECT_FALSE(QFileInfo::exists(copy + "/three"));
    expectWholeCopies(copy, disk + "/walk");
    EXPECT_EQ(panel1(), "提示: 本级文件夹下载已取消");
    EXPECT_TRUE(person.msgBoxes.isEmpty()) << person.msgBoxes.first().prompt.toStdString();
}

void SecureWindowTest::relist(const QString& key)
{
    ServerTree::Node* node = window->tvwServer->node(key);
    ASSERT_NE(node, nullptr) << key.toStdString();
    window->RefreshServerNode(node);
}

void SecureWindowTest::runOnServer(void (frmMain::*handler)(), const QString& answer)
{
    person.modalScripts = {[](QDialog* dialog) { ScriptedToolkit::click(dialog, "cmdOption"); }};
    person.inputAnswers = {answer};
    (window.get()->*handler)();
}

void SecureWindowTest::everyOperation(const QString& root, const QString& disk)
{
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_EQ(panel2(), "连接中");
    EXPECT_TRUE(childKeys(root).contains(root + "/tree"));
    doubleClickNode(root + "/tree");
    EXPECT_EQ(childKeys(root + "/tree").size(), 3);

    selectNode(root + "/file.bin");
    window->cmdGetFile->click();
    EXPECT_EQ(readFile(local("file.bin")), readFile(disk + "/file.bin"));

    writeFile(local("up.bin"), readFile(disk + "/file.bin") + "more");
    selectLocalFile("up.bin");
    selectNode(root);
    window->cmdPutFile->click();
    EXPECT_EQ(readFile(disk + "/up.bin"), readFile(local("up.bin")));

    selectNode(root + "/tree");
    window->cmdGetFolder->click();
    EXPECT_EQ(treeOf(local("tree")), treeOf(disk + "/tree"));

    selectNode(root + "/back");
    highlightLocalDir(0);  // tree
    window->cmdPutFolder->click();
    EXPECT_EQ(treeOf(disk + "/back/tree"), treeOf(local("tree")));

    selectNode(root);
    runOnServer(&frmMain::cmdMdDir_Click, "made");
    EXPECT_TRUE(QFileInfo(disk + "/made").isDir());
    selectNode(root + "/up.bin");
    runOnServer(&frmMain::cmdNameFile_Click, "renamed.bin");
    EXPECT_TRUE(QFileInfo::exists(disk + "/renamed.bin"));
    EXPECT_FALSE(QFileInfo::exists(disk + "/up.bin"));
    selectNode(root + "/renamed.bin");
    runOnServer(&frmMain::cmdDelFile_Click);
    EXPECT_FALSE(QFileInfo::exists(disk + "/renamed.bin"));
    selectNode(root + "/made");
    runOnServer(&frmMain::cmdDelDir_Click);
    EXPECT_FALSE(QFileInfo::exists(disk + "/made"));
    EXPECT_TRUE(person.msgBoxes.isEmpty()) << person.msgBoxes.first().prompt.toStdString();
}

bool SecureWindowTest::lockShown() const
{
    const QLabel* lock = lockOf(*window);
    return lock && lock->isVisibleTo(window.get());
}

QString SecureWindowTest::lockToolTip() const
{
    const QLabel* lock = lockOf(*window);
    return lock ? lock->toolTip() : QString();
}

}  // namespace testsupport
