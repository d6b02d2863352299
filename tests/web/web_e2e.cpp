// Web download through the real window, the real Internet library and a
// loopback HTTP server, checked on the local disk. No session is opened.
#include "app/StatusPanels.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

using namespace testsupport;

namespace {

class WebDownloadLive : public WindowTest {
protected:
    void SetUp() override
    {
        if (!http.ok())
            GTEST_SKIP() << "HTTP server not available";
        openLocalDir(root());
    }
    void download(const QString& address)
    {
        window->txtWeb->setText(address);
        window->cmdWeb->click();
    }
    QString root() const { return localRoot.path(); }

    HttpServer http;
};

TEST_F(WebDownloadLive, FileLandsInOpenDirectory)
{
    QByteArray content;
    for (int i = 0; i < 200000; ++i)
        content.append(char(i * 7));
    writeFile(http.root() + QStringLiteral("/files/pack.zip"), content);
    download(http.url(QStringLiteral("/files/pack.zip")));

    const QString local = root() + QStringLiteral("/pack.zip");
    EXPECT_EQ(panel1(), QStringLiteral("提示: 下载完成!") + local);
    EXPECT_EQ(readFile(local), content);
    EXPECT_FALSE(window->filLocal->findItems(QStringLiteral("pack.zip"), Qt::MatchExactly).isEmpty());
}

TEST_F(WebDownloadLive, FileLandsInSingleClickedSubdirectory)
{
    QDir(root()).mkdir(QStringLiteral("inbox"));
    openLocalDir(root());
    highlightLocalDir(0);
    writeFile(http.root() + QStringLiteral("/notes.txt"), "line\r\n");
    download(http.url(QStringLiteral("/notes.txt")));

    EXPECT_EQ(panel1(), QStringLiteral("提示: 下载完成!%1/inbox/notes.txt").arg(root()));
    EXPECT_EQ(readFile(root() + QStringLiteral("/inbox/notes.txt")), "line\r\n");
    EXPECT_EQ(window->filLocal->path(), root());
}

TEST_F(WebDownloadLive, QueryStaysInLocalName)
{
    writeFile(http.root() + QStringLiteral("/get"), "five");
    download(http.url(QStringLiteral("/get?id=5")));

    EXPECT_EQ(panel1(), QStringLiteral("提示: 下载完成!%1/get?id=5").arg(root()));
    EXPECT_EQ(readFile(root() + QStringLiteral("/get?id=5")), "five");
}

TEST_F(WebDownloadLive, NotFoundAndUnreachableFailWithoutFile)
{
    quint16 closedPort = 0;
    {
        HttpServer gone;  // stopped at the end of this block: nothing listens there any more
        closedPort = gone.port();
    }
    ASSERT_NE(closedPort, 0);

    const QString addresses[] = {http.url(QStringLiteral("/status/404")),
                                 QStringLiteral("http://127.0.0.1:%1/pack.zip").arg(closedPort)};
    for (const QString& address : addresses) {
        SCOPED_TRACE(address.toStdString());
        window->staStatus->setText(1, QString());
        download(address);
        EXPECT_EQ(panel1(), QStringLiteral("提示: 下载失败!"));
        EXPECT_EQ(QDir(root()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

}  // namespace
