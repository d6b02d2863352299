// Connecting, disconnecting and the anonymous log-in tick box.
#include "app/frmMain.h"

void frmMain::cmdConnect_Click() {}
void frmMain::cmdDisConnect_Click() {}
void frmMain::chkAnon_Click() {}
