// Connecting, disconnecting and the anonymous log-in tick box.
#include "app/frmMain.h"

#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "session/PortText.h"
#include "session/SecureConnection.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace modWinInet;

namespace {

// The log-in directory as the library reports it, "/" when it knows none.
QString loginDirectoryOf(HINTERNET connection)
{
    const QString dir = inet::Library().FtpGetLoginDirectory(connection);
    return dir.isEmpty() ? QStringLiteral("/") : dir;
}

}  // namespace

void frmMain::cmdConnect_Click()
{
    if (IsConnected || SessionHandle == 0) {
        ShowStatus(QStringLiteral("须先打开Internet会话。"));
        return;
    }
    const QString server = txtServer->text();
    if (server.isEmpty()) {
        ShowStatus(QStringLiteral("输入FTP服务器的域名或IP地址!"));
        return;
    }
    const quint32 flags = chkPassive->checkState() != Qt::Unchecked ? inet::INTERNET_FLAG_PASSIVE : 0;
    const bool anonymous = chkAnon->checkState() == Qt::Checked;
    const QString user = anonymous ? QString() : txtUser->text();
    const QString password = anonymous ? QString() : txtPassword->text();
    const std::optional<quint16> port = session::PortFromText(txtPort->text());
    if (!port) {
        ShowStatus(QStringLiteral("端口号须在0到65535之间。"));
        txtPort->setFocus();
        return;
    }

    ConnectionHandle = inet::Library().InternetConnectA(SessionHandle, server, *port, user, password,
                                                        inet::INTERNET_SERVICE_FTP, flags, 0);
    if (ConnectionHandle == 0) {
        const quint32 error = inet::Library().GetLastError();
        IsConnected = false;
        if (error == inet::ERROR_INTERNET_NAME_NOT_RESOLVED) {
            ShowStatus(QStringLiteral("FTP服务器错误。"));
            txtServer->setFocus();
        } else if (error == inet::ERROR_INTERNET_INCORRECT_PASSWORD) {
            ShowStatus(QStringLiteral("用户名或口令错误。"));
            txtUser->setFocus();
        } else if (const std::optional<QString> hint = session::SecureConnectHint(error, server)) {
            ShowStatus(*hint);
            if (error == inet::ERROR_INTERNET_INVALID_OPERATION)
                chkPassive->setFocus();
            else
                txtServer->setFocus();
        } else {
            ReportInternetError(qint32(error), QStringLiteral("InternetConnect"));
        }
        return;
    }

    IsConnected = true;
    LoginDirectory = loginDirectoryOf(ConnectionHandle);
    session::ShowConnectionSecurity(staStatus, inet::Library().FtpGetSecurityInfo(ConnectionHandle));
    chkPassive->setEnabled(true);
    chkAnon->setEnabled(false);
    cmdConnect->setEnabled(false);
    cmdDisConnect->setEnabled(true);
    for (QLineEdit* box : {txtServer, txtPort, txtUser, txtPassword})
        box->setEnabled(false);
    EnableFileCommands(true);
    AddListingNodes(server);
    ListServerDirectory(QString());
    if (!ListingNames.isEmpty()) {
        AddListingNodes(server);
        staStatus->setText(2, QStringLiteral("连接中"));
        if (const std::optional<QString> hint = session::BinaryOnlyHint(IsConnected, server, TransferType))
            ShowStatus(*hint);
    }
}

void frmMain::cmdDisConnect_Click()
{
    if (!cmdDisConnect->isEnabled())
        return;
    if (ConnectionHandle != 0)
        inet::Library().InternetCloseHandle(ConnectionHandle);
    ConnectionHandle = 0;
    FolderTransferActive = 0;
    session::ShowConnectionSecurity(staStatus, {});
    ClearListings();
    tvwServer->removeNode(txtServer->text());
    IsConnected = false;
    LoginDirectory = QStringLiteral("/");
    cmdConnect->setEnabled(true);
    cmdDisConnect->setEnabled(false);
    for (QLineEdit* box : {txtServer, txtPort, txtUser, txtPassword})
        box->setEnabled(true);
    chkAnon->setEnabled(true);
    EnableFileCommands(false);
    staStatus->setText(2, SessionHandle != 0 ? QStringLiteral("会话中") : QString());
    ShowInternetDialog();
}

void frmMain::chkAnon_Click()
{
    if (chkAnon->checkState() == Qt::Checked) {
        SavedUserName = txtUser->text();
        txtUser->setText(QStringLiteral("Anonymous"));
    } else {
        txtUser->setText(SavedUserName);
    }
    txtPassword->clear();
}
