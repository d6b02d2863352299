// Status hints, the progress bar and the error report.
#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "support/window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testsupport;
using namespace modWinInet;

namespace {

class StatusTest : public FakeWindowTest {};

QString bar(int squares) { return QStringLiteral("进度: ") + QString(squares, QChar(0x25A0)); }

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(StatusTest, HintsFasterThanTheScreenArePaintedOncePerFrameAndTheLastOneAlways)
{
    window->show();
    QLabel* panel = window->staStatus->panel(1);
    PaintCounter counter;
    panel->installEventFilter(&counter);
    QTest::qWait(40);  // no hint painted within the last frame
    const int shown = counter.paints;

    window->ShowStatus(QStringLiteral("first"));
    EXPECT_EQ(counter.paints, shown + 1);  // at once, with no event loop running
    for (int i = 0; i < 200; ++i) {
        window->ShowStatus(QStringLiteral("正在下载：f%1.dat").arg(i));
        toolkit::DoEvents();  // as a folder walk yields after each file
        EXPECT_EQ(panel1(), QStringLiteral("提示: 正在下载：f%1.dat").arg(i));  // the text is always current
    }
    EXPECT_LE(counter.paints, 3);  // the walk above takes far less than three frames here
    const int before = counter.paints;
    QTest::qWait(40);
    EXPECT_EQ(counter.paints, before + 1);  // the last hint is painted within its frame
    EXPECT_TRUE(panel->updatesEnabled());

    // A hint waiting for its frame is painted by paintPending alone, as a
    // blocking transfer does without the event loop.
    window->ShowStatus(QStringLiteral("a"));
    window->ShowStatus(QStringLiteral("b"));
    const int waiting = counter.paints;
    window->staStatus->paintPending();
    EXPECT_EQ(counter.paints, waiting + 1);
    EXPECT_EQ(panel1(), QStringLiteral("提示: b"));
    panel->removeEventFilter(&counter);
}

TEST_F(StatusTest, NumbersShowAsAProgressBarOf67Squares)
{
    const std::pair<const char*, int> rows[] = {
        {"100", 67}, {"50", 34}, {"42", 28}, {"1", 1}, {"0", 0}, {"-5", 0}, {"150", 67}, {" 12.5 ", 8},
    };
    for (const auto& [value, squares] : rows) {
        window->ShowStatus(QString::fromLatin1(value));
        EXPECT_EQ(panel1(), bar(squares)) << value;
    }
}

TEST_F(StatusTest, OtherTextsShowAsHints)
{
    window->ShowStatus(QStringLiteral("文件夹为空!"));
    EXPECT_EQ(panel1(), QStringLiteral("提示: 文件夹为空!"));
    window->ShowStatus(QString());
    EXPECT_EQ(panel1(), QStringLiteral("提示: "));
    window->ShowStatus(QStringLiteral("12abc"));
    EXPECT_EQ(panel1(), QStringLiteral("提示: 12abc"));
}

TEST_F(StatusTest, ControlCharactersInHintsAndReportsShowEscaped)
{
    window->ShowStatus(QStringLiteral("已跳过：a\r\nb\tc"));
    EXPECT_EQ(panel1(), QStringLiteral("提示: 已跳过：a\\x0D\\x0Ab\\x09c"));
    window->ReportInternetError(123, QStringLiteral("下载失败：x\r\ny"));
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_EQ(person.msgBoxes[0].prompt,
              QStringLiteral("下载失败：x\\x0D\\x0Ay Err: 123\r\n关闭连接及进程?"));
}

TEST_F(StatusTest, ExtendedErrorShowsTheServerReplyThenAsks)
{
    net.lastResponse = QStringLiteral("550 No such file or directory.");
    window->ReportInternetError(12003, QStringLiteral("FtpFindFirstFile"));
    EXPECT_EQ(panel1(), QStringLiteral("提示: FtpFindFirstFile Extd Err: 550 550 No such file or directory."));
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_EQ(person.msgBoxes[0].prompt, QStringLiteral("FtpFindFirstFile Err: 12003\r\n关闭连接及进程?"));
    EXPECT_EQ(person.msgBoxes[0].style, toolkit::vbYesNo | toolkit::vbDefaultButton2);
    EXPECT_EQ(person.msgBoxes[0].title, toolkit::AppTitle());
}

TEST_F(StatusTest, OtherErrorNumbersLeaveTheStatusBarAlone)
{
    window->ShowStatus(QStringLiteral("before"));
    window->ReportInternetError(12029, QStringLiteral("InternetConnect"));
    EXPECT_EQ(panel1(), QStringLiteral("提示: before"));
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_EQ(person.msgBoxes[0].prompt, QStringLiteral("InternetConnect Err: 12029\r\n关闭连接及进程?"));
}

TEST_F(StatusTest, AnsweringNoChangesNothing)
{
    openSession();
    ConnectionHandle = net.InternetConnectA(SessionHandle, QStringLiteral("srv"), 21, {}, {}, 1, 0, 0);
    IsConnected = true;
    window->txtServer->setText(QStringLiteral("srv"));
    window->tvwServer->addNode({}, QStringLiteral("srv"), QStringLiteral("srv"), QStringLiteral("root"));
    const HINTERNET session = SessionHandle;
    const HINTERNET connection = ConnectionHandle;
    net.calls.clear();

    window->ReportInternetError(12002, QStringLiteral("FtpGetFile"));
    EXPECT_EQ(SessionHandle, session);
    EXPECT_EQ(ConnectionHandle, connection);
    EXPECT_TRUE(IsConnected);
    EXPECT_TRUE(window->tvwServer->contains(QStringLiteral("srv")));
    EXPECT_EQ(window->txtServer->text(), QStringLiteral("srv"));
    EXPECT_TRUE(net.calls.isEmpty());
    EXPECT_EQ(person.endProcessCalls, 0);
}

TEST_F(StatusTest, AnsweringYesWhileConnectedTearsEverythingDownAndEnds)
{
    openSession();
    ConnectionHandle = net.InternetConnectA(SessionHandle, QStringLiteral("srv"), 21, {}, {}, 1, 0, 0);
    IsConnected = true;
    FolderTransferActive = 1;
    window->txtServer->setText(QStringLiteral("srv"));
    window->txtUser->setText(QStringLiteral("bob"));
    window->tvwServer->addNode({}, QStringLiteral("srv"), QStringLiteral("srv"), QStringLiteral("root"));
    window->EnableFileCommands(true);
    window->ListingNames = {QStringLiteral("a")};
    window->ListingAttributes = {0x80};
    const QString closeConnection = QStringLiteral("InternetCloseHandle(%1)").arg(ConnectionHandle);
    const QString closeSession = QStringLiteral("InternetCloseHandle(%1)").arg(SessionHandle);
    net.calls.clear();
    person.msgBoxAnswers = {toolkit::vbYes};

    window->ReportInternetError(12030, QStringLiteral("FtpGetFile"));
    ASSERT_GE(net.calls.size(), 2);
    EXPECT_EQ(net.calls[0], closeConnection);
    EXPECT_EQ(net.calls[1], closeSession);
    EXPECT_EQ(SessionHandle, 0u);
    EXPECT_EQ(ConnectionHandle, 0u);
    EXPECT_FALSE(IsConnected);
    EXPECT_EQ(FolderTransferActive, 0);
    EXPECT_EQ(window->tvwServer->nodeCount(), 0);
    EXPECT_TRUE(window->txtServer->text().isEmpty());
    EXPECT_TRUE(window->txtUser->text().isEmpty());
    EXPECT_TRUE(window->txtPort->text().isEmpty());
    EXPECT_TRUE(window->ListingNames.isEmpty());
    EXPECT_FALSE(window->cmdGetFile->isEnabled());
    EXPECT_EQ(person.endProcessCalls, 1);
}

TEST_F(StatusTest, AnsweringYesWhileNotConnectedEndsWithoutTheSessionDialog)
{
    openSession();
    person.msgBoxAnswers = {toolkit::vbYes};
    window->ReportInternetError(12029, QStringLiteral("InternetConnect"));
    EXPECT_EQ(SessionHandle, 0u);
    EXPECT_TRUE(person.modalShown.isEmpty());
    EXPECT_EQ(person.endProcessCalls, 1);
}

}  // namespace
