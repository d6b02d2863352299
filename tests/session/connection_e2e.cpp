// The connection band through the real library against a real FTP server.
#include "app/modWinInet.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace testsupport;

namespace {

class LiveConnection : public LiveWindowTest {};

TEST_F(LiveConnection, ANamedLogInShowsTheLoginDirectory)
{
    putOnServer(server.workDir() + "/hello.txt", "hi");
    connectLive();
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_EQ(window->tvwServer->topLevelCount(), 1);
    EXPECT_EQ(imageOf(server.host()), "root");
    EXPECT_FALSE(window->cmdConnect->isEnabled());
    EXPECT_EQ(panel2(), "连接中");
    EXPECT_EQ(window->LoginDirectory, server.loginDir());
    const QString work = keyOf(server.workDir());
    if (work != server.host())
        doubleClickNode(work);
    EXPECT_TRUE(childKeys(work).contains(work + "/hello.txt"));
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(LiveConnection, AProxyWhosePortIsInItsOwnBox)
{
    ProxyServer proxy(ProxyServer::Kind::Socks5);
    ASSERT_TRUE(proxy.ok()) << proxy.error().toStdString();
    putOnServer(server.workDir() + "/via.txt", "v");
    window->LoadInternetDialog()->txtProxyPort->setText(QString::number(proxy.port()));
    openSession("socks5://127.0.0.1");
    connectTo(server.host(), server.port(), server.user(), server.password());
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_GE(proxy.tunnelCount(), 1);
}

TEST_F(LiveConnection, AnAnonymousLogIn)
{
    if (server.external())
        GTEST_SKIP() << "an external server may refuse anonymous users";
    putOnServer("/pub/a.txt", "a");
    openSession();
    window->txtServer->setText(server.host());
    window->txtPort->setText(QString::number(server.port()));
    window->txtUser->setText("nobody");
    window->txtPassword->setText("wrong");
    window->chkAnon->setChecked(true);
    window->cmdConnect->click();
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_EQ(childKeys(server.host()), QStringList{server.host() + "/pub"});
}

TEST_F(LiveConnection, AWrongPasswordGivesTheHintAndTheFocusOnTheUser)
{
    openSession();
    connectTo(server.host(), server.port(), server.user(), server.password() + "x");
    EXPECT_EQ(panel1(), "提示: 用户名或口令错误。");
    EXPECT_EQ(window->focusWidget(), window->txtUser);
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(window->tvwServer->nodeCount(), 0);
}

TEST_F(LiveConnection, DisconnectingRestoresTheLayoutAndAllowsAReconnect)
{
    connectLive();
    ASSERT_TRUE(modWinInet::IsConnected);
    window->cmdDisConnect->click();
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(window->tvwServer->nodeCount(), 0);
    EXPECT_TRUE(window->cmdConnect->isEnabled());
    EXPECT_TRUE(window->txtServer->isEnabled());
    EXPECT_EQ(window->txtServer->text(), server.host());
    EXPECT_EQ(panel2(), "会话中");
    EXPECT_EQ(person.modalShown, QStringList{"frmInternet"});

    putOnServer(server.workDir() + "/later.txt", "x");
    window->cmdConnect->click();
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_EQ(window->tvwServer->topLevelCount(), 1);
}

TEST_F(LiveConnection, ClosingTheSessionWhileConnectedLeavesTheTreeUntilDisconnect)
{
    putOnServer(server.workDir() + "/a.txt", "a");
    connectLive();
    ASSERT_TRUE(modWinInet::IsConnected);
    window->LoadInternetDialog()->cmdInternetClose_Click();
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(modWinInet::SessionHandle, 0u);
    EXPECT_EQ(window->tvwServer->topLevelCount(), 1);
    EXPECT_TRUE(window->cmdDisConnect->isEnabled());

    window->cmdDisConnect->click();
    EXPECT_EQ(window->tvwServer->nodeCount(), 0);
    EXPECT_EQ(panel2(), "");
    EXPECT_EQ(person.modalShown, QStringList{"frmInternet"});
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

}  // namespace
