// The window as start-up leaves it: controls, layout, menus, enabling,
// accessibility, and the single-instance rule.
#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "desktop/AppIdentity.h"
#include "local/DirListBox.h"
#include "local/DriveListBox.h"
#include "local/FileListBox.h"
#include "support/window_fixture.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

using namespace testsupport;
using namespace modWinInet;

namespace {

class StartupTest : public FakeWindowTest {
protected:
    QList<QWidget*> fileCommands() const
    {
        return {window->optBin,     window->optAscii,    window->cmdGetFile, window->cmdPutFile,
                window->cmdGetFolder, window->cmdPutFolder, window->cmdNameDir, window->cmdNameFile,
                window->cmdMdDir,   window->cmdDelDir,   window->cmdDelFile, window->cmdCancel};
    }
};

TEST_F(StartupTest, DefaultsAfterLoad)
{
    EXPECT_EQ(window->txtPort->text(), QStringLiteral("21"));
    EXPECT_TRUE(window->chkPassive->isChecked());
    EXPECT_TRUE(window->optBin->isChecked());
    EXPECT_EQ(TransferType, 2u);
    EXPECT_FALSE(IsConnected);
    EXPECT_EQ(SessionHandle, 0u);
    EXPECT_EQ(ConnectionHandle, 0u);
    EXPECT_TRUE(window->cmdConnect->isEnabled());
    EXPECT_FALSE(window->cmdDisConnect->isEnabled());
    for (QLineEdit* box : {window->txtServer, window->txtPort, window->txtUser, window->txtPassword})
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
    for (QWidget* control : fileCommands())
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(window->windowTitle(), toolkit::AppTitle());
    EXPECT_EQ(window->txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(window->tvwServer->nodeCount() == 0);
}

TEST_F(StartupTest, FixedSizeCentredWithTwoStatusPanels)
{
    EXPECT_EQ(window->size(), QSize(1050, 790));  // 15750 x 11850 twips at 96 dpi
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->x(), (screen.width() - 1050) / 2);
    EXPECT_EQ(window->y(), (screen.height() - 790) / 2);
    EXPECT_EQ(window->staStatus->width(1), 850);  // 12750 twips
    EXPECT_EQ(window->staStatus->width(2), 200);  // 3000 twips
}

TEST_F(StartupTest, TwipsFollowTheLogicalDpi)
{
    EXPECT_EQ(toolkit::TwipsToPixels(15), 1);
    EXPECT_EQ(toolkit::TwipsToPixels(1440), 96);
    EXPECT_DOUBLE_EQ(toolkit::PixelsToTwips(96), 1440.0);
    EXPECT_EQ(toolkit::AppMajor(), 2);
    EXPECT_EQ(toolkit::AppMinor(), 0);
    EXPECT_EQ(toolkit::AppRevision(), 0);
}

TEST_F(StartupTest, EnableFileCommandsTouchesExactlyTheTwelveControls)
{
    window->EnableFileCommands(true);
    for (QWidget* control : fileCommands())
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(window->cmdConnect->isEnabled());
    EXPECT_FALSE(window->cmdDisConnect->isEnabled());
    EXPECT_TRUE(window->cmdWeb->isEnabled());
    window->EnableFileCommands(false);
    for (QWidget* control : fileCommands())
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(window->tvwServer->isEnabled());
}

TEST_F(StartupTest, CancelActsOnlyDuringAFolderTransferWithSessionAndConnection)
{
    const struct {
        HINTERNET session, connection;
        int active;
        bool cancels;
    } rows[] = {{1, 2, 1, true}, {0, 2, 1, false}, {1, 0, 1, false}, {1, 2, 0, false}};
    for (const auto& row : rows) {
        SessionHandle = row.session;
        ConnectionHandle = row.connection;
        FolderTransferActive = row.active;
        CancelRequested = false;
        window->cmdCancel_Click();
        EXPECT_EQ(CancelRequested, row.cancels) << row.session << row.connection << row.active;
    }
    FolderTransferActive = 0;
}

TEST_F(StartupTest, ClearingEmptiesTheConnectionBoxesAndListings)
{
    window->txtServer->setText(QStringLiteral("srv"));
    window->txtUser->setText(QStringLiteral("u"));
    window->txtPassword->setText(QStringLiteral("p"));
    window->ListingNames = {QStringLiteral("a"), QStringLiteral("b")};
    window->ListingAttributes = {16, 128};
    window->ClearConnectionFields();
    for (QLineEdit* box : {window->txtServer, window->txtPort, window->txtUser, window->txtPassword})
        EXPECT_TRUE(box->text().isEmpty());
    EXPECT_TRUE(window->ListingNames.isEmpty());
    EXPECT_TRUE(window->ListingAttributes.isEmpty());
}

TEST_F(StartupTest, CaptionsToolTipsAndMenus)
{
    EXPECT_EQ(window->fraServer->title(), QStringLiteral("FTP服务器"));
    EXPECT_EQ(window->fraLocal->title(), QStringLiteral("本地计算机"));
    EXPECT_EQ(window->fraWeb->title(), QStringLiteral("网页文件"));
    EXPECT_EQ(window->cmdDelDir->toolTip(), QStringLiteral("谨慎操作!"));
    EXPECT_EQ(window->cmdDelFile->toolTip(), QStringLiteral("谨慎操作!"));
    EXPECT_EQ(window->chkPassive->text(), QStringLiteral("FTP反向对话"));
    QStringList menus;
    for (QAction* action : window->menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("开始"), QStringLiteral("帮助")}));
    EXPECT_EQ(window->mnuContent->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(window->mnuFileBar->isSeparator());
    EXPECT_TRUE(window->mnuHelpBar->isSeparator());
    for (const char* key : {"root", "open", "closed", "file", "leaf"})
        EXPECT_TRUE(window->imgPicture.contains(QLatin1String(key))) << key;
}

TEST_F(StartupTest, ConnectionBandTabOrder)
{
    QWidget* expected[] = {window->txtServer, window->txtPort, window->txtUser, window->txtPassword,
                           window->chkPassive, window->chkAnon, window->cmdConnect, window->cmdDisConnect};
    for (size_t i = 1; i < std::size(expected); ++i) {
        QWidget* next = expected[i - 1]->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, expected[i]) << i;
    }
}

QString accessibleName(QObject* object)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

TEST_F(StartupTest, EveryControlHasANameAPersonWouldSay)
{
    const std::pair<QWidget*, const char*> named[] = {
        {window->txtServer, "FTP服务器"}, {window->txtPort, "端口"},     {window->txtUser, "用户名"},
        {window->txtPassword, "口令"},    {window->txtWeb, "网页文件"},  {window->tvwServer, "FTP服务器"},
        {window->dirLocal, "目录"},    {window->filLocal, "文件"},    {window->drvLocal, "驱动器"},
        {window->cmdConnect, "连接"},     {window->chkAnon, "匿名登录"}, {window->optBin, "二进制"},
    };
    for (const auto& [widget, name] : named)
        EXPECT_EQ(accessibleName(widget), QString::fromUtf8(name)) << widget->objectName().toStdString();
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                             qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QComboBox*>(widget);
        const QString name = widget->objectName();
        if (control && !name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) {
            EXPECT_FALSE(accessibleName(widget).isEmpty()) << widget->objectName().toStdString();
        }
    }
    // A drop-down list is also named by the label related to it.
    QAccessibleInterface* drive = QAccessible::queryAccessibleInterface(window->drvLocal);
    QStringList labels;
    for (const auto& [other, relation] : drive->relations(QAccessible::Label))
        labels << other->text(QAccessible::Name);
    EXPECT_TRUE(labels.contains(QStringLiteral("驱动器"))) << labels.join(',').toStdString();

    window->ShowStatus(QStringLiteral("就绪"));
    EXPECT_EQ(accessibleName(window->staStatus->panel(1)), QStringLiteral("提示: 就绪"));
}

TEST_F(StartupTest, TreeNodesDescribeTheirImage)
{
    ServerTree* tree = window->tvwServer;
    ServerTree::Node* root = tree->addNode({}, QStringLiteral("srv"), QStringLiteral("srv"), QStringLiteral("root"));
    ServerTree::Node* pub = tree->addNode(QStringLiteral("srv"), QStringLiteral("srv/pub"), QStringLiteral("srv/pub"),
                                          QStringLiteral("closed"));
    ServerTree::Node* named = tree->addNode(QStringLiteral("srv"), QStringLiteral("srv/x"), QStringLiteral("X"), {});
    EXPECT_EQ(tree->indexOf(named).data().toString(), QStringLiteral("X"));
    EXPECT_EQ(ServerTree::key(named), QStringLiteral("srv/x"));
    ServerTree::Node* last = tree->addNode(QStringLiteral("srv"), QStringLiteral("srv/a"), QStringLiteral("srv/a"), {});
    EXPECT_TRUE(tree->removeNode(named));  // the ones after it move up
    EXPECT_EQ(root->child(1), last);
    EXPECT_EQ(tree->indexOf(last).row(), 1);
    EXPECT_EQ(tree->node(QStringLiteral("srv/a")), last);
    EXPECT_FALSE(tree->contains(QStringLiteral("srv/x")));
    EXPECT_EQ(tree->indexOf(root).data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("root"));
    tree->setImageKey(pub, QStringLiteral("open"));
    EXPECT_EQ(tree->indexOf(pub).data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("open"));
    EXPECT_EQ(tree->addNode(QStringLiteral("srv"), QStringLiteral("srv/pub"), {}, {}), nullptr);  // key exists
    EXPECT_EQ(tree->addNode(QStringLiteral("nope"), QStringLiteral("x"), {}, {}), nullptr);       // no relative
    EXPECT_TRUE(tree->removeNode(QStringLiteral("srv")));
    EXPECT_FALSE(tree->contains(QStringLiteral("srv/pub")));
    EXPECT_FALSE(tree->removeNode(QStringLiteral("srv")));
}

TEST(Translation, StandardButtonsSpeakChinese)
{
    toolkit::InstallChineseTranslation();
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
    EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QStringLiteral("否")));
}

// Runs the real program with a private runtime folder.
QProcess* startProgram(const QString& runtime, QObject* parent)
{
    auto* process = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(QUILLON_EXECUTABLE), {});
    return process;
}

TEST(SingleInstance, ASecondCopyExitsAtOnceAndAKilledOneLeavesNoLock)
{
    QTemporaryDir runtime;
    QObject owner;
    QProcess* first = startProgram(runtime.path(), &owner);
    ASSERT_TRUE(first->waitForStarted(10000));
    ASSERT_FALSE(first->waitForFinished(1500)) << "the first copy should keep running";

    QProcess* second = startProgram(runtime.path(), &owner);
    ASSERT_TRUE(second->waitForFinished(10000)) << "the second copy should end at once";
    EXPECT_EQ(second->exitCode(), 0);

    first->kill();  // leaves its lock file behind
    first->waitForFinished(5000);
    QProcess* third = startProgram(runtime.path(), &owner);
    EXPECT_FALSE(third->waitForFinished(1500)) << "a killed copy must not block the next start";
    third->kill();
    third->waitForFinished(5000);
}

// The icon decodes its pictures only when asked, and then gives what the
// shipped pictures give.
TEST(AppIcon, GivesTheShippedPicturesInEverySize)
{
    QIcon shipped;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        shipped.addFile(QStringLiteral(":/desktop/icons/quillon-%1.png").arg(size), QSize(size, size));
    const QIcon icon = desktop::AppIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), shipped.availableSizes());
    for (int size : {16, 48, 100, 256, 300}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(icon.actualSize(QSize(size, size)), shipped.actualSize(QSize(size, size)));
        EXPECT_EQ(icon.pixmap(size).toImage(), shipped.pixmap(size).toImage());
        EXPECT_EQ(icon.pixmap(size, QIcon::Disabled).toImage(), shipped.pixmap(size, QIcon::Disabled).toImage());
    }
}

}  // namespace
