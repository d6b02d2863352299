// Whole FTP sessions through an HTTP CONNECT proxy and a SOCKS5 proxy,
// checked on the server's disk and by the tunnels the proxy opened.
#include "inet_fixture.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

using namespace inet;
using inettest::FtpTest;
using testsupport::ProxyServer;

namespace {

struct ProxyCase {
    const char* name;
    ProxyServer::Kind kind;
    const char* scheme;  // put before "127.0.0.1:<port>" in the proxy text
};

void PrintTo(const ProxyCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProxyTest : public FtpTest, public ::testing::WithParamInterface<ProxyCase> {
protected:
    // Starts the server and the proxy, and opens a session through the proxy.
    void startProxied()
    {
        start({}, false);
        if (HasFatalFailure() || IsSkipped())
            return;
        proxy = std::make_unique<ProxyServer>(GetParam().kind);
        ASSERT_TRUE(proxy->ok()) << proxy->error().toStdString();
        api->InternetCloseHandle(session);
        const QString text = QLatin1String(GetParam().scheme) + QStringLiteral("127.0.0.1:") +
                             QString::number(proxy->port());
        session = api->InternetOpenA(QStringLiteral("FTP CLIENT"), INTERNET_OPEN_TYPE_PROXY, text, {}, 0);
        ASSERT_NE(session, 0u) << api->GetLastError();
    }

    std::unique_ptr<ProxyServer> proxy;
};

QStringList listNames(InternetApi& api, HINTERNET connection, const QString& pattern)
{
    QStringList names;
    FindData data;
    const HINTERNET find = api.FtpFindFirstFileA(connection, pattern, data, 0, 0);
    if (!find)
        return names;
    do
        names << data.cFileName;
    while (api.InternetFindNextFileA(find, data));
    api.InternetCloseHandle(find);
    names.sort();
    return names;
}

}  // namespace

TEST_P(ProxyTest, WholeSessionGoesThroughTheProxy)
{
    startProxied();
    if (HasFatalFailure() || IsSkipped())
        return;
    connection = connect(server->user(), server->password());
    ASSERT_NE(connection, 0u) << api->GetLastError();
    ASSERT_TRUE(api->FtpSetCurrentDirectoryA(connection, server->workDir())) << inettest::lastResponse(*api).toStdString();
    inettest::writeFile(local("remote.txt"), "from the server");
    EXPECT_EQ(listNames(*api, connection, QStringLiteral("*.*")), QStringList{"remote.txt"});

    QTemporaryDir temp;
    const QString copy = temp.filePath(QStringLiteral("copy.txt"));
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("remote.txt"), copy, false, 0, 2, 0)) << api->GetLastError();
    EXPECT_EQ(inettest::readFile(copy), QByteArray("from the server"));
    inettest::writeFile(copy, "from the client");
    ASSERT_TRUE(api->FtpPutFileA(connection, copy, QStringLiteral("up.txt"), 2, 0)) << api->GetLastError();
    EXPECT_EQ(inettest::readFile(local("up.txt")), QByteArray("from the client"));
    // One tunnel for the control connection, one for each data connection.
    EXPECT_EQ(proxy->tunnelCount(), 4);

    ASSERT_TRUE(api->FtpCreateDirectoryA(connection, QStringLiteral("made")));
    EXPECT_TRUE(QFileInfo(local("made")).isDir());
    ASSERT_TRUE(api->FtpRenameFileA(connection, QStringLiteral("up.txt"), QStringLiteral("made/moved.txt")));
    EXPECT_EQ(inettest::readFile(local("made/moved.txt")), QByteArray("from the client"));
    ASSERT_TRUE(api->FtpDeleteFileA(connection, QStringLiteral("made/moved.txt")));
    ASSERT_TRUE(api->FtpRemoveDirectoryA(connection, QStringLiteral("made")));
    EXPECT_FALSE(QFileInfo::exists(local("made")));
    // A refusal through the proxy still carries the server's reply.
    EXPECT_FALSE(api->FtpDeleteFileA(connection, QStringLiteral("gone.txt")));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_TRUE(inettest::lastResponse(*api).startsWith(QStringLiteral("550")));
    EXPECT_EQ(listNames(*api, connection, QStringLiteral("*")), QStringList{"remote.txt"});
    // Commands reused the control tunnel; the listing opened one more.
    EXPECT_EQ(proxy->tunnelCount(), 5);
    EXPECT_EQ(proxy->refusedCount(), 0);
}

TEST_P(ProxyTest, WrongPasswordThroughTheProxyIsRefusedLogIn)
{
    startProxied();
    if (HasFatalFailure() || IsSkipped())
        return;
    EXPECT_EQ(connect(server->user(), QStringLiteral("wrong")), 0u);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_INCORRECT_PASSWORD);
}

// Active mode would have the server connect back to this machine past the
// proxy, which a proxy exists to prevent: the connect is refused unsent.
TEST_P(ProxyTest, ActiveModeThroughAProxyIsRefusedAtOnce)
{
    startProxied();
    if (HasFatalFailure() || IsSkipped())
        return;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(connect(server->user(), server->password(), false), 0u);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_INVALID_OPERATION);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(proxy->tunnelCount(), 0);
}

TEST_P(ProxyTest, ProxyGoneFailsWithinTheTimeouts)
{
    startProxied();
    if (HasFatalFailure() || IsSkipped())
        return;
    SetTimeouts({3, 3});
    connection = connect(server->user(), server->password());
    ASSERT_NE(connection, 0u) << api->GetLastError();
    proxy->stop();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(api->FtpSetCurrentDirectoryA(connection, server->workDir()));
    const quint32 error = api->GetLastError();
    EXPECT_TRUE(error == ERROR_INTERNET_CANNOT_CONNECT || error == ERROR_INTERNET_CONNECTION_ABORTED ||
                error == ERROR_INTERNET_CONNECTION_RESET)
        << error;
    EXPECT_LT(timer.elapsed(), 8000);
}

INSTANTIATE_TEST_SUITE_P(Proxies, ProxyTest,
                         ::testing::Values(ProxyCase{"HttpHostPort", ProxyServer::Kind::HttpConnect, ""},
                                           ProxyCase{"HttpScheme", ProxyServer::Kind::HttpConnect, "http://"},
                                           ProxyCase{"Socks5", ProxyServer::Kind::Socks5, "socks5://"},
                                           ProxyCase{"Socks5Hostname", ProxyServer::Kind::Socks5, "socks5h://"}),
                         [](const ::testing::TestParamInfo<ProxyCase>& info) { return std::string(info.param.name); });
