#include "app/frmMain.h"

#include "app/AccessibleControls.h"
#include "app/GroupPanel.h"
#include "app/StatusPanels.h"
#include "app/toolkit.h"
#include "desktop/AppIdentity.h"
#include "session/inet/internet_api.h"
#include "local/DirListBox.h"
#include "local/DriveListBox.h"
#include "local/FileListBox.h"
#include "session/SecureConnection.h"
#include "session/frmInternet.h"
#include "web/modWeb.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QStorageInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

template <typename W>
W* named(W* widget, const char* objectName, const QString& accessibleName = {})
{
    widget->setObjectName(QLatin1String(objectName));
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
    return widget;
}

// A label that names its text box, for people and for assistive technology.
QLabel* captionFor(QWidget* parent, const char* objectName, const QString& caption, QWidget* box)
{
    auto* label = named(new QLabel(caption, parent), objectName);
    label->setBuddy(box);
    box->setAccessibleName(caption);
    return label;
}

QPushButton* button(QWidget* parent, const char* objectName, const QString& caption)
{
    return named(new QPushButton(caption, parent), objectName, caption);
}

// A folder picture with a small triangle, pointing down while the folder
// is open and right while it is closed, so the two differ at a glance.
QIcon folderPicture(const QIcon& folder, bool open)
{
    constexpr int kSize = 16;
    QPixmap picture = folder.pixmap(kSize, kSize);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF down({QPointF(8, 9), QPointF(16, 9), QPointF(12, 15)});
    const QPolygonF right({QPointF(9, 8), QPointF(15, 12), QPointF(9, 16)});
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(QColor(0x20, 0x20, 0x20));
    painter.drawPolygon(open ? down : right);
    return QIcon(picture);
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    desktop::ApplyIdentity(this);
    accessibility::InstallControlDescriptions();
    toolkit::KeepFocusVisible();
    createImages();
    createControls();
    createMenus();
    connectHandlers();
    connectKeys();
    resize(toolkit::TwipsToPixels(DesignWidthTwips), toolkit::TwipsToPixels(DesignHeightTwips));
    layoutControls();
    // While a library call blocks, the window repaints and its timers run;
    // input waits, and the command gate holds whatever else would start a
    // command. A hint given just before the call is painted at once.
    inet::SetBusyHandler([panels = QPointer<StatusPanels>(staStatus)] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
        if (panels)
            panels->paintPending();
    });
    session::InstallTrustQuestions();
}

frmMain::~frmMain() = default;

void frmMain::createImages()
{
    // Decoded when the tree first shows one, not while the window is built.
    const auto standard = [this](QStyle::StandardPixmap which) {
        return [this, which] { return style()->standardIcon(which); };
    };
    const auto folder = [this](QStyle::StandardPixmap which, bool open) {
        return [this, which, open] { return folderPicture(style()->standardIcon(which), open); };
    };
    imgPicture.add(QStringLiteral("root"), standard(QStyle::SP_DriveNetIcon));
    imgPicture.add(QStringLiteral("open"), folder(QStyle::SP_DirOpenIcon, true));
    imgPicture.add(QStringLiteral("closed"), folder(QStyle::SP_DirClosedIcon, false));
    imgPicture.add(QStringLiteral("file"), standard(QStyle::SP_FileIcon));
    imgPicture.add(QStringLiteral("leaf"), standard(QStyle::SP_FileLinkIcon));
}

void frmMain::createControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(central);
    createConnectionBand(central);
    createServerBand(central);
    createOptionBand(central);
    createLocalBand(central);
    createWebBand(central);
    staStatus = named(new StatusPanels(central), "staStatus");
}

void frmMain::createConnectionBand(QWidget* central)
{
    fraConnect = named(new QFrame(central), "fraConnect");
    txtServer = named(new QLineEdit(fraConnect), "txtServer");
    txtPort = named(new QLineEdit(fraConnect), "txtPort");
    txtUser = named(new QLineEdit(fraConnect), "txtUser");
    txtPassword = named(new QLineEdit(fraConnect), "txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    lblServer = captionFor(fraConnect, "lblServer", QStringLiteral("FTP服务器"), txtServer);
    lblPort = captionFor(fraConnect, "lblPort", QStringLiteral("端口"), txtPort);
    lblUser = captionFor(fraConnect, "lblUser", QStringLiteral("用户名"), txtUser);
    lblPassword = captionFor(fraConnect, "lblPassword", QStringLiteral("口令"), txtPassword);
    chkPassive = named(new QCheckBox(QStringLiteral("FTP反向对话"), fraConnect), "chkPassive",
                       QStringLiteral("FTP反向对话"));
    chkAnon = named(new QCheckBox(QStringLiteral("匿名登录"), fraConnect), "chkAnon", QStringLiteral("匿名登录"));
    cmdConnect = button(fraConnect, "cmdConnect", QStringLiteral("连接"));
    cmdDisConnect = button(fraConnect, "cmdDisConnect", QStringLiteral("断开"));

    QWidget* order[] = {txtServer, txtPort, txtUser, txtPassword, chkPassive, chkAnon, cmdConnect, cmdDisConnect};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmMain::createServerBand(QWidget* central)
{
    fraServer = named(new QGroupBox(QStringLiteral("FTP服务器"), central), "fraServer",
                      QStringLiteral("FTP服务器"));
    // The tree's hidden header reads as the tree's own name, not as a column "1".
    tvwServer = named(new ServerTree(fraServer), "tvwServer", QStringLiteral("FTP服务器"));
}

void frmMain::createOptionBand(QWidget* central)
{
    fraOption = named(new QFrame(central), "fraOption");
    // The two options and their label form one group, for assistive technology too.
    fraMode = named(new GroupPanel(fraOption), "fraMode", QStringLiteral("传输方式"));
    lblMode = named(new QLabel(QStringLiteral("传输方式"), fraMode), "lblMode");
    optBin = named(new QRadioButton(QStringLiteral("二进制"), fraMode), "optBin", QStringLiteral("二进制"));
    optAscii = named(new QRadioButton(QStringLiteral("文本"), fraMode), "optAscii", QStringLiteral("文本"));

    cmdPutFolder = button(fraOption, "cmdPutFolder", QStringLiteral("上传目录"));
    cmdGetFolder = button(fraOption, "cmdGetFolder", QStringLiteral("下载目录"));
    cmdPutFile = button(fraOption, "cmdPutFile", QStringLiteral("上传文件"));
    cmdGetFile = button(fraOption, "cmdGetFile", QStringLiteral("下载文件"));
    cmdNameDir = button(fraOption, "cmdNameDir", QStringLiteral("重命名目录"));
    cmdNameFile = button(fraOption, "cmdNameFile", QStringLiteral("重命名文件"));
    cmdMdDir = button(fraOption, "cmdMdDir", QStringLiteral("新建目录"));
    cmdDelDir = button(fraOption, "cmdDelDir", QStringLiteral("删除目录"));
    cmdDelFile = button(fraOption, "cmdDelFile", QStringLiteral("删除文件"));
    cmdCancel = button(fraOption, "cmdCancel", QStringLiteral("取消操作"));
    cmdDelDir->setToolTip(QStringLiteral("谨慎操作!"));
    cmdDelFile->setToolTip(QStringLiteral("谨慎操作!"));
}

void frmMain::createLocalBand(QWidget* central)
{
    fraLocal = named(new QGroupBox(QStringLiteral("本地计算机"), central), "fraLocal",
                     QStringLiteral("本地计算机"));
    drvLocal = named(new DriveListBox(fraLocal), "drvLocal", QStringLiteral("驱动器"));
    dirLocal = named(new DirListBox(fraLocal), "dirLocal", QStringLiteral("目录"));
    filLocal = named(new FileListBox(fraLocal), "filLocal", QStringLiteral("文件"));
    // On Linux a drop-down list is named by its label, so the drive list has one.
    lblDrive = named(new QLabel(QStringLiteral("驱动器"), fraLocal), "lblDrive");
    lblDrive->setBuddy(drvLocal);

    // The panes start on the drive and directory the process starts in.
    const QString start = QDir::currentPath();
    {
        const QSignalBlocker quiet(drvLocal);
        drvLocal->setCurrentIndex(std::max(0, drvLocal->findText(QStorageInfo(start).rootPath())));
    }
    const QSignalBlocker quiet(dirLocal);
    dirLocal->setPath(start);
    filLocal->setPath(dirLocal->path());
}

void frmMain::createWebBand(QWidget* central)
{
    fraWeb = named(new QGroupBox(QStringLiteral("网页文件"), central), "fraWeb", QStringLiteral("网页文件"));
    txtWeb = named(new QLineEdit(fraWeb), "txtWeb", QStringLiteral("网页文件"));
    cmdWeb = button(fraWeb, "cmdWeb", QStringLiteral("下载"));
    txtWeb->setText(modWeb::SampleAddress());
}

void frmMain::createMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("开始"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuInternet = mnuFile->addAction(QStringLiteral("会话"));
    mnuFileBar = mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(QStringLiteral("退出"));
    mnuHelp = menuBar()->addMenu(QStringLiteral("帮助"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuContent = mnuHelp->addAction(QStringLiteral("主题"));
    mnuContent->setShortcut(QKeySequence(Qt::Key_F1));
    mnuMode = mnuHelp->addAction(QStringLiteral("联网方式"));
    mnuHelpBar = mnuHelp->addSeparator();
    mnuAbount = mnuHelp->addAction(QStringLiteral("关于"));
    mnuInternet->setObjectName(QStringLiteral("mnuInternet"));
    mnuFileBar->setObjectName(QStringLiteral("mnuFileBar"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuContent->setObjectName(QStringLiteral("mnuContent"));
    mnuMode->setObjectName(QStringLiteral("mnuMode"));
    mnuHelpBar->setObjectName(QStringLiteral("mnuHelpBar"));
    mnuAbount->setObjectName(QStringLiteral("mnuAbount"));
}
