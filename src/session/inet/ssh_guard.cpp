#include "ssh_guard.h"

#include "tls_guard.h"

#include <curl/curl.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace inet::detail {

namespace {

QString keyTypeName(int type)
{
    switch (type) {
    case CURLKHTYPE_RSA1:
    case CURLKHTYPE_RSA:
        return QStringLiteral("ssh-rsa");
    case CURLKHTYPE_DSS:
        return QStringLiteral("ssh-dss");
    case CURLKHTYPE_ECDSA:
        return QStringLiteral("ecdsa-sha2");
    case CURLKHTYPE_ED25519:
        return QStringLiteral("ssh-ed25519");
    default:
        return QStringLiteral("?");
    }
}

int onHostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match, void* user)
{
    if (!found)
        return CURLKHSTAT_REJECT;
    const QByteArray key = found->len ? QByteArray(found->key, qsizetype(found->len))
                                      : QByteArray::fromBase64(QByteArray(found->key));
    return static_cast<SshGuard*>(user)->judge(int(found->keytype), key, int(match));
}

// known_hosts is created private to the user, as ssh itself would.
bool ensureKnownHostsFile()
{
    const QString file = knownHostsFile();
    if (QFile::exists(file))
        return true;
    const QString dir = QDir::homePath() + QStringLiteral("/.ssh");
    if (!QDir().mkpath(dir))
        return false;
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.close();
    return f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

}  // namespace

QString knownHostsFile()
{
    return QDir::homePath() + QStringLiteral("/.ssh/known_hosts");
}

SshGuard::SshGuard(QString server) : m_server(std::move(server)) {}

void SshGuard::apply(CURL* easy)
{
    const QByteArray file = knownHostsFile().toLocal8Bit();
    curl_easy_setopt(easy, CURLOPT_SSH_KNOWNHOSTS, file.constData());
    curl_easy_setopt(easy, CURLOPT_SSH_KEYFUNCTION, onHostKey);
    curl_easy_setopt(easy, CURLOPT_SSH_KEYDATA, this);
}

void SshGuard::reset()
{
    m_verdict = Verdict::None;
}

int SshGuard::judge(int keyType, const QByteArray& key, int match)
{
    m_keyType = keyTypeName(keyType);
    m_fingerprint = QStringLiteral("SHA256:") +
                    QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256)
                                            .toBase64(QByteArray::OmitTrailingEquals));
    if (match == CURLKHMATCH_OK) {
        m_verdict = Verdict::Accepted;
        return CURLKHSTAT_FINE;
    }
    if (match == CURLKHMATCH_MISMATCH) {
        m_verdict = Verdict::RefusedChanged;  // never a question: it may be an impostor
        return CURLKHSTAT_REJECT;
    }
    if (!m_trusted.isEmpty() && m_trusted == m_fingerprint && ensureKnownHostsFile()) {
        m_verdict = Verdict::Accepted;
        return CURLKHSTAT_FINE_ADD_TO_FILE;
    }
    m_verdict = Verdict::RefusedUnknown;
    return CURLKHSTAT_REJECT;
}

bool SshGuard::askTrust()
{
    const TrustHandler& handler = currentTrustHandler();
    if (!refusedUnknown() || !handler)
        return false;
    TrustQuestion q;
    q.kind = TrustQuestion::Kind::UnknownHostKey;
    q.server = m_server;
    q.keyType = m_keyType;
    q.fingerprint = m_fingerprint;
    if (!handler(q))
        return false;
    m_trusted = m_fingerprint;
    return true;
}

}  // namespace inet::detail
