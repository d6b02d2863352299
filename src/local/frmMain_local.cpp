// Keeping the drive, directory and file panes in step.
#include "app/frmMain.h"

#include "local/DirListBox.h"
#include "local/DriveListBox.h"
#include "local/FileListBox.h"

namespace {

// The drive the panes return to when a chosen drive cannot be read.
const QString kFallbackDrive = QStringLiteral("/");

}  // namespace

void frmMain::drvLocal_Change()
{
    // Choosing the fallback drive raises this handler again, nested; when
    // even the fallback cannot be read the panes simply stay where they are.
    static bool fallingBack = false;
    if (dirLocal->setPath(DriveListBox::mountPoint(drvLocal->drive())) || fallingBack)
        return;
    fallingBack = true;
    drvLocal->setDrive(kFallbackDrive);
    dirLocal->setPath(DriveListBox::mountPoint(drvLocal->drive()));
    fallingBack = false;
}

void frmMain::dirLocal_Change() { filLocal->setPath(dirLocal->path()); }
