#include "app/frmMain.h"

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
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

// Band geometry and control positions, in twips.
constexpr int kBandLeft = 45;
constexpr int kBandWidth = 15660;
constexpr int kDesignWidth = 15750;
constexpr int kDesignHeight = 11850;
constexpr int kStatusHeight = 330;

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

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    desktop::ApplyIdentity(this);
    createImages();
    createControls();
    createMenus();
    connectHandlers();
    resize(toolkit::TwipsToPixels(kDesignWidth), toolkit::TwipsToPixels(kDesignHeight));
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
    const QStyle* s = style();
    imgPicture.add(QStringLiteral("root"), s->standardIcon(QStyle::SP_DriveNetIcon));
    imgPicture.add(QStringLiteral("open"), s->standardIcon(QStyle::SP_DirOpenIcon));
    imgPicture.add(QStringLiteral("closed"), s->standardIcon(QStyle::SP_DirClosedIcon));
    imgPicture.add(QStringLiteral("file"), s->standardIcon(QStyle::SP_FileIcon));
    imgPicture.add(QStringLiteral("leaf"), s->standardIcon(QStyle::SP_FileLinkIcon));
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
    fraConnect->setGeometry(toolkit::TwipsRect(kBandLeft, 0, kBandWidth, 615));
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

    lblServer->setGeometry(toolkit::TwipsRect(120, 180, 1080, 300));
    txtServer->setGeometry(toolkit::TwipsRect(1200, 135, 2400, 360));
    lblPort->setGeometry(toolkit::TwipsRect(3720, 180, 480, 300));
    txtPort->setGeometry(toolkit::TwipsRect(4200, 135, 780, 360));
    lblUser->setGeometry(toolkit::TwipsRect(5100, 180, 720, 300));
    txtUser->setGeometry(toolkit::TwipsRect(5820, 135, 1680, 360));
    lblPassword->setGeometry(toolkit::TwipsRect(7620, 180, 480, 300));
    txtPassword->setGeometry(toolkit::TwipsRect(8100, 135, 1680, 360));
    chkPassive->setGeometry(toolkit::TwipsRect(9900, 150, 1740, 330));
    chkAnon->setGeometry(toolkit::TwipsRect(11700, 150, 1380, 330));
    cmdConnect->setGeometry(toolkit::TwipsRect(13140, 105, 1200, 420));
    cmdDisConnect->setGeometry(toolkit::TwipsRect(14400, 105, 1200, 420));

    QWidget* order[] = {txtServer, txtPort, txtUser, txtPassword, chkPassive, chkAnon, cmdConnect, cmdDisConnect};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmMain::createServerBand(QWidget* central)
{
    fraServer = named(new QGroupBox(QStringLiteral("FTP服务器"), central), "fraServer",
                      QStringLiteral("FTP服务器"));
    fraServer->setGeometry(toolkit::TwipsRect(kBandLeft, 630, kBandWidth, 4530));
    tvwServer = named(new ServerTree(fraServer), "tvwServer", QStringLiteral("FTP服务器"));
    tvwServer->setGeometry(toolkit::TwipsRect(90, 270, kBandWidth - 180, 4530 - 360));
}

void frmMain::createOptionBand(QWidget* central)
{
    fraOption = named(new QFrame(central), "fraOption");
    fraOption->setGeometry(toolkit::TwipsRect(kBandLeft, 5145, kBandWidth, 615));
    lblMode = named(new QLabel(QStringLiteral("传输方式"), fraOption), "lblMode");
    optBin = named(new QRadioButton(QStringLiteral("二进制"), fraOption), "optBin", QStringLiteral("二进制"));
    optAscii = named(new QRadioButton(QStringLiteral("文本"), fraOption), "optAscii", QStringLiteral("文本"));
    lblMode->setGeometry(toolkit::TwipsRect(120, 180, 960, 300));
    optBin->setGeometry(toolkit::TwipsRect(1080, 150, 1000, 330));
    optAscii->setGeometry(toolkit::TwipsRect(2100, 150, 840, 330));

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

    QPushButton* row[] = {cmdPutFolder, cmdGetFolder, cmdPutFile, cmdGetFile, cmdNameDir,
                          cmdNameFile, cmdMdDir, cmdDelDir, cmdDelFile, cmdCancel};
    int left = 3060;
    for (QPushButton* b : row) {
        b->setGeometry(toolkit::TwipsRect(left, 105, 1200, 420));
        left += 1255;
    }
}

void frmMain::createLocalBand(QWidget* central)
{
    fraLocal = named(new QGroupBox(QStringLiteral("本地计算机"), central), "fraLocal",
                     QStringLiteral("本地计算机"));
    fraLocal->setGeometry(toolkit::TwipsRect(kBandLeft, 5760, kBandWidth, 4290));
    drvLocal = named(new DriveListBox(fraLocal), "drvLocal", QStringLiteral("驱动器"));
    dirLocal = named(new DirListBox(fraLocal), "dirLocal", QStringLiteral("目录"));
    filLocal = named(new FileListBox(fraLocal), "filLocal", QStringLiteral("文件"));
    // On Linux a drop-down list is named by its label, so the drive list has one.
    auto* lblDrive = named(new QLabel(QStringLiteral("驱动器"), fraLocal), "lblDrive");
    lblDrive->setBuddy(drvLocal);
    lblDrive->setGeometry(toolkit::TwipsRect(120, 330, 900, 300));
    drvLocal->setGeometry(toolkit::TwipsRect(1020, 300, 5100, 360));
    dirLocal->setGeometry(toolkit::TwipsRect(120, 720, 6000, 3450));
    filLocal->setGeometry(toolkit::TwipsRect(6240, 300, kBandWidth - 6360, 3870));

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
    fraWeb->setGeometry(toolkit::TwipsRect(kBandLeft, 10080, kBandWidth, 615));
    txtWeb = named(new QLineEdit(fraWeb), "txtWeb", QStringLiteral("网页文件"));
    cmdWeb = button(fraWeb, "cmdWeb", QStringLiteral("下载"));
    txtWeb->setText(modWeb::SampleAddress());
    txtWeb->setGeometry(toolkit::TwipsRect(120, 225, 14100, 345));
    cmdWeb->setGeometry(toolkit::TwipsRect(14340, 195, 1200, 390));
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
