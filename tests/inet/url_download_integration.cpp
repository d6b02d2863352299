// The URL download service against a loopback HTTP server and the FTP server.
#include "inet_fixture.h"

#include <QRegularExpression>
#include <QTemporaryDir>

using namespace inet;

TEST(UrlDownload, FetchesFilesAndRefusesErrorsWithoutWriting)
{
    testsupport::HttpServer http;
    ASSERT_TRUE(http.ok());
    auto api = CreateCurlInternet();
    inettest::writeFile(http.root() + QStringLiteral("/pack.zip"), QByteArray(100000, 'z'));
    QTemporaryDir temp;
    const QString target = temp.filePath(QStringLiteral("pack.zip"));
    EXPECT_EQ(api->URLDownloadToFileA(nullptr, http.url(QStringLiteral("/pack.zip")), target, 0, nullptr), 0);
    EXPECT_EQ(inettest::readFile(target), QByteArray(100000, 'z'));

    // 404 and 500: non-zero, and an earlier file of that name stays as it was.
    inettest::writeFile(target, "earlier");
    EXPECT_NE(api->URLDownloadToFileA(nullptr, http.url(QStringLiteral("/status/404")), target, 0, nullptr), 0);
    EXPECT_NE(api->URLDownloadToFileA(nullptr, http.url(QStringLiteral("/status/500")), target, 0, nullptr), 0);
    const QString fresh = temp.filePath(QStringLiteral("missing"));
    EXPECT_NE(api->URLDownloadToFileA(nullptr, http.url(QStringLiteral("/nothing.zip")), fresh, 0, nullptr), 0);
    EXPECT_EQ(inettest::readFile(target), QByteArray("earlier"));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"pack.zip"});

    // A port nobody listens on, an unwritable target, a scheme not served.
    quint16 closedPort = 0;
    {
        testsupport::HttpServer gone;  // its port is free again once it stops
        closedPort = gone.port();
    }
    EXPECT_NE(api->URLDownloadToFileA(nullptr, QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort), fresh, 0,
                                      nullptr),
              0);
    EXPECT_NE(api->URLDownloadToFileA(nullptr, http.url(QStringLiteral("/pack.zip")),
                                      temp.filePath(QStringLiteral("no/dir/pack.zip")), 0, nullptr),
              0);
    EXPECT_NE(api->URLDownloadToFileA(nullptr, QStringLiteral("file:///etc/passwd"), fresh, 0, nullptr), 0);
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

TEST(UrlDownload, FetchesFtpAddresses)
{
    testsupport::FtpServer ftp;
    ASSERT_TRUE(ftp.ok());
    inettest::writeFile(ftp.localPath(ftp.workDir() + QStringLiteral("/web.txt")), "over ftp");
    auto api = CreateCurlInternet();
    QTemporaryDir temp;
    // The path of an ftp address is relative to the log-in directory.
    const QString login = ftp.loginDir() == "/" ? QString() : ftp.loginDir();
    const QString url = QStringLiteral("ftp://%1:%2@%3:%4%5/web.txt")
                            .arg(ftp.user(), ftp.password(), ftp.host())
                            .arg(ftp.port())
                            .arg(ftp.workDir().mid(login.size()).replace(QRegularExpression("^/$"), QString()));
    const QString target = temp.filePath(QStringLiteral("web.txt"));
    EXPECT_EQ(api->URLDownloadToFileA(nullptr, url, target, 0, nullptr), 0);
    EXPECT_EQ(inettest::readFile(target), QByteArray("over ftp"));
}
