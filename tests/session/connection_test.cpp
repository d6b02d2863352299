// The connection band against the in-memory server: the exact log-in
// calls, the hints, and the window's layout on either side of a connection.
#include "app/modWinInet.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace testsupport;

namespace {

class Connection : public FakeWindowTest {
protected:
    QStringList connectCalls() const { return net.calls.filter(QStringLiteral("InternetConnectA")); }
};

TEST_F(Connection, WithoutASessionOnlyHints)
{
    connectTo("srv", 21, "user", "pw");
    EXPECT_EQ(panel1(), "提示: 须先打开Internet会话。");
    EXPECT_TRUE(net.calls.isEmpty());

    connectFake();
    net.calls.clear();
    window->cmdConnect_Click();  // connected already
    EXPECT_EQ(panel1(), "提示: 须先打开Internet会话。");
    EXPECT_TRUE(net.calls.isEmpty());
}

TEST_F(Connection, AnEmptyServerBoxIsRefusedButBlanksGoOn)
{
    openSession();
    connectTo("", 21, "user", "pw");
    EXPECT_EQ(panel1(), "提示: 输入FTP服务器的域名或IP地址!");
    EXPECT_TRUE(connectCalls().isEmpty());
    connectTo(" ", 21, "user", "pw");
    EXPECT_EQ(connectCalls(), QStringList{"InternetConnectA( ,21,user,pw,8000000)"});
}

TEST_F(Connection, PassesPassiveModePortAndUser)
{
    openSession();
    window->chkPassive->setChecked(false);
    window->txtServer->setText("srv");
    window->txtPort->setText("&H15");
    window->txtUser->setText("user");
    window->txtPassword->setText("pw");
    window->cmdConnect->click();
    EXPECT_EQ(connectCalls(), QStringList{"InternetConnectA(srv,21,user,pw,0)"});
}

TEST_F(Connection, PortsAbove32767AreValidAndAbove65535Refused)
{
    openSession();
    connectTo("srv", 40000, "user", "pw");
    EXPECT_EQ(connectCalls(), QStringList{"InternetConnectA(srv,40000,user,pw,8000000)"});
    window->cmdDisConnect_Click();

    net.calls.clear();
    window->txtPort->setText("65536");
    window->cmdConnect->click();
    EXPECT_EQ(panel1(), "提示: 端口号须在0到65535之间。");
    EXPECT_TRUE(connectCalls().isEmpty());
    EXPECT_EQ(window->focusWidget(), window->txtPort);
    EXPECT_FALSE(modWinInet::IsConnected);
}

TEST_F(Connection, AnonymousSendsEmptyUserAndPasswordAndRestoresTheName)
{
    window->txtUser->setText("alice");
    window->txtPassword->setText("pw");
    window->chkAnon->setChecked(true);
    EXPECT_EQ(window->txtUser->text(), "Anonymous");
    EXPECT_EQ(window->txtPassword->text(), "");

    openSession();
    window->txtServer->setText("srv");
    window->txtPassword->setText("typed anyway");
    window->cmdConnect->click();
    EXPECT_EQ(connectCalls(), QStringList{"InternetConnectA(srv,21,,,8000000)"});
    EXPECT_FALSE(window->chkAnon->isEnabled());

    window->cmdDisConnect_Click();
    window->chkAnon->setChecked(false);
    EXPECT_EQ(window->txtUser->text(), "alice");
    EXPECT_EQ(window->txtPassword->text(), "");
}

TEST_F(Connection, UnknownServerAndRefusedLogInGiveHintsWithTheFocusMoved)
{
    openSession();
    net.failConnectWith = inet::ERROR_INTERNET_NAME_NOT_RESOLVED;
    connectTo("nowhere", 21, "user", "pw");
    EXPECT_EQ(panel1(), "提示: FTP服务器错误。");
    EXPECT_EQ(window->focusWidget(), window->txtServer);

    net.failConnectWith = inet::ERROR_INTERNET_INCORRECT_PASSWORD;
    connectTo("srv", 21, "user", "wrong");
    EXPECT_EQ(panel1(), "提示: 用户名或口令错误。");
    EXPECT_EQ(window->focusWidget(), window->txtUser);

    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(modWinInet::ConnectionHandle, 0u);
    EXPECT_TRUE(window->cmdConnect->isEnabled());
    EXPECT_EQ(window->tvwServer->nodeCount(), 0);
}

TEST_F(Connection, OtherFailuresBringUpTheErrorReport)
{
    openSession();
    net.failConnectWith = inet::ERROR_INTERNET_CANNOT_CONNECT;
    connectTo("srv", 21, "user", "pw");
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.startsWith("InternetConnect Err: 12029"));
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_TRUE(window->txtServer->isEnabled());
}

TEST_F(Connection, ConnectingSwitchesTheLayoutAndListsTheLoginDirectory)
{
    net.addFile("/readme.txt");
    connectFake();
    EXPECT_TRUE(modWinInet::IsConnected);
    EXPECT_FALSE(window->cmdConnect->isEnabled());
    EXPECT_TRUE(window->cmdDisConnect->isEnabled());
    for (QWidget* box : {window->txtServer, window->txtPort, window->txtUser, window->txtPassword})
        EXPECT_FALSE(box->isEnabled()) << box->objectName().toStdString();
    EXPECT_FALSE(window->chkAnon->isEnabled());
    EXPECT_TRUE(window->chkPassive->isEnabled());
    EXPECT_TRUE(window->cmdGetFile->isEnabled());
    EXPECT_EQ(imageOf("srv"), "root");
    EXPECT_EQ(childKeys("srv"), QStringList{"srv/readme.txt"});
    EXPECT_EQ(panel2(), "连接中");
    EXPECT_FALSE(net.calls.join(' ').contains("FtpSetCurrentDirectoryA"));
}

TEST_F(Connection, AnEmptyLoginDirectoryLeavesTheRootAlone)
{
    connectFake();
    EXPECT_EQ(window->tvwServer->topLevelCount(), 1);
    EXPECT_TRUE(childKeys("srv").isEmpty());
    EXPECT_EQ(panel1(), "提示: 文件夹为空!");
    EXPECT_EQ(panel2(), "会话中");
}

TEST_F(Connection, DisconnectRestoresTheLayoutAndShowsTheSessionDialog)
{
    net.addDir("/pub");
    connectFake();
    const QString connection = QString::number(modWinInet::ConnectionHandle);
    net.calls.clear();
    window->cmdDisConnect->click();

    EXPECT_EQ(net.calls, QStringList{"InternetCloseHandle(" + connection + ")"});
    EXPECT_EQ(modWinInet::ConnectionHandle, 0u);
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_NE(modWinInet::SessionHandle, 0u);
    EXPECT_EQ(window->tvwServer->nodeCount(), 0);
    EXPECT_TRUE(window->ListingNames.isEmpty());
    EXPECT_TRUE(window->cmdConnect->isEnabled());
    EXPECT_FALSE(window->cmdDisConnect->isEnabled());
    EXPECT_TRUE(window->chkAnon->isEnabled());
    EXPECT_FALSE(window->cmdGetFile->isEnabled());
    EXPECT_EQ(window->txtServer->text(), "srv");
    EXPECT_EQ(window->txtUser->text(), "user");
    EXPECT_EQ(window->txtPassword->text(), "pw");
    EXPECT_TRUE(window->txtPassword->isEnabled());
    EXPECT_EQ(panel2(), "会话中");
    EXPECT_EQ(person.modalShown, QStringList{"frmInternet"});

    window->cmdDisConnect_Click();  // its button is disabled now: nothing happens
    EXPECT_EQ(person.modalShown.size(), 1);
    EXPECT_EQ(net.calls.size(), 1);
}

TEST_F(Connection, DisconnectAfterTheSessionClosedClosesNothing)
{
    net.addDir("/pub");
    connectFake();
    window->LoadInternetDialog()->cmdInternetClose_Click();
    net.calls.clear();
    ASSERT_TRUE(window->cmdDisConnect->isEnabled());
    window->cmdDisConnect->click();
    EXPECT_TRUE(net.calls.isEmpty());
    EXPECT_EQ(window->tvwServer->nodeCount(), 0);
    EXPECT_EQ(panel2(), "");
    EXPECT_EQ(person.modalShown, QStringList{"frmInternet"});
}

TEST_F(Connection, ReconnectingAfterADisconnectBuildsAFreshTree)
{
    net.addDir("/pub");
    connectFake();
    window->cmdDisConnect->click();
    window->cmdConnect->click();
    EXPECT_EQ(window->tvwServer->topLevelCount(), 1);
    EXPECT_EQ(childKeys("srv"), QStringList{"srv/pub"});
}

}  // namespace
