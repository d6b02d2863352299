#include "tls_guard.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <QCryptographicHash>
#include <QHash>

namespace inet {

namespace {

TrustHandler& trustHandler()
{
    return detail::currentTrustHandler();
}

QByteArray& caFile()
{
    static QByteArray file;
    return file;
}

// Public keys the person trusted this run, by "host:port". Never stored.
QHash<QString, QByteArray>& pins()
{
    static QHash<QString, QByteArray> map;
    return map;
}

}  // namespace

void SetTrustHandler(TrustHandler handler)
{
    trustHandler() = std::move(handler);
}

void SetCertificateAuthorities(const QString& pemFile)
{
    caFile() = pemFile.toLocal8Bit();
}

namespace detail {

TrustHandler& currentTrustHandler()
{
    static TrustHandler handler;
    return handler;
}

namespace {

int guardIndex()
{
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

TlsGuard* guardOf(const SSL* ssl)
{
    return static_cast<TlsGuard*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), guardIndex()));
}

QString nameText(const X509_NAME* name)
{
    BIO* bio = BIO_new(BIO_s_mem());
    X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    const QString text = QString::fromUtf8(data, qsizetype(size));
    BIO_free(bio);
    return text;
}

QDateTime timeOf(const ASN1_TIME* time)
{
    tm t{};
    if (!time || ASN1_TIME_to_tm(time, &t) != 1)
        return {};
    return QDateTime(QDate(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday), QTime(t.tm_hour, t.tm_min, t.tm_sec),
                     Qt::UTC);
}

template <typename Encode, typename Object>
QByteArray der(Encode encode, Object* object)
{
    const int size = encode(object, nullptr);
    if (size <= 0)
        return {};
    QByteArray bytes(size, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(bytes.data());
    encode(object, &out);
    return bytes;
}

void describe(X509* cert, TlsPeer& peer)
{
    peer.seen = true;
    peer.subject = nameText(X509_get_subject_name(cert));
    peer.issuer = nameText(X509_get_issuer_name(cert));
    peer.validFrom = timeOf(X509_get0_notBefore(cert));
    peer.validUntil = timeOf(X509_get0_notAfter(cert));
    const QByteArray certHash = QCryptographicHash::hash(der(i2d_X509, cert), QCryptographicHash::Sha256);
    peer.fingerprint = QString::fromLatin1(certHash.toHex(':').toUpper());
    const QByteArray keyHash =
        QCryptographicHash::hash(der(i2d_PUBKEY, X509_get0_pubkey(cert)), QCryptographicHash::Sha256);
    peer.pin = "sha256//" + keyHash.toBase64();
}

// Records the chain as it is verified. A pinned server's chain is not
// judged here: the pinned key decides.
int onVerify(int ok, X509_STORE_CTX* store)
{
    auto* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    TlsGuard* guard = ssl ? guardOf(ssl) : nullptr;
    if (!guard)
        return ok;
    TlsPeer& peer = guard->collecting();
    if (!ok && peer.verifyError == 0)
        peer.verifyError = X509_STORE_CTX_get_error(store);
    if (X509_STORE_CTX_get_error_depth(store) == 0)
        describe(X509_STORE_CTX_get_current_cert(store), peer);
    return guard->pinned() ? 1 : ok;
}

void onInfo(const SSL* ssl, int where, int)
{
    if (!(where & SSL_CB_HANDSHAKE_DONE))
        return;
    if (TlsGuard* guard = guardOf(ssl))
        guard->collecting().version = QString::fromLatin1(SSL_get_version(ssl));
}

CURLcode onSslContext(CURL*, void* context, void* user)
{
    auto* ctx = static_cast<SSL_CTX*>(context);
    SSL_CTX_set_ex_data(ctx, guardIndex(), user);
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, onVerify);
    SSL_CTX_set_info_callback(ctx, onInfo);
    return CURLE_OK;
}

TrustQuestion::Reason reasonFor(int verifyError)
{
    switch (verifyError) {
    case 0:
        return TrustQuestion::Reason::WrongHost;  // the chain was fine: the name was not
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        return TrustQuestion::Reason::SelfSigned;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return TrustQuestion::Reason::UnknownIssuer;
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return TrustQuestion::Reason::Expired;
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return TrustQuestion::Reason::NotYetValid;
    case X509_V_ERR_HOSTNAME_MISMATCH:
        return TrustQuestion::Reason::WrongHost;
    default:
        return TrustQuestion::Reason::Other;
    }
}

}  // namespace

TlsGuard::TlsGuard(QString server) : m_server(std::move(server)) {}

bool TlsGuard::pinned() const
{
    return pins().contains(m_server);
}

void TlsGuard::apply(CURL* easy)
{
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, onSslContext);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, this);
    curl_easy_setopt(easy, CURLOPT_SSL_SESSIONID_CACHE, 1L);  // data connections resume the control session
    if (!caFile().isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile().constData());
        curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
    }
    const auto pin = pins().constFind(m_server);
    if (pin == pins().cend())
        return;
    // Exactly the trusted key, whatever a chain or a name would say.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(easy, CURLOPT_PINNEDPUBLICKEY, pin->constData());
}

bool TlsGuard::askTrust()
{
    if (!m_peer.seen || !trustHandler())
        return false;
    TrustQuestion q;
    q.kind = TrustQuestion::Kind::Certificate;
    q.server = m_server;
    q.reason = reasonFor(m_peer.verifyError);
    if (q.reason == TrustQuestion::Reason::Other)
        q.detail = QString::fromUtf8(X509_verify_cert_error_string(m_peer.verifyError));
    q.subject = m_peer.subject;
    q.issuer = m_peer.issuer;
    q.validFrom = m_peer.validFrom;
    q.validUntil = m_peer.validUntil;
    q.fingerprint = m_peer.fingerprint;
    if (!trustHandler()(q))
        return false;
    pins().insert(m_server, m_peer.pin);
    return true;
}

}  // namespace detail
}  // namespace inet
