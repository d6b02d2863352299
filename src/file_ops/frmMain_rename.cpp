// Rename file and rename directory, on the server or locally. Every branch
// past the chooser ends with one closing hint.
#include "app/frmMain.h"

#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "file_ops/LocalFileOps.h"
#include "file_ops/frmFocus.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"

using namespace modWinInet;

namespace {

const QString kDone = QStringLiteral("重命名操作完成！");
const QString kCancelled = QStringLiteral("重命名操作已取消");
const QString kBusy = QStringLiteral("正在重命名...");

// Asks for the new name; a null text when the answer is blank (cancelled).
QString askNewName(const QString& title, const QString& oldName)
{
    const QString answer = toolkit::InputBox(QStringLiteral("请输入新的名称："), title, oldName);
    return fileops::IsBlankName(answer) ? QString() : answer;
}

// Renames the selected server node; returns the closing hint.
QString renameOnServer(frmMain& w, bool directory)
{
    const ServerTree::Node* selected = w.tvwServer->selectedNode();
    if (!IsConnected)
        return QStringLiteral("未建立有效的FTP连接！");
    const QString image = selected ? w.tvwServer->imageKey(selected) : QString();
    const bool fits = directory ? (image == QLatin1String("open") || image == QLatin1String("closed"))
                                : image == QLatin1String("file");
    if (!fits)
        return directory ? QStringLiteral("请选择要重命名的文件夹！") : QStringLiteral("请选择要重命名的文件！");

    const QString parentKey = ServerTree::key(ServerTree::parentNode(selected));
    const QString oldPath = w.ServerPathOfKey(ServerTree::key(selected));
    const QString answer = askNewName(QStringLiteral("在FTP服务器重命名"), fileops::LastPiece(oldPath, u'/'));
    if (answer.isNull())
        return kCancelled;
    // The answer goes in as typed: a "/" in it moves the item.
    const QString newPath = fileops::ReplaceLastPiece(oldPath, u'/', answer);
    w.ShowStatus(kBusy);
    if (inet::Library().FtpRenameFileA(ConnectionHandle, oldPath, newPath)) {
        if (ServerTree::Node* parent = w.tvwServer->node(parentKey))
            w.RefreshServerNode(parent);
    } else {
        w.ReportInternetError(qint32(inet::Library().GetLastError()), QStringLiteral("FtpRenameFile"));
    }
    return kDone;
}

// Renames the highlighted local directory. When it holds the open directory,
// the pane follows it to its new place.
QString renameLocalDirectory(frmMain& w)
{
    const QString oldPath = w.dirLocal->highlightedPath();
    const QString answer = askNewName(QStringLiteral("在本地机重命名"), fileops::LastPiece(oldPath, u'/'));
    if (answer.isNull())
        return kCancelled;
    const QString newPath = fileops::ReplaceLastPiece(oldPath, u'/', answer);
    w.ShowStatus(kBusy);
    if (const int error = fileops::RenameLocalItem(oldPath, newPath))
        return QStringLiteral("重命名失败：") + fileops::LocalErrorReason(error);
    const QString open = w.dirLocal->path();
    const bool holdsOpen = w.dirLocal->listIndex() < 0 && newPath != oldPath;
    if (!holdsOpen || !w.dirLocal->setPath(newPath + open.mid(oldPath.size())))
        w.dirLocal->refresh();
    return kDone;
}

QString renameLocalFile(frmMain& w)
{
    if (w.filLocal->listIndex() < 0)
        return QStringLiteral("请选择要重命名的文件！");
    const QString oldName = w.filLocal->fileName();
    const QString answer = askNewName(QStringLiteral("在本地机重命名"), oldName);
    if (answer.isNull())
        return kCancelled;
    const QString folder = w.filLocal->path();
    w.ShowStatus(kBusy);
    const int error = fileops::RenameLocalItem(fileops::ChildPath(folder, oldName), fileops::ChildPath(folder, answer));
    if (error)
        return QStringLiteral("重命名失败：") + fileops::LocalErrorReason(error);
    w.filLocal->refresh();
    return kDone;
}

}  // namespace

void frmMain::cmdNameFile_Click()
{
    const int target = fileops::ChooseTarget(this);
    if (target == TargetNone)
        return;
    ShowStatus(target == TargetServer ? renameOnServer(*this, false) : renameLocalFile(*this));
}

void frmMain::cmdNameDir_Click()
{
    const int target = fileops::ChooseTarget(this);
    if (target == TargetNone)
        return;
    ShowStatus(target == TargetServer ? renameOnServer(*this, true) : renameLocalDirectory(*this));
}
