// The whole job without a mouse: real key presses on the real window.
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "file_ops/frmFocus.h"
#include "local/DirListBox.h"
#include "local/DriveListBox.h"
#include "local/FileListBox.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace testsupport;
using namespace modWinInet;

namespace {

class Keyboard : public FakeWindowTest {
protected:
    void press(QWidget* widget, Qt::Key key) { QTest::keyClick(widget, key); }
    QString local(const QString& relative) const { return localRoot.path() + '/' + relative; }
};

TEST_F(Keyboard, TreeKeysOpenAndCloseTheSelectedFolder)
{
    net.addDir("/pub");
    net.addFile("/pub/a.txt");
    net.addFile("/readme.txt");
    connectFake();
    ServerTree* tree = window->tvwServer;
    // Reached by Tab with nothing selected, the tree selects the node it marks, so Enter acts on it.
    tree->clearSelection();
    tree->setCurrentNode(nullptr);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->cmdDisConnect->setFocus();
    press(window->cmdDisConnect, Qt::Key_Tab);
    ASSERT_TRUE(tree->hasFocus());
    ASSERT_NE(tree->selectedNode(), nullptr);
    EXPECT_EQ(ServerTree::key(tree->selectedNode()), "srv");
    selectNode("srv");
    press(tree, Qt::Key_Down);
    ASSERT_EQ(ServerTree::key(tree->selectedNode()), "srv/pub");

    const struct {
        Qt::Key key;
        const char* image;
        int children;
    } steps[] = {{Qt::Key_Return, "open", 1},  {Qt::Key_Left, "closed", 0}, {Qt::Key_Plus, "open", 1},
                 {Qt::Key_Minus, "closed", 0}, {Qt::Key_Right, "open", 1},  {Qt::Key_Enter, "closed", 0}};
    for (const auto& step : steps) {
        selectNode("srv/pub");
        press(tree, step.key);
        EXPECT_EQ(imageOf("srv/pub"), step.image) << step.key;
        EXPECT_EQ(childKeys("srv/pub").size(), step.children) << step.key;
    }
    // Right on an open folder and Left on a closed one only move, as in any tree.
    selectNode("srv/pub");
    press(tree, Qt::Key_Right);
    press(tree, Qt::Key_Right);
    EXPECT_EQ(imageOf("srv/pub"), "open");
    selectNode("srv/readme.txt");
    press(tree, Qt::Key_Return);
    EXPECT_EQ(imageOf("srv/readme.txt"), "file");
}

TEST_F(Keyboard, ArrowsMoveTheHighlightTheCommandsUseAndEnterOpens)
{
    QDir().mkpath(local("a"));
    QDir().mkpath(local("b/inner"));
    writeFile(local("one.txt"), "1");
    writeFile(local("two.txt"), "2");
    window->dirLocal->refresh();
    window->filLocal->refresh();

    highlightLocalDir(0);  // a click on "a", then the arrow moves on to "b"
    press(window->dirLocal, Qt::Key_Down);
    EXPECT_EQ(window->dirLocal->highlightedPath(), local("b"));
    person.modalScripts = {[](QDialog* dialog) {
        ScriptedToolkit::click(dialog, "optLocal");
        ScriptedToolkit::click(dialog, "cmdOption");
    }};
    person.inputAnswers = {"made"};
    window->cmdMdDir_Click();
    EXPECT_TRUE(QDir(local("b/made")).exists());
    EXPECT_FALSE(QDir(local("a/made")).exists());

    press(window->dirLocal, Qt::Key_Down);  // the refresh put the highlight back on the open directory
    ASSERT_EQ(window->dirLocal->highlightedPath(), local("a"));
    press(window->dirLocal, Qt::Key_Down);
    press(window->dirLocal, Qt::Key_Return);
    EXPECT_EQ(window->dirLocal->path(), local("b"));
    EXPECT_EQ(window->filLocal->path(), local("b"));

    window->dirLocal->setPath(localRoot.path());
    window->filLocal->setListIndex(0);
    press(window->filLocal, Qt::Key_Down);
    EXPECT_EQ(window->filLocal->fileName(), "two.txt");
}

TEST_F(Keyboard, EnterInTheConnectionBandConnectsWhileConnectIsEnabled)
{
    openSession();
    window->txtServer->setText("srv");
    window->txtUser->setText("user");
    window->txtPassword->setText("pw");
    press(window->txtPassword, Qt::Key_Return);
    EXPECT_TRUE(IsConnected);
    EXPECT_FALSE(window->cmdConnect->isEnabled());
    const int connects = int(net.calls.filter("InternetConnectA").size());
    press(window->txtServer, Qt::Key_Return);  // connected: the band's Enter does nothing
    EXPECT_EQ(net.calls.filter("InternetConnectA").size(), connects);
    EXPECT_EQ(connects, 1);
}

TEST_F(Keyboard, EnterAnswersTheErrorReportWithNo)
{
    toolkit::Hooks real = toolkit::CurrentHooks();
    real.msgBox = nullptr;  // the real message box, answered by a key press
    toolkit::SetHooks(real);
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Return);
    });
    openSession();
    window->ReportInternetError(12030, "FtpGetFile");
    EXPECT_NE(SessionHandle, 0u);
    EXPECT_EQ(person.endProcessCalls, 0);
    EXPECT_EQ(window->txtPort->text(), "21");
}

TEST_F(Keyboard, TabReachesEveryControlInScreenOrderAndF10OpensTheMenus)
{
    window->EnableFileCommands(true);
    window->cmdDisConnect->setEnabled(true);
    QWidget* expected[] = {window->txtServer,   window->txtPort,     window->txtUser,    window->txtPassword,
                           window->chkPassive,  window->chkAnon,     window->cmdConnect, window->cmdDisConnect,
                           window->tvwServer,   window->optBin,      window->optAscii,   window->cmdPutFolder,
                           window->cmdGetFolder, window->cmdPutFile, window->cmdGetFile, window->cmdNameDir,
                           window->cmdNameFile, window->cmdMdDir,    window->cmdDelDir,  window->cmdDelFile,
                           window->cmdCancel,   window->drvLocal,    window->dirLocal,   window->filLocal,
                           window->txtWeb,      window->cmdWeb};
    QList<QWidget*> chain;
    for (QWidget* w = window->txtServer; chain.size() < 200; w = w->nextInFocusChain()) {
        if (w->window() == window.get() && (w->focusPolicy() & Qt::TabFocus) && !chain.contains(w))
            chain.append(w);
        if (w->nextInFocusChain() == window->txtServer)
            break;
    }
    EXPECT_EQ(chain, QList<QWidget*>(std::begin(expected), std::end(expected)));

    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->optBin->setFocus();
    press(window->optBin, Qt::Key_Right);  // the arrows choose the transfer type
    EXPECT_TRUE(window->optAscii->isChecked());
    EXPECT_EQ(TransferType, 1u);
    window->optBin->click();

    press(window.get(), Qt::Key_F10);
    ASSERT_TRUE(window->mnuFile->isVisible());
    press(window->mnuFile, Qt::Key_Down);
    press(window->mnuFile, Qt::Key_Return);
    EXPECT_EQ(person.modalShown, QStringList{"frmInternet"});
}

TEST_F(Keyboard, DialogsShowTheirFocusAndGiveItBackWhenTheyClose)
{
    window->EnableFileCommands(true);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->cmdMdDir->setFocus();
    bool focusShown = false;
    person.modalScripts = {[&focusShown](QDialog* dialog) {
        auto* chooser = qobject_cast<frmFocus*>(dialog);
        focusShown = QTest::qWaitForWindowActive(dialog) && QApplication::focusWidget() == chooser->optFTP &&
                     dialog->testAttribute(Qt::WA_KeyboardFocusChange);
        ScriptedToolkit::click(dialog, "cmdCancel");
    }};
    press(window->cmdMdDir, Qt::Key_Space);
    EXPECT_EQ(person.modalShown, QStringList{"frmFocus"});
    EXPECT_TRUE(focusShown);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), window->cmdMdDir);
}

}  // namespace
