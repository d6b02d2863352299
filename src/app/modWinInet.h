#pragma once
// Process-wide state shared by every command: the session and connection
// handles, the connection flag, the transfer type, the folder-transfer
// flags and the target chooser's answer.

#include "session/inet/internet_api.h"

namespace modWinInet {

using inet::HINTERNET;

extern HINTERNET SessionHandle;      // the Internet session; 0 = none
extern HINTERNET ConnectionHandle;   // the FTP connection; 0 = none
extern bool IsConnected;             // a connection is established
extern quint32 TransferType;         // 1 = ASCII, 2 = binary
extern bool CancelRequested;         // the running folder transfer should stop
extern int FolderTransferActive;     // 1 while a folder transfer runs
extern int FocusTarget;              // target chooser: 0 cancelled, 1 server, 2 local

constexpr int TargetNone = 0;
constexpr int TargetServer = 1;
constexpr int TargetLocal = 2;

// Closes the connection, then the session, and forgets both handles.
void CloseHandles();

// The agent name given to the Internet library.
inline constexpr const char* AgentName = "FTP CLIENT";

}  // namespace modWinInet
