// Folder download and upload walks.
#include "app/frmMain.h"

#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "local/DirListBox.h"
#include "local/LocalEntries.h"
#include "local/modCommon.h"
#include "remote_tree/ServerPaths.h"
#include "transfer/TransferPaths.h"

#include <sys/stat.h>

using namespace modWinInet;

namespace {

// Makes a local folder (by a shown path) unless something of that name
// exists already; true when a folder stands there afterwards.
bool makeLocalFolder(const QString& path)
{
    const QByteArray bytes = local::PathBytes(path);
    ::mkdir(bytes.constData(), 0777);
    struct stat info {};
    return ::stat(bytes.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Handles one listed entry of a folder download: skips "." and "..", names
// and skips names that cannot be one local component, walks a folder, fetches
// a file.
void downloadEntry(frmMain& window, const inet::FindData& data, const QString& serverFolder,
                   const QString& localFolder)
{
    const QString name = modCommon::TrimAtNull(data.cFileName);
    if (transfer::IsDotEntryName(name))
        return;
    if (transfer::IsUnsafeEntryName(data.cFileName)) {
        window.ShowStatus(QStringLiteral("已跳过名称不安全的条目：") + transfer::ShownEntryName(data.cFileName));
        return;
    }
    QString remotePath = serverFolder + name;
    QString localPath = localFolder + name;
    if (data.dwFileAttributes & inet::FILE_ATTRIBUTE_DIRECTORY) {
        // A folder that cannot be made (a file holds its name, the path grew
        // too long) is skipped rather than walked into.
        if (makeLocalFolder(localPath))
            window.DownloadFolderTree(remotePath, localPath);
        else
            window.ShowStatus(QStringLiteral("无法创建本地文件夹：") + localPath);
        return;
    }
    window.ShowStatus(QStringLiteral("正在下载：") + name);
    inet::InternetApi& ftp = inet::Library();
    if (!ftp.FtpGetFileA(ConnectionHandle, remotePath, localPath, false, transfer::DownloadAttributes, TransferType, 0))
        window.ReportInternetError(qint32(ftp.GetLastError()), QStringLiteral("下载失败：") + name);
}

}  // namespace

void frmMain::cmdGetFolder_Click()
{
    if (!IsConnected) {
        ShowStatus(QStringLiteral("未连接服务器!"));
        return;
    }
    ServerTree::Node* node = tvwServer->selectedNode();
    if (!node || tvwServer->imageKey(node) == QLatin1String("file")) {
        ShowStatus(QStringLiteral("请选择要下载的服务器文件夹!"));
        return;
    }
    const QString key = ServerTree::key(node);
    const QString name = transfer::SplitKey(key).name;
    // The local folder is made from the node's name: a name such as ".."
    // would put the download beside the highlighted directory, not in it.
    if (!transfer::IsDownloadableFolderName(name)) {
        ShowStatus(QStringLiteral("文件夹名称不安全，未下载：") + transfer::ShownEntryName(name));
        return;
    }
    QString serverFolder = ServerPathOfKey(key);
    QString localFolder = dirLocal->list(dirLocal->listIndex()) + '/' + name;
    makeLocalFolder(localFolder);
    ShowStatus(QStringLiteral("开始下载本级文件夹"));
    CancelRequested = false;
    FolderTransferActive = 1;
    DownloadFolderTree(serverFolder, localFolder);
    ShowStatus(transfer::WalkStopped() ? QStringLiteral("本级文件夹下载已取消")
                                       : QStringLiteral("本级文件夹下载完成!"));
    FolderTransferActive = 0;
    dirLocal->refresh();
}

void frmMain::DownloadFolderTree(QString& ServerFolder, QString& LocalFolder)
{
    if (ServerFolder.isEmpty() || LocalFolder.isEmpty())
        return;
    ChangeServerDirectory(ServerFolder);
    if (!transfer::ConnectionOpen())
        return;  // the change's error report closed the connection
    if (!ServerFolder.endsWith(u'/'))
        ServerFolder += u'/';
    if (!LocalFolder.endsWith(u'/'))
        LocalFolder += u'/';

    inet::InternetApi& ftp = inet::Library();
    inet::FindData data;
    // The library reads the whole listing here, so the level may change
    // directory, download and list nested folders while it stays open.
    const inet::HINTERNET find = ftp.FtpFindFirstFileA(ConnectionHandle, ServerFolder + '*', data, 0, 0);
    if (find == 0)
        return;
    for (bool more = true; more;) {
        downloadEntry(*this, data, ServerFolder, LocalFolder);
        more = ftp.InternetFindNextFileA(find, data);
        toolkit::DoEvents();
        if (transfer::WalkStopped())
            break;
    }
    ftp.InternetCloseHandle(find);
}

void frmMain::cmdPutFolder_Click()
{
    ServerTree::Node* node = tvwServer->selectedNode();
    if (!IsConnected) {
        ShowStatus(QStringLiteral("未连接服务器!"));
        return;
    }
    if (!node || tvwServer->imageKey(node) == QLatin1String("file")) {
        ShowStatus(QStringLiteral("请选择服务器上的目标文件夹!"));
        return;
    }
    const QString key = ServerTree::key(node);
    ChangeServerDirectory(ServerPathOfKey(key));
    const QString source = dirLocal->list(dirLocal->listIndex());
    if (source.isEmpty() || !transfer::ConnectionOpen())
        return;
    const QString folderName = transfer::LocalFolderName(source);
    if (folderName.isEmpty()) {
        ShowStatus(QStringLiteral("不能上传根目录，请选择一个本地文件夹!"));
        return;
    }
    ShowStatus(QStringLiteral("开始上传文件夹"));
    CancelRequested = false;
    FolderTransferActive = 1;
    // Absolute targets: a command run during one of the walk's yields may
    // change the server's directory.
    UploadFolderTree(source, remote_tree::JoinServerPath(ServerPathOfKey(key), folderName));
    const bool stopped = transfer::WalkStopped();  // before the refresh, whose report may close the connection
    if (ServerTree::Node* target = tvwServer->node(key); target && transfer::ConnectionOpen())
        RefreshServerNode(target);
    ShowStatus(stopped ? QStringLiteral("文件夹上传已取消") : QStringLiteral("文件夹上传完成!"));
    FolderTransferActive = 0;
}

void frmMain::UploadFolderTree(const QString& SourceFolder, const QString& RemoteFolder)
{
    inet::InternetApi& ftp = inet::Library();
    // An existing folder is refused here; the uploads into it go ahead anyway.
    if (!ftp.FtpCreateDirectoryA(ConnectionHandle, RemoteFolder))
        ftp.GetLastError();
    const transfer::LocalFolderContent content = transfer::ReadLocalFolder(SourceFolder);
    // Each skipped entry is named, and stays in view for one yield like an uploaded one.
    for (const QString& name : content.skipped) {
        ShowStatus(QStringLiteral("已跳过无法上传的条目：") + SourceFolder + '/' + name);
        toolkit::DoEvents();
        if (transfer::WalkStopped())
            return;
    }
    for (const QString& name : content.files) {
        const QString localPath = SourceFolder + '/' + name;
        ShowStatus(QStringLiteral("正在上传：") + localPath);
        if (!ftp.FtpPutFileA(ConnectionHandle, localPath, RemoteFolder + '/' + name, TransferType, 0))
            ReportInternetError(qint32(ftp.GetLastError()), QStringLiteral("文件上传失败：") + localPath);
        toolkit::DoEvents();
        if (transfer::WalkStopped())
            return;
    }
    for (const QString& name : content.folders) {
        UploadFolderTree(SourceFolder + '/' + name, RemoteFolder + '/' + name);
        toolkit::DoEvents();
        if (transfer::WalkStopped())
            return;
    }
}
