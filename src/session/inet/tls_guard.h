#pragma once
// The certificate side of encrypted FTP: verification against the CA store
// and the host name, the trust question when that fails, and the public
// keys the person trusted, pinned for the rest of the run.

#include "curl_loop.h"
#include "internet_api.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace inet::detail {

// The handler SetTrustHandler put in place (empty: trust nothing unverified).
TrustHandler& currentTrustHandler();

// What the handshakes of a request showed of the server.
struct TlsPeer {
    bool seen = false;      // a certificate arrived
    int verifyError = 0;    // the verifier's first complaint (X509_V_ERR_*); 0 none
    QString subject;
    QString issuer;
    QDateTime validFrom;
    QDateTime validUntil;
    QString fingerprint;    // SHA-256 of the certificate, hex pairs
    QByteArray pin;         // "sha256//" and the base64 SHA-256 of its public key
    QString version;        // "TLSv1.3"
};

class TlsGuard {
public:
    // server: "host:port", the key of a pinned certificate.
    explicit TlsGuard(QString server);

    // Sets the certificate options of the next request on easy: full
    // verification, or only the pinned key once the person trusted it.
    void apply(CURL* easy);
    // Forgets what earlier handshakes showed.
    void reset() { m_peer = TlsPeer(); }
    const TlsPeer& peer() const { return m_peer; }
    bool pinned() const;

    // Asks the trust handler about the certificate the last handshake
    // showed; a yes pins its public key for this server for the whole run.
    bool askTrust();

    // Called from the handshake; public only for the OpenSSL callbacks.
    TlsPeer& collecting() { return m_peer; }

private:
    QString m_server;
    TlsPeer m_peer;
};

}  // namespace inet::detail
