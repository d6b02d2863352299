// Encrypted sessions through the session's proxy: FTP over TLS and SFTP
// through an HTTP CONNECT and a SOCKS5 proxy, checked on the disk and by the
// tunnels the proxy opened.
#include "inet_fixture.h"

#include <QFile>

using namespace inet;
using testsupport::ProxyServer;

namespace {

class SecureProxyTest : public ::testing::TestWithParam<ProxyServer::Kind> {
protected:
    void SetUp() override
    {
        proxy = std::make_unique<ProxyServer>(GetParam());
        ASSERT_TRUE(proxy->ok()) << proxy->error().toStdString();
        session = api->InternetOpenA("FTP CLIENT", INTERNET_OPEN_TYPE_PROXY, proxy->address(), {}, 0);
        ASSERT_NE(session, 0u);
    }

    // Downloads /a.txt over connection and checks its bytes.
    void downloadThrough(HINTERNET connection, const QString& remoteDir)
    {
        ASSERT_NE(connection, 0u) << api->GetLastError();
        FindData data;
        const HINTERNET find = api->FtpFindFirstFileA(connection, remoteDir + "/*", data, 0, 0);
        ASSERT_NE(find, 0u) << api->GetLastError();
        EXPECT_EQ(data.cFileName, "a.txt");
        api->InternetCloseHandle(find);
        ASSERT_TRUE(api->FtpGetFileA(connection, remoteDir + "/a.txt", local.path() + "/a.txt", false, 0, 2, 0))
            << api->GetLastError();
        EXPECT_EQ(inettest::readFile(local.path() + "/a.txt"), "through the tunnel");
        EXPECT_GE(proxy->tunnelCount(), 1);
    }

    std::unique_ptr<InternetApi> api = CreateCurlInternet();
    std::unique_ptr<ProxyServer> proxy;
    HINTERNET session = 0;
    QTemporaryDir local;
};

TEST_P(SecureProxyTest, FtpOverTls)
{
    testsupport::TlsCertificates certificates;
    ASSERT_TRUE(certificates.ok());
    testsupport::FtpServer::Options options;
    options.tlsCertificate = certificates.caSigned();
    options.tlsRequired = true;
    testsupport::FtpServer server(options);
    ASSERT_TRUE(server.ok()) << server.error().toStdString();
    inettest::writeFile(server.root() + "/a.txt", "through the tunnel");
    SetCertificateAuthorities(certificates.caFile());
    const HINTERNET connection = api->InternetConnectA(session, server.address(), 21, server.user(),
                                                       server.password(), 1, INTERNET_FLAG_PASSIVE, 0);
    downloadThrough(connection, "/");
    EXPECT_GE(proxy->tunnelCount(), 2) << "control and data connections";
    SetCertificateAuthorities({});
}

TEST_P(SecureProxyTest, Sftp)
{
    testsupport::SshServer server;
    if (!server.ok())
        GTEST_SKIP() << "no sshd: " << server.error().toStdString();
    inettest::writeFile(server.root() + "/a.txt", "through the tunnel");
    inettest::writeFile(server.home() + "/.ssh/known_hosts",
                        "[127.0.0.1]:" + QByteArray::number(server.port()) + ' ' + server.hostKey() + '\n');
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(server.home()));
    const HINTERNET connection =
        api->InternetConnectA(session, server.address(), 21, server.user(), {}, 1, INTERNET_FLAG_PASSIVE, 0);
    qputenv("HOME", home);
    downloadThrough(connection, server.root());
}

INSTANTIATE_TEST_SUITE_P(Proxies, SecureProxyTest,
                         ::testing::Values(ProxyServer::Kind::HttpConnect, ProxyServer::Kind::Socks5),
                         [](const auto& info) {
                             return info.param == ProxyServer::Kind::Socks5 ? "Socks5" : "HttpConnect";
                         });

}  // namespace
