#include "ftp_link.h"

#include "curl_loop.h"
#include "ftp_paths.h"
#include "inet_errors.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace inet::detail {

struct FtpLink::Curl {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* quotes = nullptr;
    QList<Reply> replies;        // complete replies of the running request
    QByteArray pending;          // a multi-line reply still open
    QList<QByteArray> sent;      // commands still waiting for their reply
    int pendingCode = 0;
    QIODevice* out = nullptr;
    QIODevice* in = nullptr;
    QByteArray* listing = nullptr;
    QByteArray listCommand;      // LIST with its folder, for a folder no address can name
    QIODevice* rawOut = nullptr; // takes a transfer's bytes as received
    bool rawOutFailed = false;
    curl_slist* preQuotes = nullptr;
    curl_slist* postQuotes = nullptr;
    bool ascii = false;          // TYPE A; on upload also local CR LF to LF
    qint64 uploadSize = -1;
    bool heldCR = false;         // a CR at the end of the last read chunk
    qint64 moved = 0;            // payload bytes written or read

    ~Curl()
    {
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);  // closes the control connection
        curl_slist_free_all(quotes);
        curl_slist_free_all(preQuotes);
        curl_slist_free_all(postQuotes);
    }
};

namespace {

int replyCode(const QByteArray& line)
{
    if (line.size() < 3)
        return 0;
    for (int i = 0; i < 3; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return 0;
    }
    return line.left(3).toInt();
}

// Server reply lines arrive one a call; libcurl's own header lines carry no code.
size_t onHeader(char* data, size_t size, size_t count, void* user)
{
    auto* c = static_cast<FtpLink::Curl*>(user);
    QByteArray line(data, qsizetype(size * count));
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    const int code = replyCode(line);
    const bool last = code && (line.size() == 3 || line[3] == ' ');
    // Each reply answers the oldest command still waiting (the greeting none).
    auto complete = [c](int replyCode, const QByteArray& text) {
        const QByteArray command = c->sent.isEmpty() ? QByteArray() : c->sent.takeFirst();
        c->replies.append({replyCode, text, command});
    };
    if (c->pending.isEmpty()) {
        if (!code)
            return size * count;
        if (last)
            complete(code, line);
        else {
            c->pending = line;
            c->pendingCode = code;
        }
        return size * count;
    }
    c->pending += "\r\n" + line;
    if (last && code == c->pendingCode) {
        complete(c->pendingCode, c->pending);
        c->pending.clear();
    }
    return size * count;
}

// QUILLON_INET_VERBOSE prints the conversation on standard error.
bool traceRequested()
{
    static const bool requested = qEnvironmentVariableIsSet("QUILLON_INET_VERBOSE");
    return requested;
}

// Commands going out, so that each reply can be paired with its command.
int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* user)
{
    auto* c = static_cast<FtpLink::Curl*>(user);
    // libcurl reads listings in ASCII mode and turns a lone CR inside a name
    // into a line end before onWrite; the trace has the bytes as received.
    if (type == CURLINFO_DATA_IN && c->listing)
        c->listing->append(data, qsizetype(size));
    if (type == CURLINFO_DATA_IN && c->rawOut && c->rawOut->write(data, qint64(size)) != qint64(size))
        c->rawOutFailed = true;
    if (type == CURLINFO_HEADER_OUT) {
        QByteArray command(data, qsizetype(size));
        while (command.endsWith('\n') || command.endsWith('\r'))
            command.chop(1);
        c->sent.append(command);
    }
    if (!traceRequested())
        return 0;
    if (type == CURLINFO_TEXT)
        fprintf(stderr, "* %.*s", int(size), data);
    else if (type == CURLINFO_HEADER_OUT)
        fprintf(stderr, "> %.*s", int(size), data);
    else if (type == CURLINFO_HEADER_IN)
        fprintf(stderr, "< %.*s", int(size), data);
    return 0;
}

size_t onWrite(char* data, size_t size, size_t count, void* user)
{
    auto* c = static_cast<FtpLink::Curl*>(user);
    const qint64 n = qint64(size * count);
    c->moved += n;
    if (c->listing || c->rawOut)
        return c->rawOutFailed ? 0 : size_t(n);  // taken from the trace in onDebug
    if (!c->out || c->out->write(data, n) != n)
        return 0;  // a short count makes libcurl fail with a write error
    return size_t(n);
}

// ASCII uploads: local CR LF becomes LF, since libcurl turns every LF into CR LF.
size_t stripCrLf(FtpLink::Curl* c, char* buf, size_t capacity)
{
    QByteArray chunk;
    if (c->heldCR)
        chunk.append('\r');
    c->heldCR = false;
    const QByteArray more = c->in->read(qint64(capacity - 1));
    chunk += more;
    size_t n = 0;
    for (qsizetype i = 0; i < chunk.size(); ++i) {
        if (chunk[i] == '\r' && i + 1 == chunk.size() && !c->in->atEnd()) {
            c->heldCR = true;
            break;
        }
        if (chunk[i] == '\r' && i + 1 < chunk.size() && chunk[i + 1] == '\n')
            continue;
        buf[n++] = chunk[i];
    }
    return n;
}

size_t onRead(char* buf, size_t size, size_t count, void* user)
{
    auto* c = static_cast<FtpLink::Curl*>(user);
    if (!c->in)
        return CURL_READFUNC_ABORT;
    const size_t capacity = size * count;
    if (c->ascii) {
        size_t n = 0;
        // A chunk that was a lone held CR may shrink to nothing: read on.
        while (n == 0 && (c->heldCR || !c->in->atEnd()))
            n = stripCrLf(c, buf, capacity);
        c->moved += qint64(n);
        return n;
    }
    const qint64 got = c->in->read(buf, qint64(capacity));
    if (got < 0)
        return CURL_READFUNC_ABORT;
    c->moved += got;
    return size_t(got);
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
}

FtpLink::~FtpLink() = default;

void FtpLink::prepare(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes)
{
    CURL* e = m_curl->easy;
    curl_easy_reset(e);  // keeps the live connection
    applyCommonOptions(e);
    const QByteArray url = "ftp://" + hostForUrl(m_target.host) + ':' + QByteArray::number(m_target.port) + path;
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "ftp");
    const bool anonymous = m_target.user.isEmpty() && m_target.password.isEmpty();
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
    if (!m_target.passive)
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
    }
    if (m_curl->ascii)
        curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, 1L);
    // Only a watched download needs its size up front; a folder walk's files
    // save the SIZE round trip (the server's end-of-transfer reply still decides).
    if (kind == Kind::Download && !(m_progress && *m_progress))
        curl_easy_setopt(e, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_slist_free_all(m_curl->quotes);
    m_curl->quotes = nullptr;
    for (const QByteArray& q : quotes)
        m_curl->quotes = curl_slist_append(m_curl->quotes, q.constData());
    curl_easy_setopt(e, CURLOPT_QUOTE, m_curl->quotes);
    curl_easy_setopt(e, CURLOPT_PREQUOTE, m_curl->preQuotes);
    curl_easy_setopt(e, CURLOPT_POSTQUOTE, m_curl->postQuotes);
}

int FtpLink::runOnce(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes)
{
    prepare(path, kind, quotes);
    m_curl->replies.clear();
    m_curl->pending.clear();
    m_curl->sent.clear();
    m_curl->moved = 0;
    m_curl->heldCR = false;
    static const ProgressHandler none;
    return runRequest(m_curl->multi, m_curl->easy, m_progress ? *m_progress : none);
}

quint32 FtpLink::perform(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes, bool atLogin)
{
    int code = runOnce(path, kind, quotes);
    // A connection the server closed while idle ("421 Timeout") fails the
    // next request once; the same request then logs in afresh.
    const bool idleDrop = std::any_of(m_curl->replies.cbegin(), m_curl->replies.cend(),
                                      [](const Reply& r) { return r.code == 421; });
    if (code != CURLE_OK && idleDrop && m_curl->moved == 0 && !atLogin) {
        if (m_curl->in)
            m_curl->in->seek(0);
        code = runOnce(path, kind, quotes);
    }
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
    return perform(urlPath(dir, true), Kind::Nobody, {}, false);
}

quint32 FtpLink::list(const QByteArray& dir, QByteArray& listing)
{
    listing.clear();
    m_curl->listing = &listing;
    // libcurl refuses control characters in an address: such a folder is
    // named in the LIST command itself.
    const bool addressable = !hasControlByte(dir);
    m_curl->listCommand = addressable ? QByteArray() : "LIST " + dir;
    const quint32 error = perform(urlPath(addressable ? dir : QByteArray("/"), true), Kind::Download, {}, false);
    m_curl->listing = nullptr;
    m_curl->listCommand.clear();
    return error;
}

quint32 FtpLink::download(const QByteArray& file, QIODevice& out, bool ascii)
{
    if (hasControlByte(file))
        return downloadByCommand(file, out, ascii);
    m_curl->out = &out;
    m_curl->ascii = ascii;
    const quint32 error = perform(urlPath(file, false), Kind::Download, {}, false);
    m_curl->out = nullptr;
    m_curl->ascii = false;
    return error;
}

quint32 FtpLink::upload(QIODevice& in, qint64 size, const QByteArray& file, bool ascii)
{
    if (hasControlByte(file))
        return uploadByRename(in, size, file, ascii);
    m_curl->in = &in;
    m_curl->ascii = ascii;
    m_curl->uploadSize = ascii ? -1 : size;  // conversion changes the size
    const quint32 error = perform(urlPath(file, false), Kind::Upload, {}, false);
    m_curl->in = nullptr;
    m_curl->ascii = false;
    m_curl->uploadSize = -1;
    return error;
}

quint32 FtpLink::command(const QList<QByteArray>& commands, QList<Reply>& replies)
{
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

namespace {

curl_slist* toSlist(const QList<QByteArray>& commands)
{
    curl_slist* list = nullptr;
    for (const QByteArray& c : commands)
        list = curl_slist_append(list, c.constData());
    return list;
}

}  // namespace

// libcurl refuses control characters in an address, so RETR goes as the
// command of a listing, which it sends as given. A listing runs in ASCII
// mode: TYPE I is sent first and holds as long as libcurl believes ASCII
// is set already, which an ASCII size query makes sure of. The bytes are
// taken as received; afterwards the server is put back in ASCII mode.
quint32 FtpLink::downloadByCommand(const QByteArray& file, QIODevice& out, bool ascii)
{
    if (!ascii) {
        m_curl->ascii = true;
        const quint32 error = perform(urlPath("/.quillon-type", false), Kind::Nobody, {}, false);
        m_curl->ascii = false;
        if (error && m_report.code == 0)
            return error;
    }
    m_curl->listCommand = "RETR " + file;
    m_curl->out = ascii ? &out : nullptr;  // ASCII: libcurl's line-end conversion, as for any ASCII download
    m_curl->rawOut = ascii ? nullptr : &out;
    m_curl->rawOutFailed = false;
    const quint32 error = perform(urlPath("/", true), Kind::Download, {ascii ? "TYPE A" : "TYPE I"}, false);
    m_curl->listCommand.clear();
    m_curl->out = nullptr;
    m_curl->rawOut = nullptr;
    if (!ascii) {
        const Reply report = m_report;
        QList<Reply> ignored;
        command({"TYPE A"}, ignored);
        m_report = report;
    }
    return error;
}

// libcurl refuses control characters in an address: the file goes up under
// a plain temporary name in its folder and is then renamed by command. A
// folder no address can name is entered by a command right before STOR,
// from an address folder no other request uses, so that libcurl never takes
// that directory for one of its own.
quint32 FtpLink::uploadByRename(QIODevice& in, qint64 size, const QByteArray& file, bool ascii)
{
    static int counter = 0;
    const QByteArray folder = file.left(file.lastIndexOf('/'));
    const QByteArray tempName = ".quillon-" + QByteArray::number(qint64(getpid())) + '-' +
                                QByteArray::number(++counter) + ".part";
    const QByteArray temp = folder + '/' + tempName;
    const bool addressable = !hasControlByte(folder);
    if (!addressable)
        m_curl->preQuotes = toSlist({"CWD " + (folder.isEmpty() ? QByteArray("/") : folder)});
    m_curl->postQuotes = toSlist({"RNFR " + temp, "RNTO " + file});
    const quint32 error = upload(in, size, addressable ? temp : "/./" + tempName, ascii);
    curl_slist_free_all(m_curl->preQuotes);
    curl_slist_free_all(m_curl->postQuotes);
    m_curl->preQuotes = nullptr;
    m_curl->postQuotes = nullptr;
    if (error) {
        const Reply report = m_report;
        QList<Reply> ignored;
        command({"DELE " + temp}, ignored);  // a refused rename leaves the temporary file
        m_report = report;
    }
    return error;
}

}  // namespace inet::detail
