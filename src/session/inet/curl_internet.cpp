#include "curl_internet.h"

#include <curl/curl.h>

#include <QRegularExpression>

// libcurl brings GnuTLS in through libraries this program never calls (LDAP,
// RTMP). Started as it loads, GnuTLS reads its settings and keeps 0.7 MiB for
// nothing; with this answer (what GnuTLS's GNUTLS_SKIP_GLOBAL_INIT defines in
// a program) it waits until a library asks for it, as those two do.
extern "C" [[gnu::visibility("default")]] int _gnutls_global_init_skip()
{
    return 1;
}

namespace inet {

namespace {

InternetApi* g_override = nullptr;

// One global libcurl initialisation for the process, before any handle.
void initCurlOnce()
{
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    Q_UNUSED(done);
}

// The proxy for FTP out of the text as typed: "host:port", "scheme://host:port",
// or a per-protocol list such as "ftp=host:port http=host:port".
QByteArray proxyFromText(const QString& text)
{
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts);
    QString chosen = parts.isEmpty() ? QString() : parts.first();
    for (const QString& prefix : {QStringLiteral("ftp="), QStringLiteral("http=")}) {
        for (const QString& part : parts) {
            if (part.startsWith(prefix, Qt::CaseInsensitive))
                return part.mid(prefix.size()).toUtf8();
        }
    }
    return chosen.toUtf8();
}

}  // namespace

InternetApi& Library()
{
    if (g_override)
        return *g_override;
    static const std::unique_ptr<InternetApi> real = CreateCurlInternet();
    return *real;
}

void SetLibrary(InternetApi* api)
{
    g_override = api;
}

std::unique_ptr<InternetApi> CreateCurlInternet()
{
    return std::make_unique<detail::CurlInternet>();
}

namespace detail {

CurlInternet::CurlInternet()
{
    initCurlOnce();
}

CurlInternet::~CurlInternet() = default;

HINTERNET CurlInternet::add(Object object)
{
    HINTERNET handle = m_nextHandle;
    do {
        handle += 4;
    } while (handle == 0 || m_objects.count(handle));
    m_nextHandle = handle;
    m_objects.emplace(handle, std::move(object));
    return handle;
}

ConnectionState* CurlInternet::connection(HINTERNET handle)
{
    const auto it = m_objects.find(handle);
    if (it == m_objects.end())
        return nullptr;
    return std::get_if<ConnectionState>(&it->second);
}

bool CurlInternet::fail(quint32 error)
{
    m_lastError = error;
    return false;
}

bool CurlInternet::finish(ConnectionState& c, quint32 error)
{
    m_lastReply = c.link->reportReply();
    m_lastError = error;
    return error == 0;
}

HINTERNET CurlInternet::InternetOpenA(const QString& agent, quint32 accessType, const QString& proxy,
                                      const QString& proxyBypass, quint32 flags)
{
    Q_UNUSED(agent);
    Q_UNUSED(proxyBypass);
    Q_UNUSED(flags);
    m_lastError = 0;
    SessionState session;
    if (accessType == INTERNET_OPEN_TYPE_PROXY) {
        session.proxy = proxyFromText(proxy);
        if (session.proxy.isEmpty() || hasCommandBreak(proxy)) {
            fail(ERROR_INTERNET_INVALID_OPTION);
            return 0;
        }
    }
    return add(std::move(session));
}

HINTERNET CurlInternet::InternetConnectA(HINTERNET session, const QString& server, quint16 port,
                                         const QString& user, const QString& password, quint32 service,
                                         quint32 flags, quintptr context)
{
    Q_UNUSED(context);
    m_lastError = 0;
    const auto it = m_objects.find(session);
    const SessionState* s = it == m_objects.end() ? nullptr : std::get_if<SessionState>(&it->second);
    if (!s)
        return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE), 0;
    if (service != INTERNET_SERVICE_FTP)
        return fail(ERROR_INTERNET_INVALID_OPTION), 0;
    // A host name no resolver would take fails as unresolved, and nothing is sent.
    const std::optional<ServerAddress> address = parseServerAddress(server, port);
    if (!address)
        return fail(ERROR_INTERNET_NAME_NOT_RESOLVED), 0;
    if (hasCommandBreak(user) || hasCommandBreak(password))
        return fail(ERROR_INVALID_NAME), 0;
    // Active data connections would come from the server straight back to
    // this machine, past the proxy: refused before anything is sent.
    if (!s->proxy.isEmpty() && !(flags & INTERNET_FLAG_PASSIVE))
        return fail(ERROR_INTERNET_INVALID_OPERATION), 0;
    // This libcurl never completes the TLS handshake of an active data
    // connection: refused at once rather than hanging each transfer.
    const bool ftpOverTls = address->scheme == Scheme::Ftpes || address->scheme == Scheme::Ftps;
    if (ftpOverTls && !(flags & INTERNET_FLAG_PASSIVE))
        return fail(ERROR_INTERNET_INVALID_OPERATION), 0;
    LinkTarget target{address->host.toUtf8(), address->port, user.toUtf8(), password.toUtf8(),
                      (flags & INTERNET_FLAG_PASSIVE) != 0, s->proxy, address->scheme};
    ConnectionState c;
    c.session = session;
    c.link = std::make_unique<FtpLink>(std::move(target));
    c.link->setProgress(&m_progress);
    if (!finish(c, c.link->login()))
        return 0;
    c.loginDir = c.names.decodePath(c.link->loginDir());
    c.cwd = c.loginDir;
    return add(std::move(c));
}

bool CurlInternet::InternetCloseHandle(HINTERNET handle)
{
    const auto it = m_objects.find(handle);
    if (it == m_objects.end())
        return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    m_lastError = 0;
    // A session takes its connections with it.
    if (std::holds_alternative<SessionState>(it->second)) {
        for (auto c = m_objects.begin(); c != m_objects.end();) {
            const auto* conn = std::get_if<ConnectionState>(&c->second);
            c = (conn && conn->session == handle) ? m_objects.erase(c) : std::next(c);
        }
    }
    m_objects.erase(handle);
    return true;
}

SecurityInfo CurlInternet::FtpGetSecurityInfo(HINTERNET connection)
{
    ConnectionState* c = this->connection(connection);
    return c ? c->link->security() : SecurityInfo();
}

QString CurlInternet::FtpGetLoginDirectory(HINTERNET connection)
{
    ConnectionState* c = this->connection(connection);
    if (!c) {
        fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return QStringLiteral("/");
    }
    m_lastError = 0;
    return c->loginDir;
}

bool CurlInternet::InternetGetLastResponseInfoA(quint32& errorCode, QString* buffer, quint32& length)
{
    errorCode = quint32(m_lastReply.code);
    const QString text = decodeText(m_lastReply.text);
    if (!buffer || length < quint32(text.size())) {
        length = quint32(text.size());
        return false;
    }
    *buffer = text;
    length = quint32(text.size());
    return true;
}

}  // namespace detail
}  // namespace inet
