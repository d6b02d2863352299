// The help text, the connection-state dialog and the About box.
#include "app/frmMain.h"

#include "app/toolkit.h"
#include "help/HelpFile.h"
#include "help/frmAbout.h"
#include "local/modCommon.h"
#include "session/frmMode.h"

#include <QDir>
#include <QFileInfo>

void frmMain::mnuContent_Click()
{
    // Every step may fail on its own; the rest still runs. Only when nothing
    // could open the file does a hint say where it is, so F1 never ends in silence.
    const QString folder = help::HelpFolder();
    const QString path = modCommon::JoinPath(folder, help::HelpFileName);
    help::WriteHelpFileIfMissing(path);
    QDir::setCurrent(folder);
    if (help::OpenHelpFile(path))
        return;
    if (QFileInfo(path).isFile())
        ShowStatus(QStringLiteral("没有程序能打开帮助文件，它在：") + QDir::toNativeSeparators(path));
    else
        ShowStatus(QStringLiteral("帮助文件无法写入：") + QDir::toNativeSeparators(path));
}

void frmMain::mnuMode_Click()
{
    frmMode dialog(this);
    dialog.Form_Load();
    toolkit::ShowModal(&dialog);
}

void frmMain::mnuAbount_Click()
{
    frmAbout dialog(this);
    dialog.Form_Load();
    toolkit::ShowModal(&dialog);
}
