#include "app/modWinInet.h"

namespace modWinInet {

HINTERNET SessionHandle = 0;
HINTERNET ConnectionHandle = 0;
bool IsConnected = false;
quint32 TransferType = 0;
bool CancelRequested = false;
int FolderTransferActive = 0;
int FocusTarget = 0;

void CloseHandles()
{
    if (ConnectionHandle != 0)
        inet::Library().InternetCloseHandle(ConnectionHandle);
    if (SessionHandle != 0)
        inet::Library().InternetCloseHandle(SessionHandle);
    ConnectionHandle = 0;
    SessionHandle = 0;
}

}  // namespace modWinInet
