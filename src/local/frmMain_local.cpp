// Keeping the drive, directory and file panes in step.
#include "app/frmMain.h"

void frmMain::drvLocal_Change() {}
void frmMain::dirLocal_Change() {}
