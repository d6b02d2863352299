#pragma once
// Downloading a single file from a web address into a local directory,
// through the Internet library's URL download service. Needs no session.

#include <QString>

namespace modWeb {

// The address the web box offers at start-up: a small plain-text file.
QString SampleAddress();

// Fetches address into directory under the address's last component (a
// query stays part of the name). Returns the local path on success, an
// empty text on failure.
QString DownloadWebFile(const QString& address, const QString& directory);

}  // namespace modWeb
