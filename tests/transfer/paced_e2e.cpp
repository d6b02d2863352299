// The window while a library call blocks on a slow server: it keeps
// painting, and commands that arrive meanwhile wait for the call.
#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "session/inet/internet_api.h"
#include "support/window_fixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

constexpr int kBytesPerSecond = 256 * 1024;

// Times of the paint events a widget receives, on a clock of the test's.
class PaintClock : public QObject {
public:
    PaintClock(QWidget* widget, const QElapsedTimer& clock) : m_clock(clock) { widget->installEventFilter(this); }
    QList<qint64> times;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_clock.isValid())
            times.append(m_clock.elapsed());
        return false;
    }

private:
    const QElapsedTimer& m_clock;
};

}  // namespace

class PacedE2E : public testsupport::LiveWindowTest {
protected:
    PacedE2E() : LiveWindowTest(testsupport::FtpServer::Options{QString(), 0, false, false, kBytesPerSecond}) {}

    void SetUp() override
    {
        LiveWindowTest::SetUp();
        if (IsSkipped())
            return;
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        connectLive();
        ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    }

    QString work(const QString& name) const { return QDir::cleanPath(server.workDir() + '/' + name); }
    QString local(const QString& name) const { return localRoot.path() + '/' + name; }

    struct Watched {
        QList<int> paintsPerQuarter;  // paint events in each quarter of the command's time
        QStringList bars;             // progress bars shown, in order
        QStringList hints;            // other hints shown, in order
        qint64 took = 0;
        std::string describe() const
        {
            QStringList counts;
            for (int n : paintsPerQuarter)
                counts << QString::number(n);
            const QString text = "paints per quarter of " + QString::number(took) + " ms: " + counts.join(' ');
            return text.toStdString();
        }
    };

    // Runs a command while the window has something to paint at every
    // moment, and records when it painted and what panel 1 showed.
    Watched watchPaints(const std::function<void()>& command)
    {
        Watched watched;
        QElapsedTimer clock;
        PaintClock paints(window->staStatus->panel(2), clock);
        QTimer ticker;
        ticker.setInterval(50);
        QObject::connect(&ticker, &QTimer::timeout, window.get(), [&] {
            window->staStatus->panel(2)->update();
            const QString text = panel1();
            QStringList& seen = text.startsWith(QStringLiteral("进度")) ? watched.bars : watched.hints;
            if (!seen.contains(text))
                seen.append(text);
        });
        ticker.start();
        clock.start();
        command();
        watched.took = qMax<qint64>(1, clock.elapsed());
        watched.paintsPerQuarter = QList<int>(4, 0);
        for (qint64 t : paints.times) {
            if (t < watched.took)
                ++watched.paintsPerQuarter[int(t * 4 / watched.took)];
        }
        return watched;
    }

    static QByteArray payload(int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char(i * 7 + i / 251);
        return bytes;
    }
};

// A screen reader's press of 断开 and a timer's click of 上传文件 arrive
// while a download runs: both wait, the download completes, then the
// upload runs, then the disconnect.
TEST_F(PacedE2E, CommandsArrivingDuringADownloadRunAfterIt)
{
    const QByteArray big = payload(kBytesPerSecond);
    putOnServer(work("big.bin"), big);
    writeFile(local("up.txt"), "upload");
    window->RefreshServerNode(window->tvwServer->node(keyOf(server.workDir())));
    selectNode(keyOf(work("big.bin")));
    bool firedDuringTheCall = false;
    QByteArray uploadedWhenDisconnecting = "<not disconnected>";
    person.modalScripts.append([&](QDialog* dialog) {
        uploadedWhenDisconnecting = readOnServer(work("up.txt"));
        dialog->hide();
    });
    QTimer::singleShot(300, window.get(), [&] {
        firedDuringTheCall = inet::RequestInProgress();
        selectNode(keyOf(server.workDir()));
        selectLocalFile("up.txt");
        window->cmdPutFile->click();
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(window->cmdDisConnect);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    });
    window->cmdGetFile->click();
    EXPECT_TRUE(firedDuringTheCall);
    EXPECT_EQ(readFile(local("big.bin")), big);
    EXPECT_TRUE(modWinInet::IsConnected);  // nothing ran inside the download
    QTRY_VERIFY_WITH_TIMEOUT(!modWinInet::IsConnected, 10000);
    EXPECT_EQ(uploadedWhenDisconnecting, "upload");
    EXPECT_EQ(person.modalShown, QStringList{"frmInternet"});
}

// The bar follows what the server has taken, and the window paints all
// along, also while the upload waits for the server's closing reply.
TEST_F(PacedE2E, UploadToASlowServerShowsItsProgressAndPaintsThroughout)
{
    writeFile(local("up.bin"), payload(3 * kBytesPerSecond / 2));
    selectLocalFile("up.bin");
    selectNode(keyOf(server.workDir()));
    const Watched watched = watchPaints([&] { window->cmdPutFile->click(); });
    EXPECT_EQ(readOnServer(work("up.bin")), payload(3 * kBytesPerSecond / 2));
    EXPECT_GE(watched.bars.size(), 3) << watched.bars.join('\n').toStdString();
    EXPECT_FALSE(watched.paintsPerQuarter.contains(0)) << watched.describe();
}

// A folder walk paints while each of its files transfers, with the entry's hint.
TEST_F(PacedE2E, FolderDownloadPaintsWhileEachFileTransfers)
{
    putOnServer(work("tree/one.bin"), payload(kBytesPerSecond / 2));
    putOnServer(work("tree/two.bin"), payload(kBytesPerSecond / 2));
    window->RefreshServerNode(window->tvwServer->node(keyOf(server.workDir())));
    selectNode(keyOf(work("tree")));
    const Watched watched = watchPaints([&] { window->cmdGetFolder->click(); });
    EXPECT_EQ(readFile(local("tree/two.bin")), payload(kBytesPerSecond / 2));
    EXPECT_FALSE(watched.paintsPerQuarter.contains(0)) << watched.describe();
    EXPECT_TRUE(watched.hints.filter(QStringLiteral("one.bin")).size() > 0) << watched.hints.join('\n').toStdString();
}
