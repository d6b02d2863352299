// Single-file download and upload, and the transfer type.
#include "app/frmMain.h"

#include "app/modWinInet.h"

void frmMain::cmdGetFile_Click() {}
void frmMain::cmdPutFile_Click() {}
void frmMain::optAscii_Click() { modWinInet::TransferType = inet::FTP_TRANSFER_TYPE_ASCII; }
void frmMain::optBin_Click() { modWinInet::TransferType = inet::FTP_TRANSFER_TYPE_BINARY; }
