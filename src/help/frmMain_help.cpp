// The help text, the connection-state dialog and the About box.
#include "app/frmMain.h"

#include "app/toolkit.h"
#include "help/HelpFile.h"
#include "help/frmAbout.h"
#include "local/modCommon.h"
#include "session/frmMode.h"

#include <QDir>

void frmMain::mnuContent_Click()
{
    // Every step may fail on its own; the rest still runs and nothing is shown.
    const QString folder = help::HelpFolder();
    const QString path = modCommon::JoinPath(folder, help::HelpFileName);
    help::WriteHelpFileIfMissing(path);
    QDir::setCurrent(folder);
    help::OpenHelpFile(path);
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
