// Single-file download and upload, and the transfer type.
#include "app/frmMain.h"

#include "app/TransferProgress.h"
#include "app/modWinInet.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"
#include "local/modCommon.h"
#include "session/SecureConnection.h"
#include "transfer/TransferPaths.h"

#include <QLineEdit>

using namespace modWinInet;

void frmMain::cmdGetFile_Click()
{
    ServerTree::Node* node = tvwServer->selectedNode();
    if (!IsConnected) {
        ShowStatus(QStringLiteral("未连接服务器!"));
        return;
    }
    if (!node) {
        ShowStatus(QStringLiteral("请在FTP服务器上选择一个要下载的文件!"));
        return;
    }
    const transfer::KeyParts parts = transfer::SplitKey(ServerTree::key(node));
    const QString localDir = dirLocal->list(dirLocal->listIndex());
    ShowStatus(QStringLiteral("开始下载文件!"));
    // A key without "/" (the root) has no folder part: the change shows its own hint.
    if (parts.folder.isEmpty())
        ChangeServerDirectory(QString());
    else
        ChangeServerDirectory(ServerPathOfKey(parts.folder.chopped(1)));
    if (!transfer::ConnectionOpen())
        return;  // the change's error report closed the connection

    bool done = false;
    quint32 error = 0;
    {
        TransferProgress progress(this);
        done = inet::Library().FtpGetFileA(ConnectionHandle, parts.name, localDir + '/' + parts.name, false,
                                           transfer::DownloadAttributes, TransferType, 0);
        error = done ? 0 : inet::Library().GetLastError();
    }
    filLocal->refresh();
    if (done)
        ShowStatus(modCommon::JoinPath(localDir, parts.name) + QStringLiteral("文件下载完成!"));
    else
        ReportInternetError(qint32(error), QStringLiteral("FtpGetFile"));
}

void frmMain::cmdPutFile_Click()
{
    ServerTree::Node* node = tvwServer->selectedNode();
    if (!IsConnected) {
        ShowStatus(QStringLiteral("未连接服务器!"));
        return;
    }
    if (!node || tvwServer->imageKey(node) == QLatin1String("file")) {
        ShowStatus(QStringLiteral("请在FTP服务器上选择一个要上传文件的文件夹!"));
        return;
    }
    const QString name = filLocal->fileName();
    if (name.isEmpty()) {
        ShowStatus(QStringLiteral("请在本地计算机选择要上传的文件"));
        return;
    }
    const QString key = ServerTree::key(node);
    const QString localFile = filLocal->path() + '/' + name;
    ShowStatus(QStringLiteral("开始上传文件！"));
    ChangeServerDirectory(ServerPathOfKey(key));
    if (!transfer::ConnectionOpen())
        return;  // the change's error report closed the connection

    bool done = false;
    quint32 error = 0;
    {
        TransferProgress progress(this);
        done = inet::Library().FtpPutFileA(ConnectionHandle, localFile, name, TransferType, 0);
        error = done ? 0 : inet::Library().GetLastError();
    }
    if (!done) {
        ReportInternetError(qint32(error), QStringLiteral("FtpPutFile"));
        return;
    }
    if (ServerTree::Node* target = tvwServer->node(key))
        RefreshServerNode(target);
    ShowStatus(QStringLiteral("文件上传完成！"));
}

void frmMain::optAscii_Click()
{
    TransferType = inet::FTP_TRANSFER_TYPE_ASCII;
    if (const std::optional<QString> hint = session::BinaryOnlyHint(IsConnected, txtServer->text(), TransferType))
        ShowStatus(*hint);
}
void frmMain::optBin_Click() { TransferType = inet::FTP_TRANSFER_TYPE_BINARY; }
