#include "session/frmInternet.h"

#include "app/FormScale.h"
#include "app/StatusPanels.h"
#include "app/frmMain.h"
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "session/ProxyAddress.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace modWinInet;
using toolkit::TwipsToPixels;

frmInternet::frmInternet(frmMain* main)
    : QDialog(main, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_main(main)
{
    setObjectName(QStringLiteral("frmInternet"));
    setFixedSize(TwipsToPixels(5310), TwipsToPixels(1890));

    fraInternet = new QGroupBox(QStringLiteral("Internet会话"), this);
    fraInternet->setObjectName(QStringLiteral("fraInternet"));
    fraInternet->setGeometry(toolkit::TwipsRect(120, 60, 2460, 1710));
    cmdInternetOpen = new QPushButton(QStringLiteral("打开Internet会话"), fraInternet);
    cmdInternetOpen->setObjectName(QStringLiteral("cmdInternetOpen"));
    cmdInternetOpen->setGeometry(toolkit::TwipsRect(150, 360, 2160, 480));
    cmdInternetClose = new QPushButton(QStringLiteral("关闭Internet会话"), fraInternet);
    cmdInternetClose->setObjectName(QStringLiteral("cmdInternetClose"));
    cmdInternetClose->setGeometry(toolkit::TwipsRect(150, 1020, 2160, 480));

    fraProxy = new QGroupBox(QStringLiteral("代理服务器"), this);
    fraProxy->setObjectName(QStringLiteral("fraProxy"));
    fraProxy->setGeometry(toolkit::TwipsRect(2700, 60, 2490, 1710));
    txtProxy = new QLineEdit(fraProxy);
    txtProxy->setObjectName(QStringLiteral("txtProxy"));
    txtProxy->setGeometry(toolkit::TwipsRect(840, 390, 1530, 360));
    txtProxyPort = new QLineEdit(fraProxy);
    txtProxyPort->setObjectName(QStringLiteral("txtProxyPort"));
    txtProxyPort->setGeometry(toolkit::TwipsRect(840, 1050, 1530, 360));
    lblProxy = new QLabel(QStringLiteral("地址："), fraProxy);
    lblProxy->setGeometry(toolkit::TwipsRect(120, 420, 700, 300));
    lblProxyPort = new QLabel(QStringLiteral("端口："), fraProxy);
    lblProxyPort->setGeometry(toolkit::TwipsRect(120, 1080, 700, 300));

    fraInternet->setAccessibleName(fraInternet->title());
    fraProxy->setAccessibleName(fraProxy->title());
    cmdInternetOpen->setAccessibleName(cmdInternetOpen->text());
    cmdInternetClose->setAccessibleName(cmdInternetClose->text());
    lblProxy->setBuddy(txtProxy);
    lblProxyPort->setBuddy(txtProxyPort);
    txtProxy->setAccessibleName(lblProxy->text());
    txtProxyPort->setAccessibleName(lblProxyPort->text());
    setTabOrder(cmdInternetOpen, cmdInternetClose);
    setTabOrder(cmdInternetClose, txtProxy);
    setTabOrder(txtProxy, txtProxyPort);

    connect(cmdInternetOpen, &QPushButton::clicked, this, &frmInternet::cmdInternetOpen_Click);
    connect(cmdInternetClose, &QPushButton::clicked, this, &frmInternet::cmdInternetClose_Click);
    formscale::GrowUntilCaptionsFit(this);
}

void frmInternet::Form_Load()
{
    setSessionButtons();
    setWindowIcon(m_main->windowIcon());
    setWindowTitle(toolkit::AppTitle());
    toolkit::CentreOver(this, m_main);
}

void frmInternet::setSessionButtons()
{
    cmdInternetOpen->setEnabled(SessionHandle == 0);
    cmdInternetClose->setEnabled(SessionHandle != 0);
}

void frmInternet::setPanel2(const QString& text) { m_main->staStatus->setText(2, text); }

void frmInternet::cmdInternetOpen_Click()
{
    if (SessionHandle != 0) {
        hide();
        return;
    }
    const QString agent = QString::fromLatin1(AgentName);
    if (!txtProxy->text().isEmpty()) {
        const QString proxy = session::ProxyWithPort(txtProxy->text(), txtProxyPort->text());
        SessionHandle = inet::Library().InternetOpenA(agent, inet::INTERNET_OPEN_TYPE_PROXY, proxy, {}, 0);
    }
    else
        SessionHandle = inet::Library().InternetOpenA(agent, inet::INTERNET_OPEN_TYPE_DIRECT, {}, {}, 0);
    if (SessionHandle != 0)
        setSessionButtons();
    else
        toolkit::MsgBox(QStringLiteral("不能打开Internet连接"), toolkit::vbCritical);
    hide();
    setPanel2(SessionHandle != 0 ? QStringLiteral("会话中") : QString());
}

void frmInternet::cmdInternetClose_Click()
{
    CloseHandles();
    IsConnected = false;
    CancelRequested = false;
    setSessionButtons();
    hide();
    setPanel2(QString());
}

void frmInternet::closeEvent(QCloseEvent* event)
{
    m_unloaded = true;
    event->accept();
    QDialog::closeEvent(event);
}
