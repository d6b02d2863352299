// The exit sequence and the window's unload.
#include "app/modWinInet.h"
#include "support/window_fixture.h"

#include <QLineEdit>
#include <QPushButton>

using namespace testsupport;
using namespace modWinInet;

namespace {

class ExitTest : public FakeWindowTest {};

TEST_F(ExitTest, ExitClosesConnectionThenSessionThenEnds)
{
    openSession();
    ConnectionHandle = net.InternetConnectA(SessionHandle, QStringLiteral("srv"), 21, {}, {}, 1, 0, 0);
    const QStringList expected = {QStringLiteral("InternetCloseHandle(%1)").arg(ConnectionHandle),
                                  QStringLiteral("InternetCloseHandle(%1)").arg(SessionHandle)};
    net.calls.clear();
    net.onCall = [&](const QString&) { EXPECT_EQ(person.endProcessCalls, 0) << "ended before closing"; };

    window->mnuExit_Click();
    EXPECT_EQ(net.calls, expected);
    EXPECT_EQ(person.endProcessCalls, 1);
    EXPECT_EQ(SessionHandle, 0u);
    EXPECT_EQ(ConnectionHandle, 0u);
    EXPECT_TRUE(person.modalShown.isEmpty()) << "not connected: nothing is shown";
}

TEST_F(ExitTest, ExitLoadsTheSessionDialogWithoutShowingIt)
{
    ASSERT_EQ(window->InternetDialogIfLoaded(), nullptr);
    window->mnuExit_Click();
    ASSERT_NE(window->InternetDialogIfLoaded(), nullptr);
    EXPECT_FALSE(window->InternetDialogIfLoaded()->isVisible());
    EXPECT_EQ(person.endProcessCalls, 1);
}

TEST_F(ExitTest, ClosingTheWindowClearsFieldsClosesTheConnectionAndEnds)
{
    window->show();
    openSession();
    ConnectionHandle = net.InternetConnectA(SessionHandle, QStringLiteral("srv"), 21, {}, {}, 1, 0, 0);
    FolderTransferActive = 1;
    window->txtServer->setText(QStringLiteral("srv"));
    window->txtPort->setText(QStringLiteral("2121"));
    const QString closeConnection = QStringLiteral("InternetCloseHandle(%1)").arg(ConnectionHandle);
    net.calls.clear();

    window->close();
    EXPECT_TRUE(window->txtServer->text().isEmpty());
    EXPECT_TRUE(window->txtPort->text().isEmpty());
    ASSERT_FALSE(net.calls.isEmpty());
    EXPECT_EQ(net.calls.first(), closeConnection);
    EXPECT_EQ(ConnectionHandle, 0u);
    EXPECT_EQ(SessionHandle, 0u);
    EXPECT_EQ(FolderTransferActive, 0);
    EXPECT_EQ(person.endProcessCalls, 1);
}

}  // namespace

namespace {

class ConnectedExitTest : public FakeWindowTest {
protected:
    void SetUp() override
    {
        net.addFile(QStringLiteral("/readme.txt"), "x");
        connectFake();
        ASSERT_TRUE(IsConnected);
    }
};

TEST_F(ConnectedExitTest, ExitDisconnectsShowsTheSessionDialogThenClosesTheSessionAndEnds)
{
    QStringList order;
    net.onCall = [&](const QString& call) { order << call; };
    person.modalScripts.append([&](QDialog* dialog) {
        order << QStringLiteral("shown:") + dialog->objectName();
        dialog->hide();
    });
    window->mnuExit_Click();
    ASSERT_EQ(order.size(), 3);
    EXPECT_TRUE(order[0].startsWith(QStringLiteral("InternetCloseHandle"))) << "the connection first";
    EXPECT_EQ(order[1], QStringLiteral("shown:frmInternet"));
    EXPECT_TRUE(order[2].startsWith(QStringLiteral("InternetCloseHandle"))) << "then the session";
    EXPECT_EQ(window->tvwServer->nodeCount(), 0);
    EXPECT_EQ(person.endProcessCalls, 1);
}

TEST_F(ConnectedExitTest, ClosingTheWindowEmptiesTheServerBoxBeforeTheDisconnectStep)
{
    window->show();
    window->close();
    EXPECT_EQ(person.modalShown, QStringList{QStringLiteral("frmInternet")});
    EXPECT_TRUE(window->txtServer->text().isEmpty());
    EXPECT_TRUE(window->tvwServer->contains(QStringLiteral("srv"))) << "no root under an empty key to remove";
    EXPECT_EQ(SessionHandle, 0u);
    EXPECT_EQ(person.endProcessCalls, 1);
}

}  // namespace
