// FTP over TLS through the real window, the real library and a pyftpdlib
// TLS server: verified certificates, the trust question, pinning, and every
// operation of the window on an encrypted connection.
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "support/secure_fixture.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;

namespace {

TlsCertificates& certificates()
{
    static TlsCertificates made;
    return made;
}

FtpServer::Options tlsServer(const QString& certificate, bool implicitTls = false)
{
    FtpServer::Options options;
    options.tlsCertificate = certificate;
    options.tlsImplicit = implicitTls;
    options.tlsRequired = true;
    options.countConnections = true;
    return options;
}

class FtpsE2E : public SecureWindowTest {
protected:
    void SetUp() override
    {
        if (!certificates().ok())
            GTEST_SKIP() << "cannot make test certificates (python3-cryptography)";
        inet::SetCertificateAuthorities(certificates().caFile());
    }
    void TearDown() override { inet::SetCertificateAuthorities({}); }

    // Starts a TLS server and connects to it through the window.
    void connectTo(FtpServer& server)
    {
        ASSERT_TRUE(server.ok()) << server.error().toStdString();
        openSession();
        WindowTest::connectTo(server.address(), 21, server.user(), server.password());
    }
    static QString hint(const QString& text) { return QStringLiteral("提示: ") + text; }
};

TEST_F(FtpsE2E, AVerifiedCertificateConnectsSilentlyAndEveryOperationWorks)
{
    FtpServer server(tlsServer(certificates().caSigned()));
    prepareServerDisk(server.root());
    connectTo(server);
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_TRUE(lockShown());
    EXPECT_TRUE(lockToolTip().contains("TLSv1.")) << lockToolTip().toStdString();
    EXPECT_TRUE(lockToolTip().contains("CN=127.0.0.1"));
    everyOperation(server.address(), server.root());

    // ASCII mode works as on plain FTP.
    writeFile(local("lines.txt"), "one\r\ntwo\r\n");
    window->optAscii->click();
    selectLocalFile("lines.txt");
    selectNode(server.address());
    window->cmdPutFile->click();
    EXPECT_EQ(readFile(server.root() + "/lines.txt"), "one\ntwo\n");

    window->cmdDisConnect->click();
    EXPECT_FALSE(lockShown());
}

TEST_F(FtpsE2E, AStalledDownloadKeepsTheEarlierFileAndLeavesNoPartialOne)
{
    FtpServer server(tlsServer(certificates().caSigned()));
    connectTo(server);
    stallAndRecover(Stalled::Download, server.address(), server.root(),
                    [&server](bool frozen) { frozen ? server.freeze() : server.thaw(); });
}

TEST_F(FtpsE2E, ImplicitTlsOnItsOwnPort)
{
    FtpServer server(tlsServer(certificates().caSigned(), true));
    prepareServerDisk(server.root());
    connectTo(server);
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_TRUE(server.address().startsWith("ftps://"));
    EXPECT_TRUE(lockShown());
    everyOperation(server.address(), server.root());
}

TEST_F(FtpsE2E, ASelfSignedCertificateAnsweredNoSendsNothingAndStaysDisconnected)
{
    FtpServer server(tlsServer(certificates().selfSigned()));
    connectTo(server);
    ASSERT_EQ(person.msgBoxes.size(), 1);
    const ScriptedToolkit::MsgBoxCall& question = person.msgBoxes.first();
    EXPECT_EQ(question.title, toolkit::AppTitle());
    EXPECT_EQ(question.style & 7, toolkit::vbYesNo);
    EXPECT_TRUE(question.style & toolkit::vbDefaultButton2) << "否 is the default";
    for (const char* part : {"自签名", "CN=127.0.0.1", "有效期", "SHA-256", "UTC"})
        EXPECT_TRUE(question.prompt.contains(QString::fromUtf8(part))) << part;
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(panel1(), hint("服务器的证书未被信任，未连接。"));
    EXPECT_EQ(server.userCommandCount(), 0) << "no log-in after the handshake";
    EXPECT_TRUE(window->cmdConnect->isEnabled());
    EXPECT_FALSE(lockShown());
}

TEST_F(FtpsE2E, ATrustedCertificateHoldsForReconnectsButNotOnceItChanges)
{
    FtpServer::Options options = tlsServer(certificates().selfSigned());
    options.idleTimeoutSeconds = 1;
    auto server = std::make_unique<FtpServer>(options);
    writeFile(server->root() + "/a.txt", "A");
    writeFile(server->root() + "/b.txt", "B");
    person.msgBoxAnswers = {toolkit::vbYes};
    connectTo(*server);
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_EQ(person.msgBoxes.size(), 1);

    // Dropped for idling, the connection comes back on the pinned key unasked.
    QDeadlineTimer deadline(10000);
    while (server->idleDropCount() < 1 && !deadline.hasExpired())
        QTest::qWait(50);
    selectNode(server->address() + "/a.txt");
    window->cmdGetFile->click();
    EXPECT_EQ(readFile(local("a.txt")), "A");
    EXPECT_EQ(person.msgBoxes.size(), 1);
    EXPECT_GE(server->connectionCount(), 2);

    // The same address with another certificate is refused with a warning,
    // unasked: on a reconnect within the session, and on a new connect.
    const quint16 port = server->port();
    server.reset();
    options.tlsCertificate = certificates().otherSelfSigned();
    options.port = port;
    FtpServer impostor(options);
    ASSERT_TRUE(impostor.ok()) << impostor.error().toStdString();
    selectNode(impostor.address() + "/b.txt");
    window->cmdGetFile->click();
    EXPECT_TRUE(panel1().startsWith(hint("警告：服务器的证书"))) << panel1().toStdString();
    ASSERT_GE(person.msgBoxes.size(), 2);
    for (qsizetype i = 1; i < person.msgBoxes.size(); ++i)
        EXPECT_TRUE(person.msgBoxes[i].prompt.contains(" Err: 12055")) << "an error report, not a question";
    const qsizetype boxes = person.msgBoxes.size();
    window->cmdDisConnect->click();
    window->cmdConnect->click();
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_TRUE(panel1().startsWith(hint("警告：服务器的证书"))) << panel1().toStdString();
    EXPECT_EQ(person.msgBoxes.size(), boxes);
    EXPECT_EQ(impostor.userCommandCount(), 0);
}

TEST_F(FtpsE2E, APlainLogInRefusedForWantOfTlsNamesTheFix)
{
    FtpServer server(tlsServer(certificates().caSigned()));
    ASSERT_TRUE(server.ok());
    openSession();
    WindowTest::connectTo(server.host(), server.port(), server.user(), server.password());
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(panel1(), hint("服务器要求加密连接，请使用 ftpes://127.0.0.1"));
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(FtpsE2E, ActiveModeIsRefusedBeforeAnythingIsSent)
{
    FtpServer server(tlsServer(certificates().caSigned()));
    ASSERT_TRUE(server.ok());
    window->chkPassive->setChecked(false);
    connectTo(server);
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_EQ(panel1(), hint("加密的FTP连接只能使用被动模式，请勾选“FTP反向对话”后再连接。"));
    EXPECT_EQ(window->focusWidget(), window->chkPassive);
    EXPECT_EQ(server.connectionCount(), 0);

    // Passive ticked, the same address connects.
    window->chkPassive->setChecked(true);
    window->cmdConnect->click();
    EXPECT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
}

TEST_F(FtpsE2E, AServerWithoutTlsGetsNoLogInInTheClear)
{
    FtpServer::Options options;
    options.countConnections = true;
    FtpServer server(options);
    ASSERT_TRUE(server.ok());
    openSession();
    WindowTest::connectTo("ftpes://127.0.0.1:" + QString::number(server.port()), 21, server.user(), server.password());
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(panel1(), hint("无法与服务器建立加密连接。"));
    EXPECT_EQ(server.userCommandCount(), 0);
}

}  // namespace
