// Make, delete and rename, on the server or locally.
#include "app/frmMain.h"

void frmMain::cmdMdDir_Click() {}
void frmMain::cmdDelFile_Click() {}
void frmMain::cmdDelDir_Click() {}
void frmMain::cmdNameFile_Click() {}
void frmMain::cmdNameDir_Click() {}
