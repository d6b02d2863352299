#pragma once
// The one table that turns libcurl results and FTP replies into the
// library's last-error numbers.

#include <QByteArray>
#include <QtGlobal>

namespace inet::detail {

// Where a request failed: logging in, or an operation after log-in.
enum class Stage { Login, Operation };

// The error number for a libcurl result code (CURLcode as int) and the code
// of the server's last error reply in that request (0 when none).
// 0 for success.
quint32 errorFor(int curlCode, int errorReplyCode, Stage stage);

// Whether a failed plain log-in was refused because the server takes
// encrypted log-ins only: 534, or a 530 or 550 reply that names TLS, SSL
// or encryption.
bool refusesPlainLogin(quint32 error, int replyCode, const QByteArray& replyText);

// True for the numbers that come with a server reply (12003).
inline bool carriesReply(quint32 error) { return error == 12003; }

}  // namespace inet::detail
