#pragma once
// What the server box holds: a bare host for plain FTP, or an address with
// a scheme that picks an encrypted protocol and may carry its own port.

#include <QString>
#include <QtGlobal>

#include <optional>

namespace inet::detail {

enum class Scheme {
    Ftp,    // plain FTP
    Ftpes,  // FTP with AUTH TLS on the control connection, PROT P for data
    Ftps,   // FTP inside TLS from the first byte
    Sftp,   // SSH file transfer
};

struct ServerAddress {
    Scheme scheme = Scheme::Ftp;
    QString host;  // without brackets around an IPv6 address
    quint16 port = 21;
};

// The scheme's own port: 21, 21, 990, 22.
quint16 defaultPort(Scheme scheme);
bool isEncrypted(Scheme scheme);

// Reads the server text and the port given beside it. A port inside the
// text wins; otherwise 0, and for an address with a scheme also 21 (the
// port box's start-up value), mean the scheme's own port. Empty when the
// text names no host any resolver would take or an unknown scheme.
std::optional<ServerAddress> parseServerAddress(const QString& text, quint16 port);

}  // namespace inet::detail
