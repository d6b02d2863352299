#pragma once
// The person's side of encrypted connections: the trust question for a
// certificate or host key the library could not verify, the hints for
// refused secure log-ins, and the lock shown in the status bar.

#include "session/inet/internet_api.h"

#include <QString>

#include <optional>

class StatusPanels;

namespace session {

// The message box text asking whether to trust a server's identity.
QString TrustQuestionText(const inet::TrustQuestion& question);

// Puts the trust question to the person through the toolkit's message box
// (是 / 否, 否 the default) for every connection from now on.
void InstallTrustQuestions();

// The hint for a failed connect that concerns encryption, if the error is one.
std::optional<QString> SecureConnectHint(quint32 error, const QString& serverText);

// The hint that SFTP moves files in binary whatever the mode, when the
// connection is SFTP and ASCII is selected.
std::optional<QString> BinaryOnlyHint(bool connected, const QString& serverText, quint32 transferType);

// Shows the lock with its tooltip at the end of the status bar while the
// connection is encrypted; hides it otherwise.
void ShowConnectionSecurity(StatusPanels* statusBar, const inet::SecurityInfo& info);

}  // namespace session
