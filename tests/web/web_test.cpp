// Web download through the window on the in-memory library: the exact
// service call, the local name, the hints and the file pane.
#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"
#include "support/window_fixture.h"
#include "web/modWeb.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

using namespace testsupport;

namespace {

class WebDownload : public FakeWindowTest {
protected:
    void SetUp() override { openLocalDir(root()); }
    void download(const QString& address)
    {
        window->txtWeb->setText(address);
        window->cmdWeb->click();
    }
    QString root() const { return localRoot.path(); }
};

TEST_F(WebDownload, FileLandsInOpenDirectoryUnderLastComponent)
{
    net.webFiles.insert(QStringLiteral("http://h/files/pack.zip"), "zip bytes");
    download(QStringLiteral("http://h/files/pack.zip"));

    const QString local = root() + QStringLiteral("/pack.zip");
    EXPECT_EQ(net.calls, QStringList{QStringLiteral("URLDownloadToFileA(http://h/files/pack.zip,%1)").arg(local)});
    EXPECT_EQ(readFile(local), "zip bytes");
    EXPECT_EQ(panel1(), QStringLiteral("提示: 下载完成!") + local);
    EXPECT_FALSE(window->filLocal->findItems(QStringLiteral("pack.zip"), Qt::MatchExactly).isEmpty());
    EXPECT_EQ(window->txtWeb->text(), QStringLiteral("http://h/files/pack.zip"));  // the box keeps its text
    EXPECT_EQ(modWinInet::SessionHandle, 0u);  // no session was needed
}

TEST_F(WebDownload, HighlightedSubdirectoryReceivesFileWhilePaneShowsOpenOne)
{
    QDir(root()).mkdir(QStringLiteral("sub"));
    openLocalDir(root());
    highlightLocalDir(0);
    net.webFiles.insert(QStringLiteral("http://h/a.txt"), "a");
    download(QStringLiteral("http://h/a.txt"));

    EXPECT_EQ(readFile(root() + QStringLiteral("/sub/a.txt")), "a");
    EXPECT_EQ(panel1(), QStringLiteral("提示: 下载完成!%1/sub/a.txt").arg(root()));
    EXPECT_EQ(window->filLocal->path(), window->dirLocal->path());
    EXPECT_TRUE(window->filLocal->findItems(QStringLiteral("a.txt"), Qt::MatchExactly).isEmpty());
}

TEST_F(WebDownload, FailuresShowTheFailureHintAndWriteNothing)
{
    // An address ending in "/" asks for the directory itself as the file.
    net.webFiles.insert(QStringLiteral("http://h/dir/"), "x");
    for (const QString& address : {QStringLiteral("http://h/missing.bin"), QStringLiteral("http://h/dir/"),
                                  QString()}) {
        SCOPED_TRACE(address.toStdString());
        window->staStatus->setText(1, QString());
        download(address);
        EXPECT_EQ(panel1(), QStringLiteral("提示: 下载失败!"));
        EXPECT_EQ(QDir(root()).entryList(QDir::Files), QStringList());
    }
}

TEST(WebLocalName, AddressAndDirectoryGiveTheLocalPath)
{
    struct Row {
        const char* address;
        const char* directory;
        const char* localPath;
    };
    const Row rows[] = {
        {"http://h/files/pack.zip", "/tmp/Downloads", "/tmp/Downloads/pack.zip"},
        {"http://h/files/pack.zip", "/tmp/Downloads/", "/tmp/Downloads/pack.zip"},
        {"http://h/get?id=5", "/tmp", "/tmp/get?id=5"},
        {"https://h:8443/a/b/c.tar.gz", "/", "/c.tar.gz"},
    };
    for (const Row& row : rows) {
        FakeInternet net;
        modWeb::DownloadWebFile(QString::fromUtf8(row.address), QString::fromUtf8(row.directory));
        EXPECT_EQ(net.calls, QStringList{QStringLiteral("URLDownloadToFileA(%1,%2)")
                                             .arg(QString::fromUtf8(row.address), QString::fromUtf8(row.localPath))});
    }
}

TEST(WebSampleAddress, NamesADownloadableFile)
{
    frmMain window;
    const QUrl url(window.txtWeb->text());
    EXPECT_TRUE(url.isValid());
    EXPECT_TRUE(url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"));
    EXPECT_FALSE(url.fileName().isEmpty());
}

}  // namespace
