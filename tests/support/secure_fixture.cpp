#include "support/secure_fixture.h"

#include "app/StatusPanels.h"
#include "app/modWinInet.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QPushButton>

#include <gtest/gtest.h>

namespace testsupport {

namespace {

// Every file (with its bytes) and folder (with a trailing "/") below root.
QMap<QString, QByteArray> treeOf(const QString& root)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        tree.insert(it.fileInfo().isDir() ? relative + QLatin1Char('/') : relative,
                    it.fileInfo().isDir() ? QByteArray() : readFile(path));
    }
    return tree;
}

QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 256 * 300; ++i)
        bytes.append(char(i % 251));
    return bytes + "\r\n\n\r";
}

const QLabel* lockOf(const frmMain& window)
{
    return window.staStatus->panel(2)->findChild<QLabel*>(QStringLiteral("lblSecure"));
}

}  // namespace

void SecureWindowTest::prepareServerDisk(const QString& disk)
{
    writeFile(disk + "/file.bin", binaryBytes());
    writeFile(disk + "/tree/a.txt", "alpha\n");
    writeFile(disk + "/tree/sub/b.bin", binaryBytes());
    QDir().mkpath(disk + "/tree/empty");
    QDir().mkpath(disk + "/back");
}

void SecureWindowTest::runOnServer(void (frmMain::*handler)(), const QString& answer)
{
    person.modalScripts = {[](QDialog* dialog) { ScriptedToolkit::click(dialog, "cmdOption"); }};
    person.inputAnswers = {answer};
    (window.get()->*handler)();
}

void SecureWindowTest::everyOperation(const QString& root, const QString& disk)
{
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_EQ(panel2(), "连接中");
    EXPECT_TRUE(childKeys(root).contains(root + "/tree"));
    doubleClickNode(root + "/tree");
    EXPECT_EQ(childKeys(root + "/tree").size(), 3);

    selectNode(root + "/file.bin");
    window->cmdGetFile->click();
    EXPECT_EQ(readFile(local("file.bin")), readFile(disk + "/file.bin"));

    writeFile(local("up.bin"), readFile(disk + "/file.bin") + "more");
    selectLocalFile("up.bin");
    selectNode(root);
    window->cmdPutFile->click();
    EXPECT_EQ(readFile(disk + "/up.bin"), readFile(local("up.bin")));

    selectNode(root + "/tree");
    window->cmdGetFolder->click();
    EXPECT_EQ(treeOf(local("tree")), treeOf(disk + "/tree"));

    selectNode(root + "/back");
    highlightLocalDir(0);  // tree
    window->cmdPutFolder->click();
    EXPECT_EQ(treeOf(disk + "/back/tree"), treeOf(local("tree")));

    selectNode(root);
    runOnServer(&frmMain::cmdMdDir_Click, "made");
    EXPECT_TRUE(QFileInfo(disk + "/made").isDir());
    selectNode(root + "/up.bin");
    runOnServer(&frmMain::cmdNameFile_Click, "renamed.bin");
    EXPECT_TRUE(QFileInfo::exists(disk + "/renamed.bin"));
    EXPECT_FALSE(QFileInfo::exists(disk + "/up.bin"));
    selectNode(root + "/renamed.bin");
    runOnServer(&frmMain::cmdDelFile_Click);
    EXPECT_FALSE(QFileInfo::exists(disk + "/renamed.bin"));
    selectNode(root + "/made");
    runOnServer(&frmMain::cmdDelDir_Click);
    EXPECT_FALSE(QFileInfo::exists(disk + "/made"));
    EXPECT_TRUE(person.msgBoxes.isEmpty()) << person.msgBoxes.first().prompt.toStdString();
}

bool SecureWindowTest::lockShown() const
{
    const QLabel* lock = lockOf(*window);
    return lock && lock->isVisibleTo(window.get());
}

QString SecureWindowTest::lockToolTip() const
{
    const QLabel* lock = lockOf(*window);
    return lock ? lock->toolTip() : QString();
}

}  // namespace testsupport
