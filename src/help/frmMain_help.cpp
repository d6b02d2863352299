// The help text, the connection-state dialog and the About box.
#include "app/frmMain.h"

void frmMain::mnuContent_Click() {}
void frmMain::mnuMode_Click() {}
void frmMain::mnuAbount_Click() {}
