#include "help/HelpFile.h"

#include "app/toolkit.h"
#include "help/ProgramSearch.h"
#include "local/modCommon.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace help {
namespace {

QString& folderOverride()
{
    static QString folder;
    return folder;
}

}  // namespace

QStringList HelpLines()
{
    return {
        QStringLiteral("一、打开Internet会话"),
        QStringLiteral("1.选择“开始”——“会话”菜单；"),
        QStringLiteral("2.如果不利用代理服务器，直接点击“打开Internet会话”；"),
        QStringLiteral("3.如果利用代理服务器，输入地址和端口，点击“打开Internet会话”；"),
        QStringLiteral("4.退出会话窗口。"),
        QString(),
        QStringLiteral("二、连接FTP服务器"),
        QStringLiteral("1.输入FTP服务器域名或IP地址、端口（如没有其他信息，输入21即可）、用户名、口令；"),
        QStringLiteral("2.其他选项可以保留推荐值；"),
        QStringLiteral("3.点击“连接”。"),
        QString(),
        QStringLiteral("三、文件操作"),
        QStringLiteral("1.操作文件及目录针对的是选定目录，而不一定是打开的目录；"),
        QStringLiteral("2.删除目录只能删除空目录；"),
        QStringLiteral("3.删除目录或文件时须谨慎操作。"),
        QString(),
        QStringLiteral("四、网页文件"),
        QStringLiteral("1.非会话状态即可下载；"),
        QStringLiteral("2.输入有效的网页文件地址，点击“下载”即可。"),
        QString(),
        QStringLiteral("五、软件信息"),
        QStringLiteral("发行：Quillon 开发组"),
        QStringLiteral("电子邮件：support@quillon.example.org"),
        QStringLiteral("主页：https://quillon.example.org/"),
        QStringLiteral("即时通信：Quillon 用户群 20000"),
    };
}

bool IsSharedProgramFolder(const QString& programFolder)
{
    return QFileInfo(QDir::cleanPath(programFolder)).fileName() == QLatin1String("bin");
}

QString ChooseHelpFolder(const QString& programFolder, bool programFolderWritable, bool holdsHelpFile,
                         const QString& dataFolder)
{
    if (IsSharedProgramFolder(programFolder))
        return dataFolder;  // a text file among the programs of a bin/ folder belongs to no one
    return (programFolderWritable || holdsHelpFile) ? programFolder : dataFolder;
}

QString HelpFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    const QString program = toolkit::AppPath();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString folder = ChooseHelpFolder(program, QFileInfo(program).isWritable(),
                                            QFileInfo(modCommon::JoinPath(program, HelpFileName)).isFile(), data);
    if (folder == data)
        QDir().mkpath(data);
    return folder;
}

void OverrideHelpFolder(const QString& folder) { folderOverride() = folder; }

bool WriteHelpFileIfMissing(const QString& path)
{
    if (QFileInfo(path).isFile())
        return false;  // the user's own copy, possibly edited, stays in force
    QByteArray text;
    for (const QString& line : HelpLines())
        text += line.toLocal8Bit() + "\r\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text);
    return file.commit();
}

bool OpenHelpFile(const QString& path)
{
    const QFileInfo file(path);
    if (toolkit::OpenUrl(QUrl::fromLocalFile(file.absoluteFilePath())))
        return true;
    const QString editor = FindProgram(TextEditors());
    if (editor.isEmpty())
        return false;
    // The editor gets the bare name, resolved in the current directory,
    // unless that directory could not be made the file's folder.
    const bool inFolder = QDir::current() == file.absoluteDir();
    const QString argument = inFolder ? file.fileName() : QuoteArgument(file.absoluteFilePath());
    return toolkit::Shell(QuoteArgument(QFileInfo(editor).fileName()) + u' ' + argument);
}

}  // namespace help
