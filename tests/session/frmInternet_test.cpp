// The session dialog: open, close, its buttons, panel 2, load and unload.
#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "session/ProxyAddress.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QPushButton>

using namespace testsupport;
using namespace modWinInet;

namespace {

class SessionDialogTest : public FakeWindowTest {};

TEST_F(SessionDialogTest, OpensDirectWithAnEmptyProxyBox)
{
    openSession();
    EXPECT_EQ(net.calls, QStringList{QStringLiteral("InternetOpenA(FTP CLIENT,1,,0)")});
    EXPECT_NE(SessionHandle, 0u);
    EXPECT_EQ(panel2(), QStringLiteral("会话中"));
    frmInternet* dialog = window->InternetDialogIfLoaded();
    EXPECT_FALSE(dialog->cmdInternetOpen->isEnabled());
    EXPECT_TRUE(dialog->cmdInternetClose->isEnabled());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(SessionDialogTest, AnyProxyTextEvenBlanksAsksForAProxySession)
{
    openSession(QStringLiteral("  "));
    EXPECT_EQ(net.calls, QStringList{QStringLiteral("InternetOpenA(FTP CLIENT,3,  ,0)")});
    net.calls.clear();
    SessionHandle = 0;
    openSession(QStringLiteral("socks5://127.0.0.1:1080"));
    EXPECT_EQ(net.calls, QStringList{QStringLiteral("InternetOpenA(FTP CLIENT,3,socks5://127.0.0.1:1080,0)")});
}

TEST_F(SessionDialogTest, TheProxyPortBoxCompletesAnAddressWithoutAPort)
{
    frmInternet* dialog = window->LoadInternetDialog();
    dialog->txtProxyPort->setText(QStringLiteral("3128"));
    openSession(QStringLiteral("proxy.example"));
    EXPECT_EQ(net.calls, QStringList{QStringLiteral("InternetOpenA(FTP CLIENT,3,proxy.example:3128,0)")});
}

TEST(ProxyWithPort, AddsThePortOnlyWhereTheAddressLacksOne)
{
    const struct {
        const char* address;
        const char* port;
        const char* proxy;
    } rows[] = {
        {"proxy.example", "3128", "proxy.example:3128"},
        {" proxy.example ", " 3128 ", "proxy.example:3128"},
        {"proxy.example:8080", "3128", "proxy.example:8080"},
        {"socks5://10.0.0.1", "1080", "socks5://10.0.0.1:1080"},
        {"socks5://10.0.0.1:1080", "9", "socks5://10.0.0.1:1080"},
        {"http://user:pw@proxy/", "80", "http://user:pw@proxy:80/"},
        {"::1", "3128", "[::1]:3128"},
        {"[::1]", "3128", "[::1]:3128"},
        {"[::1]:8080", "3128", "[::1]:8080"},
        {"proxy.example", "", "proxy.example"},
        {"proxy.example", "0", "proxy.example"},
        {"proxy.example", "65536", "proxy.example"},
        {"proxy.example", "31x", "proxy.example"},
        {"  ", "3128", "  "},
        {"http=a:80 ftp=b", "21", "http=a:80 ftp=b"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(session::ProxyWithPort(QString::fromUtf8(row.address), QString::fromUtf8(row.port)),
                  QString::fromUtf8(row.proxy))
            << row.address << " + " << row.port;
}

TEST_F(SessionDialogTest, AFailedOpenSaysSoAndEmptiesPanel2)
{
    window->staStatus->setText(2, QStringLiteral("会话中"));
    net.failOpen = true;
    openSession();
    EXPECT_EQ(SessionHandle, 0u);
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_EQ(person.msgBoxes[0].prompt, QStringLiteral("不能打开Internet连接"));
    EXPECT_EQ(person.msgBoxes[0].style, toolkit::vbCritical);
    EXPECT_TRUE(panel2().isEmpty());
    EXPECT_TRUE(window->InternetDialogIfLoaded()->cmdInternetOpen->isEnabled());
}

TEST_F(SessionDialogTest, OpeningAgainWithASessionOnlyHides)
{
    openSession();
    net.calls.clear();
    window->InternetDialogIfLoaded()->cmdInternetOpen_Click();
    EXPECT_TRUE(net.calls.isEmpty());
}

TEST_F(SessionDialogTest, CloseClosesConnectionBeforeSessionAndResetsFlags)
{
    openSession();
    ConnectionHandle = net.InternetConnectA(SessionHandle, QStringLiteral("srv"), 21, {}, {}, 1, 0, 0);
    IsConnected = true;
    CancelRequested = true;
    FolderTransferActive = 1;
    window->cmdDisConnect->setEnabled(true);
    const QStringList expected = {QStringLiteral("InternetCloseHandle(%1)").arg(ConnectionHandle),
                                  QStringLiteral("InternetCloseHandle(%1)").arg(SessionHandle)};
    net.calls.clear();

    frmInternet* dialog = window->InternetDialogIfLoaded();
    dialog->cmdInternetClose_Click();
    EXPECT_EQ(net.calls, expected);
    EXPECT_EQ(SessionHandle, 0u);
    EXPECT_EQ(ConnectionHandle, 0u);
    EXPECT_FALSE(IsConnected);
    EXPECT_FALSE(CancelRequested);
    EXPECT_EQ(FolderTransferActive, 1) << "the close leaves the folder-transfer flag";
    EXPECT_TRUE(window->cmdDisConnect->isEnabled()) << "the window keeps its layout";
    EXPECT_TRUE(panel2().isEmpty());
    EXPECT_TRUE(dialog->cmdInternetOpen->isEnabled());
    EXPECT_FALSE(dialog->cmdInternetClose->isEnabled());
    FolderTransferActive = 0;
}

TEST_F(SessionDialogTest, StaysLoadedWhenHiddenAndLoadsAfreshAfterItsCloseBox)
{
    window->show();
    frmInternet* first = window->LoadInternetDialog();
    first->txtProxy->setText(QStringLiteral("proxy:3128"));
    first->hide();
    EXPECT_EQ(window->LoadInternetDialog(), first);
    EXPECT_EQ(first->txtProxy->text(), QStringLiteral("proxy:3128"));

    openSession(QStringLiteral("proxy:3128"));
    person.modalScripts.append([](QDialog* dialog) { dialog->close(); });
    window->mnuInternet_Click();
    EXPECT_EQ(person.modalShown, QStringList{QStringLiteral("frmInternet")});
    EXPECT_NE(SessionHandle, 0u) << "the close box does not touch the session";

    frmInternet* second = window->LoadInternetDialog();
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->txtProxy->text().isEmpty());
    EXPECT_FALSE(second->cmdInternetOpen->isEnabled());
    EXPECT_TRUE(second->cmdInternetClose->isEnabled());
}

TEST_F(SessionDialogTest, LoadCentresOverTheMainWindowAndNamesItsControls)
{
    window->show();
    frmInternet* dialog = window->LoadInternetDialog();
    const QRect main = window->frameGeometry();
    EXPECT_EQ(dialog->frameGeometry().center().x() / 2, main.center().x() / 2);
    EXPECT_EQ(dialog->windowTitle(), toolkit::AppTitle());
    EXPECT_EQ(dialog->txtProxy->accessibleName(), QStringLiteral("地址："));
    EXPECT_EQ(dialog->txtProxyPort->accessibleName(), QStringLiteral("端口："));
    EXPECT_EQ(dialog->cmdInternetOpen->accessibleName(), QStringLiteral("打开Internet会话"));
}

}  // namespace
