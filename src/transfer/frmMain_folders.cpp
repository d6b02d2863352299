// Folder download and upload walks.
#include "app/frmMain.h"

void frmMain::cmdGetFolder_Click() {}
void frmMain::DownloadFolderTree(QString&, QString&) {}
void frmMain::cmdPutFolder_Click() {}
void frmMain::UploadFolderTree(const QString&, const QString&) {}
