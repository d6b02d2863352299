// Web file download.
#include "app/frmMain.h"

void frmMain::cmdWeb_Click() {}
