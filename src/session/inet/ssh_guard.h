#pragma once
// The host-key side of SFTP: the server's key checked against the user's
// ~/.ssh/known_hosts as ssh does, an unknown key put to the person and, when
// trusted, written there; a changed key refused.

#include "curl_loop.h"
#include "internet_api.h"

#include <QString>

namespace inet::detail {

class SshGuard {
public:
    // server: "host:port" as shown in the trust question.
    explicit SshGuard(QString server);

    // Sets the host-key options of the next request on easy.
    void apply(CURL* easy);
    // Forgets what the last handshake showed (not a key the person trusted).
    void reset();

    // Whether the last handshake was refused for a key unknown to known_hosts,
    // or for one that differs from the key recorded there.
    bool refusedUnknown() const { return m_verdict == Verdict::RefusedUnknown; }
    bool refusedChanged() const { return m_verdict == Verdict::RefusedChanged; }
    // Asks the trust handler about the unknown key; a yes lets the next
    // handshake record it in known_hosts.
    bool askTrust();

    QString keyType() const { return m_keyType; }
    QString fingerprint() const { return m_fingerprint; }  // "SHA256:..."

    // Called from libcurl's host-key callback; returns a curl_khstat.
    int judge(int keyType, const QByteArray& key, int match);

private:
    enum class Verdict { None, Accepted, RefusedUnknown, RefusedChanged };

    QString m_server;
    QString m_keyType;
    QString m_fingerprint;
    QString m_trusted;  // the fingerprint the person trusted
    Verdict m_verdict = Verdict::None;
};

// ~/.ssh/known_hosts of the user running the program.
QString knownHostsFile();

}  // namespace inet::detail
