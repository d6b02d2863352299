#include "ftp_link_state.h"

#include "curl_loop.h"
#include "ftp_paths.h"
#include "inet_errors.h"
#include "ssh_guard.h"
#include "tls_guard.h"

#include <poll.h>

#include <algorithm>

namespace inet::detail {

using namespace link_io;

namespace {

// A server sends nothing unasked on an idle control connection but its
// good-bye: readable means a 421 reply, a close or a reset.
bool closedByServer(int socket)
{
    if (socket < 0)
        return false;
    pollfd p{socket, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

// Failures of the link itself, not of the request: worth one more try on a
// fresh connection when the server refused nothing.
bool linkFailure(int code)
{
    switch (code) {
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_PARTIAL_FILE:
    case CURLE_SSH:
        return true;
    default:
        return false;
    }
}

QByteArray hostForUrl(const QByteArray& host)
{
    return host.contains(':') ? '[' + host + ']' : host;
}

}  // namespace

FtpLink::FtpLink(LinkTarget target)
    : m_target(std::move(target)), m_curl(std::make_unique<Curl>())
{
    m_curl->easy = curl_easy_init();
    m_curl->multi = curl_multi_init();
    curl_multi_setopt(m_curl->multi, CURLMOPT_MAXCONNECTS, 1L);
    const QString server = QString::fromUtf8(hostForUrl(m_target.host)) + QLatin1Char(':') +
                           QString::number(m_target.port);
    if (sftp())
        m_ssh = std::make_unique<SshGuard>(server);
    else if (isEncrypted(m_target.scheme))
        m_tls = std::make_unique<TlsGuard>(server);
}

FtpLink::~FtpLink() = default;

void FtpLink::prepare(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes, bool fresh)
{
    CURL* e = m_curl->easy;
    curl_easy_reset(e);  // keeps the live connection
    applyCommonOptions(e);
    // The request loop times stalls from every reply line and every byte the
    // peer takes; libcurl's averaged speed would also fail an upload whose
    // end waits for the buffers to drain.
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, 0L);
    curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L);
    curl_easy_setopt(e, CURLOPT_SOCKOPTFUNCTION, onSocketOpened);
    curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, m_curl.get());
    const bool implicitTls = m_target.scheme == Scheme::Ftps;
    const char* scheme = sftp() ? "sftp" : implicitTls ? "ftps" : "ftp";
    const QByteArray url = scheme + QByteArray("://") + hostForUrl(m_target.host) + ':' +
                           QByteArray::number(m_target.port) + path;
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, scheme);
    if (sftp()) {
        prepareSftp(e);
        curl_easy_setopt(e, CURLOPT_ERRORBUFFER, m_curl->errorText);
    }
    if (m_tls) {
        // Control and data both encrypted, or nothing sent past the refusal.
        curl_easy_setopt(e, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        curl_easy_setopt(e, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
        m_tls->apply(e);
    }
    const bool anonymous = m_target.user.isEmpty() && m_target.password.isEmpty() && !sftp();
    curl_easy_setopt(e, CURLOPT_USERNAME, anonymous ? "anonymous" : m_target.user.constData());
    curl_easy_setopt(e, CURLOPT_PASSWORD, anonymous ? "quillon@" : m_target.password.constData());
    curl_easy_setopt(e, CURLOPT_PROXY, m_target.proxy.constData());  // "" turns off proxies from the environment
    // libcurl keeps each passive address with its port in its name cache and
    // walks the whole cache on every look-up, so a folder of small files got
    // slower with every file. Directly, that address is the control
    // connection's numeric one and needs no cache.
    if (m_target.proxy.isEmpty())
        curl_easy_setopt(e, CURLOPT_DNS_CACHE_TIMEOUT, 0L);
    else
        curl_easy_setopt(e, CURLOPT_HTTPPROXYTUNNEL, 1L);  // only affects HTTP proxies
    if (!m_target.passive && !sftp())
        curl_easy_setopt(e, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, m_curl.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, m_curl.get());
    curl_easy_setopt(e, CURLOPT_READFUNCTION, onRead);
    curl_easy_setopt(e, CURLOPT_READDATA, m_curl.get());
    // Only quoted commands need their replies paired with them; libcurl's
    // trace costs every small transfer its formatting otherwise.
    if (!quotes.isEmpty() || traceRequested() || m_curl->listing || m_curl->rawOut) {
        curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);  // feeds onDebug
        curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, onDebug);
        curl_easy_setopt(e, CURLOPT_DEBUGDATA, m_curl.get());
    }
    if (kind == Kind::Nobody)
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    if (!m_curl->listCommand.isEmpty())
        curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, m_curl->listCommand.constData());
    if (kind == Kind::Upload) {
        curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(e, CURLOPT_INFILESIZE_LARGE, curl_off_t(m_curl->uploadSize));
        // Plain FTP uploads in pieces of 64 KiB: to a loopback server a 1 GiB
        // upload took 0.69 s with them against 0.89 s with 256 KiB pieces
        // (medians of six runs); 32 KiB pieces cost half as much CPU again.
        if (!sftp() && !m_tls)
            curl_easy_setopt(e, CURLOPT_UPLOAD_BUFFERSIZE, 64L * 1024L);
    }
    if (m_curl->ascii && !m_curl->ownLineEnds)
        curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, 1L);
    // Only a watched download needs its size up front; a folder walk's files
    // save the SIZE round trip (the server's end-of-transfer reply still decides).
    // A text download's size on the server is not the size on disk.
    if (kind == Kind::Download && (!(m_progress && *m_progress) || m_curl->ownLineEnds))
        curl_easy_setopt(e, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_slist_free_all(m_curl->quotes);
    m_curl->quotes = nullptr;
    for (const QByteArray& q : quotes)
        m_curl->quotes = curl_slist_append(m_curl->quotes, q.constData());
    curl_easy_setopt(e, CURLOPT_QUOTE, m_curl->quotes);
    // The transfer type goes after libcurl's own TYPE, right before the transfer.
    const bool fileTransfer = kind != Kind::Nobody && !m_curl->listing && m_curl->listCommand.isEmpty() && !sftp();
    m_curl->typeCommand = m_curl->ownLineEnds ? QByteArray("TYPE A")
                          : fileTransfer && !m_curl->ascii && m_curl->typeMayBeAscii ? QByteArray("TYPE I")
                                                                                     : QByteArray();
    curl_slist_free_all(m_curl->allPreQuotes);
    m_curl->allPreQuotes = nullptr;
    for (const curl_slist* q = m_curl->preQuotes; q; q = q->next)
        m_curl->allPreQuotes = curl_slist_append(m_curl->allPreQuotes, q->data);
    if (!m_curl->typeCommand.isEmpty())
        m_curl->allPreQuotes = curl_slist_append(m_curl->allPreQuotes, m_curl->typeCommand.constData());
    curl_easy_setopt(e, CURLOPT_PREQUOTE, m_curl->allPreQuotes);
    curl_easy_setopt(e, CURLOPT_POSTQUOTE, m_curl->postQuotes);
}

int FtpLink::runOnce(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes, bool fresh)
{
    prepare(path, kind, quotes, fresh);
    Curl& c = *m_curl;
    c.replies.clear();
    c.pending.clear();
    c.sent.clear();
    c.moved = 0;
    c.heldCR = false;
    c.lastSocket = -1;
    c.drainPaused = false;
    c.lineEnds = LineEndsToLocal();
    c.errorText[0] = '\0';
    if (c.listing)
        c.listing->clear();
    if (c.in)
        c.in->seek(0);
    static const ProgressHandler none;
    RequestWatch watch;
    watch.progress = m_progress ? m_progress : &none;
    watch.activity = &c.activity;
    if (kind == Kind::Upload) {
        watch.unacknowledged = [&c] { return unacknowledged(c.lastSocket); };
        watch.eachTurn = [&c] {
            if (c.drainPaused && unacknowledged(c.lastSocket) == 0) {
                c.drainPaused = false;
                curl_easy_pause(c.easy, CURLPAUSE_CONT);
            }
            return c.drainPaused;
        };
    }
    watch.beforeRemove = [&c](CURL* easy) {
        curl_socket_t socket = CURL_SOCKET_BAD;
        curl_easy_getinfo(easy, CURLINFO_ACTIVESOCKET, &socket);
        c.controlSocket = socket == CURL_SOCKET_BAD ? -1 : int(socket);
    };
    const int code = runRequest(c.multi, c.easy, watch);
    c.sinceRequest.restart();
    if (c.typeCommand == "TYPE A")
        c.typeMayBeAscii = true;  // whether or not the request got that far
    else if (c.typeCommand == "TYPE I" && code == CURLE_OK)
        c.typeMayBeAscii = false;
    return code;
}

bool FtpLink::worthRetrying(int code) const
{
    long connects = 1;
    curl_easy_getinfo(m_curl->easy, CURLINFO_NUM_CONNECTS, &connects);
    if (connects != 0 || m_curl->moved != 0)
        return false;  // a fresh connection failed, or part of the request went through
    bool goodbye = false, refused = false;
    for (const Reply& r : m_curl->replies) {
        goodbye = goodbye || r.code == 421;
        refused = refused || (r.code >= 400 && r.code != 421);
    }
    return goodbye || (linkFailure(code) && !refused);
}

quint32 FtpLink::perform(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes, bool atLogin)
{
    int code = 0;
    if (atLogin) {
        code = runOnce(path, kind, quotes, false);
    } else {
        // A connection the server has closed is replaced before it is used;
        // one merely idle for a while is first asked whether it still
        // answers, so that the request's own first reply is not timed from
        // the last reply the connection ever read.
        const bool gone = closedByServer(m_curl->controlSocket);
        const qint64 probeAfterMs = qMax(1000, CurrentTimeouts().stallSeconds * 500);
        // SFTP has no NOOP; its idle session is only checked for a hang-up.
        const bool probe = !gone && !sftp() && m_curl->sinceRequest.isValid() &&
                           m_curl->sinceRequest.elapsed() >= probeAfterMs;
        code = runOnce(path, kind, probe ? QList<QByteArray>{"NOOP"} + quotes : quotes, gone);
        // A connection that broke while idle fails its next request before
        // anything moved: the same request then runs once more, logged in afresh.
        if (worthRetrying(code))
            code = runOnce(path, kind, quotes, true);
    }
    // SFTP answers with status codes, not reply lines: a refusal reads as
    // FTP's 550 with libcurl's words for it.
    if (sftp() && code != CURLE_OK && code != CURLE_LOGIN_DENIED && code != CURLE_PEER_FAILED_VERIFICATION &&
        !linkFailure(code) && m_curl->errorText[0])
        m_curl->replies.append({550, QByteArray(m_curl->errorText), QByteArray()});
    Reply errorReply;
    for (const Reply& r : m_curl->replies) {
        if (r.code >= 400)
            errorReply = r;
    }
    const Reply last = m_curl->replies.isEmpty() ? Reply() : m_curl->replies.constLast();
    const quint32 error = errorFor(code, errorReply.code, atLogin ? Stage::Login : Stage::Operation);
    m_report = (error && errorReply.code) ? errorReply : last;
    return error;
}

quint32 FtpLink::login()
{
    if (sftp())
        return sftpLogin();
    quint32 error = logInOnce();
    // A certificate that failed verification is put to the person once;
    // trusted, it is pinned and the log-in runs again on that key alone.
    if (error == ERROR_INTERNET_SEC_INVALID_CERT && m_tls && !m_tls->pinned() && m_tls->askTrust())
        error = logInOnce();
    if (!m_tls && refusesPlainLogin(error, m_report.code, m_report.text))
        return ERROR_FTP_ENCRYPTION_REQUIRED;
    return error;
}

SecurityInfo FtpLink::security() const
{
    if (m_ssh)
        return {QStringLiteral("SSH"), m_ssh->keyType(), m_ssh->fingerprint()};
    if (!m_tls)
        return {};
    const TlsPeer& peer = m_tls->peer();
    return {peer.version.isEmpty() ? QStringLiteral("TLS") : peer.version, peer.subject, peer.fingerprint};
}

quint32 FtpLink::logInOnce()
{
    if (m_tls)
        m_tls->reset();
    const quint32 error = perform("/", Kind::Nobody, {"*FEAT"}, true);
    if (error)
        return error;
    char* entry = nullptr;
    if (curl_easy_getinfo(m_curl->easy, CURLINFO_FTP_ENTRY_PATH, &entry) == CURLE_OK && entry && *entry == '/')
        m_loginDir = entry;
    const Reply feat = m_curl->replies.isEmpty() ? Reply() : m_curl->replies.constLast();
    m_utf8 = feat.code == 211 && feat.text.toUpper().contains(" UTF8");
    if (m_utf8) {
        QList<Reply> ignored;
        command({"OPTS UTF8 ON"}, ignored);
    }
    return 0;
}

quint32 FtpLink::changeDirectory(const QByteArray& dir)
{
    if (sftp()) {
        // SFTP has no directory change: listing the folder proves it is there.
        QByteArray ignored;
        return list(dir, ignored);
    }
    return perform(urlPath(dir, true), Kind::Nobody, {}, false);
}

quint32 FtpLink::list(const QByteArray& dir, QByteArray& listing)
{
    listing.clear();
    m_curl->listing = &listing;
    // libcurl refuses control characters in an address: such an FTP folder
    // is named in the LIST command itself. SFTP listings come through the
    // write callback; FTP ones from the bytes as received.
    const bool addressable = sftp() || !hasControlByte(dir);
    m_curl->listCommand = addressable ? QByteArray() : "LIST " + dir;
    m_curl->listingFromTrace = !sftp();
    const quint32 error = perform(wirePath(addressable ? dir : QByteArray("/"), true), Kind::Download, {}, false);
    m_curl->listing = nullptr;
    m_curl->listCommand.clear();
    if (sftp())
        dropDotEntries(listing);
    return error;
}

quint32 FtpLink::download(const QByteArray& file, QIODevice& out, bool ascii)
{
    if (hasControlByte(file) && !sftp())
        return downloadByCommand(file, out, ascii);
    m_curl->out = &out;
    m_curl->ascii = ascii && !sftp();  // SFTP moves bytes as they are
    m_curl->ownLineEnds = m_curl->ascii;
    const quint32 error = perform(wirePath(file, false), Kind::Download, {}, false);
    m_curl->out = nullptr;
    m_curl->ascii = false;
    m_curl->ownLineEnds = false;
    return error;
}

quint32 FtpLink::upload(QIODevice& in, qint64 size, const QByteArray& file, bool ascii)
{
    if (hasControlByte(file) && !sftp())
        return uploadByRename(in, size, file, ascii);
    m_curl->in = &in;
    m_curl->ascii = ascii && !sftp();
    m_curl->uploadSize = m_curl->ascii ? -1 : size;  // conversion changes the size
    const quint32 error = perform(wirePath(file, false), Kind::Upload, {}, false);
    m_curl->in = nullptr;
    m_curl->ascii = false;
    m_curl->uploadSize = -1;
    return error;
}

quint32 FtpLink::command(const QList<QByteArray>& commands, QList<Reply>& replies)
{
    if (sftp())
        return sftpCommand(commands, replies);
    QList<QByteArray> quotes;
    for (const QByteArray& c : commands)
        quotes.append('*' + c);  // libcurl keeps the connection when one fails
    const quint32 error = perform("/", Kind::Nobody, quotes, false);
    replies.clear();
    for (const QByteArray& c : commands) {
        const auto it = std::find_if(m_curl->replies.cbegin(), m_curl->replies.cend(),
                                     [&c](const Reply& r) { return r.command == c; });
        replies.append(it != m_curl->replies.cend() ? *it : Reply());
    }
    return error;
}

}  // namespace inet::detail
