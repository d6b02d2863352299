// Make directory and delete file or directory, on the server or locally.
#include "app/frmMain.h"

#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "file_ops/LocalFileOps.h"
#include "file_ops/frmFocus.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"
#include "local/modCommon.h"

using namespace modWinInet;

namespace {

const QString kFileImage = QStringLiteral("file");

// Why the server refused: its reply, or the library's error number.
QString serverReason(quint32 error)
{
    if (error != inet::ERROR_INTERNET_EXTENDED_ERROR)
        return QStringLiteral("Err: ") + QString::number(error);
    quint32 code = 0;
    quint32 length = 0;
    inet::Library().InternetGetLastResponseInfoA(code, nullptr, length);
    QString reply;
    inet::Library().InternetGetLastResponseInfoA(code, &reply, length);
    return reply;
}

// Makes a directory inside the selected folder of the server tree.
void makeServerDirectory(frmMain& w)
{
    const ServerTree::Node* selected = w.tvwServer->selectedNode();
    if (!IsConnected) {
        w.ShowStatus(QStringLiteral("未连接服务器!"));
        return;
    }
    if (!selected || w.tvwServer->imageKey(selected) == kFileImage) {
        w.ShowStatus(QStringLiteral("请在FTP服务器上选择一个要创建目录的文件夹!"));
        return;
    }
    const QString key = ServerTree::key(selected);
    const QString path = w.ServerPathOfKey(key);
    // The new folder's name is relative to this directory: nothing is made
    // anywhere else when it cannot be entered.
    if (!w.ChangeServerDirectory(path))
        return;
    const QString name = toolkit::InputBox(
        QStringLiteral("请输入要创建目录的名字\r\nFTP服务器当前路径是：") + path,
        QStringLiteral("在FTP服务器上创建目录"));
    if (name.isEmpty())
        return;
    // The name is relative: the server creates it in the folder set above.
    if (!inet::Library().FtpCreateDirectoryA(ConnectionHandle, name)) {
        const quint32 error = inet::Library().GetLastError();
        w.ShowStatus(QStringLiteral("目录创建失败！"));
        w.ReportInternetError(qint32(error), QStringLiteral("创建目录文件夹"));
        return;
    }
    w.ShowStatus(QStringLiteral("目录创建成功！"));
    // The error report of the directory change may have closed everything.
    if (ServerTree::Node* folder = w.tvwServer->node(key))
        w.RefreshServerNode(folder);
}

// Makes a directory inside the highlighted local directory.
void makeLocalDirectory(frmMain& w)
{
    const QString path = w.dirLocal->highlightedPath();
    const QString name = toolkit::InputBox(
        QStringLiteral("请输入要创建目录的名字\r\n本地计算机指定目录是：") + path,
        QStringLiteral("在本地计算机上创建目录"));
    if (name.isEmpty())
        return;
    if (const int error = fileops::MakeLocalDirectory(fileops::ChildPath(path, name))) {
        w.ShowStatus(QStringLiteral("创建目录失败：") + fileops::LocalErrorReason(error));
        return;
    }
    w.dirLocal->refresh();
}

// The selected node's parent is re-listed after a server deletion.
void deleteOnServer(frmMain& w, bool directory)
{
    const ServerTree::Node* selected = w.tvwServer->selectedNode();
    if (!IsConnected) {
        w.ShowStatus(QStringLiteral("未连接服务器!"));
        return;
    }
    ServerTree::Node* parent = selected ? ServerTree::parentNode(selected) : nullptr;
    const bool isFile = selected && w.tvwServer->imageKey(selected) == kFileImage;
    if (directory && (!parent || isFile)) {
        w.ShowStatus(QStringLiteral("请在FTP服务器上选择一个要删除的目录!"));
        return;
    }
    if (!directory && !isFile) {
        w.ShowStatus(QStringLiteral("请在FTP服务器上选择一个要删除的文件!"));
        return;
    }
    const QString path = w.ServerPathOfKey(ServerTree::key(selected));
    const bool done = directory ? inet::Library().FtpRemoveDirectoryA(ConnectionHandle, path)
                                : inet::Library().FtpDeleteFileA(ConnectionHandle, path);
    if (!done) {
        // Said, so that an earlier success hint does not stand for this one.
        w.ShowStatus((directory ? QStringLiteral("删除目录失败：") : QStringLiteral("删除文件失败：")) +
                     serverReason(inet::Library().GetLastError()));
        return;
    }
    w.ShowStatus(directory ? QStringLiteral("文件夹删除成功！") : QStringLiteral("文件删除成功！"));
    w.RefreshServerNode(parent);
}

void deleteLocalFile(frmMain& w)
{
    if (w.filLocal->listIndex() < 0)
        return;
    const QString path = modCommon::JoinPath(w.dirLocal->path(), w.filLocal->fileName());
    if (const int error = fileops::DeleteLocalFile(path))
        w.ShowStatus(QStringLiteral("删除文件失败：") + fileops::LocalErrorReason(error));
    w.filLocal->refresh();
}

void deleteLocalDirectory(frmMain& w)
{
    if (w.dirLocal->listIndex() < 0) {
        w.ShowStatus(QStringLiteral("不允许删除该目录"));
        return;
    }
    if (const int error = fileops::RemoveLocalDirectory(w.dirLocal->highlightedPath())) {
        w.ShowStatus(QStringLiteral("删除目录失败：") + fileops::LocalErrorReason(error));
        return;
    }
    w.dirLocal->refresh();
}

}  // namespace

void frmMain::cmdMdDir_Click()
{
    switch (fileops::ChooseTarget(this)) {
    case TargetServer:
        makeServerDirectory(*this);
        break;
    case TargetLocal:
        makeLocalDirectory(*this);
        break;
    default:
        break;
    }
}

void frmMain::cmdDelFile_Click()
{
    switch (fileops::ChooseTarget(this)) {
    case TargetServer:
        deleteOnServer(*this, false);
        break;
    case TargetLocal:
        deleteLocalFile(*this);
        break;
    default:
        break;
    }
}

void frmMain::cmdDelDir_Click()
{
    switch (fileops::ChooseTarget(this)) {
    case TargetServer:
        deleteOnServer(*this, true);
        break;
    case TargetLocal:
        deleteLocalDirectory(*this);
        break;
    default:
        break;
    }
}
