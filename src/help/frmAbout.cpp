#include "help/frmAbout.h"

#include "app/FormScale.h"
#include "app/toolkit.h"
#include "help/ProgramSearch.h"
#include "help/SystemInfo.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

using toolkit::TwipsToPixels;

namespace {

QLabel* label(QWidget* parent, const char* objectName, const QString& text, const QRect& at)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(objectName));
    l->setGeometry(at);
    l->setWordWrap(true);
    return l;
}

QPushButton* button(QWidget* parent, const char* objectName, const QString& caption, const QString& name)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(objectName));
    b->setAccessibleName(name);
    return b;
}

const QColor kGreen(0x00, 0xFF, 0x00);
const QColor kBlack(0, 0, 0);

}  // namespace

const QString frmAbout::HomePageAddress = QStringLiteral("https://quillon.example.org/");

frmAbout::frmAbout(QWidget* main)
    : QDialog(main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_main(main)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(TwipsToPixels(6300), TwipsToPixels(4050));
    setMouseTracking(true);
    createLabels();
    createSeparator();

    cmdOK = button(this, "cmdOK", QStringLiteral("OK"), QStringLiteral("OK"));
    cmdOK->setGeometry(toolkit::TwipsRect(4800, 2700, 1260, 375));
    cmdOK->setDefault(true);
    cmdSysInfo = button(this, "cmdSysInfo", QStringLiteral("&System Info..."), QStringLiteral("System Info..."));
    cmdSysInfo->setGeometry(toolkit::TwipsRect(4800, 3180, 1260, 375));
    // Both buttons as wide as the longer caption needs, growing leftwards
    // up to the disclaimer; a larger font grows the whole dialog instead.
    const int room = cmdOK->geometry().right() - lblDisclaimer->geometry().right() - TwipsToPixels(120);
    const int width = std::min(room, std::max({cmdOK->width(), cmdOK->sizeHint().width(),
                                               cmdSysInfo->sizeHint().width()}));
    for (QPushButton* b : {cmdOK, cmdSysInfo})
        b->setGeometry(b->geometry().right() + 1 - width, b->y(), width, b->height());
    setTabOrder(cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, lblCopyright);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    formscale::GrowUntilCaptionsFit(this);
}

void frmAbout::createLabels()
{
    picIcon = label(this, "picIcon", QString(), toolkit::TwipsRect(240, 240, 540, 540));
    picIcon->setAccessibleName(QStringLiteral("程序图标"));
    lblTitle = label(this, "lblTitle", QStringLiteral("Application Title"), toolkit::TwipsRect(1050, 240, 5000, 480));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = label(this, "lblVersion", QStringLiteral("Version"), toolkit::TwipsRect(1050, 780, 5000, 270));
    lblDescription = label(this, "lblDescription",
                           QStringLiteral("打开会话(若通过代理服务器，则输入其地址)；输入FTP服务器域名或IP、端口、"
                                          "用户名及密码，连接服务器；选择文件及目标目录执行操作。"),
                           toolkit::TwipsRect(1050, 1125, 5000, 1170));
    lblDisclaimer = label(this, "lblDisclaimer",
                          QStringLiteral("警告：本程序按“原样”提供，不附带任何明示或暗示的担保。"
                                         "因使用本程序而造成的任何损失，作者概不负责。"),
                          toolkit::TwipsRect(255, 2700, 4350, 840));
    lblCopyright = label(this, "lblCopyright", QStringLiteral("版权所有 © Quillon 开发组"),
                         toolkit::TwipsRect(255, 3600, 4350, 300));
    lblCopyright->setAccessibleName(lblCopyright->text());
    lblCopyright->setAccessibleDescription(QStringLiteral("打开主页 ") + HomePageAddress);
    lblCopyright->setToolTip(HomePageAddress);
    lblCopyright->setCursor(Qt::PointingHandCursor);
    lblCopyright->setFocusPolicy(Qt::TabFocus);  // reachable without a mouse: Enter or Space opens it
    lblCopyright->setMouseTracking(true);
    lblCopyright->installEventFilter(this);
}

void frmAbout::createSeparator()
{
    // An etched line: grey with white one pixel below it.
    const QColor colours[2] = {QColor(0xFF, 0xFF, 0xFF), QColor(0x80, 0x80, 0x80)};
    const int top = TwipsToPixels(2490);
    for (int i = 0; i < 2; ++i) {
        Line1[i] = new QFrame(this);
        Line1[i]->setObjectName(QStringLiteral("Line1_%1").arg(i));
        Line1[i]->setGeometry(TwipsToPixels(105), top + (i == 0 ? 1 : 0), TwipsToPixels(6090), 1);
        Line1[i]->setAutoFillBackground(true);
        QPalette palette = Line1[i]->palette();
        palette.setColor(QPalette::Window, colours[i]);
        Line1[i]->setPalette(palette);
    }
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("关于"));
    setWindowIcon(m_main->windowIcon());
    picIcon->setPixmap(m_main->windowIcon().pixmap(TwipsToPixels(480)));
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(toolkit::AppMajor())
                            .arg(toolkit::AppMinor())
                            .arg(toolkit::AppRevision()));
    lblTitle->setText(m_main->windowTitle());
    formscale::GrowUntilCaptionsFit(this);
    toolkit::CentreOver(this, m_main);
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo()
{
    const QString program = help::SystemInfoProgram();
    if (!program.isEmpty() && toolkit::Shell(help::QuoteArgument(program)))
        return;
    toolkit::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), toolkit::vbOKOnly);
}

void frmAbout::Form_MouseMove() { setCopyrightColour(kBlack); }

void frmAbout::lblCopyright_MouseMove() { setCopyrightColour(kGreen); }

void frmAbout::lblCopyright_Click() { toolkit::OpenUrl(QUrl(HomePageAddress)); }

void frmAbout::setCopyrightColour(QColor colour)
{
    QPalette palette = lblCopyright->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblCopyright->setPalette(palette);
}

void frmAbout::mouseMoveEvent(QMouseEvent* event)
{
    // Moves over a child reach here too, passed up from it; only the
    // dialog's own surface counts.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblCopyright) {
        switch (event->type()) {
        case QEvent::MouseMove:
            lblCopyright_MouseMove();
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                lblCopyright->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
                lblCopyright_Click();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                lblCopyright_Click();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
