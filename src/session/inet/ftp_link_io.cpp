// Reply lines, payload bytes and upload pieces between libcurl and a link.
#include "ftp_link_state.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>

#include <cstdio>

namespace inet::detail::link_io {

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

}  // namespace

// Server reply lines arrive one a call; libcurl's own header lines carry no code.
size_t onHeader(char* data, size_t size, size_t count, void* user)
{
    auto* c = static_cast<FtpLink::Curl*>(user);
    ++c->activity;
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
    if (type == CURLINFO_DATA_IN && c->listing && c->listingFromTrace)
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
    ++c->activity;
    if (c->listing && !c->listingFromTrace) {
        c->listing->append(data, n);
        return size_t(n);
    }
    if (c->listing || c->rawOut)
        return c->rawOutFailed ? 0 : size_t(n);  // taken from the trace in onDebug
    if (!c->out)
        return 0;  // a short count makes libcurl fail with a write error
    if (c->ownLineEnds) {
        c->converted.resize(0);
        c->lineEnds.convert(data, n, c->converted);
        return c->out->write(c->converted) == c->converted.size() ? size_t(n) : 0;
    }
    return c->out->write(data, n) == n ? size_t(n) : 0;
}

namespace {

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

}  // namespace

qint64 unacknowledged(int socket)
{
    int pending = 0;
    if (socket < 0 || ioctl(socket, SIOCOUTQ, &pending) != 0)
        return 0;
    return pending;
}

namespace {

// After its last byte, an upload waits for the server's closing reply
// inside one blocking libcurl call, for as long as the socket buffers take
// to drain. Holding the end (or the last few bytes of a known size) back
// until the peer has taken everything keeps that wait short and the window
// painting meanwhile.
constexpr qint64 kHeldTail = 16 * 1024;

bool holdForDrain(FtpLink::Curl* c)
{
    // Before the first byte nothing can wait for the peer (a small file is
    // all tail).
    c->drainPaused = c->moved > 0 && unacknowledged(c->lastSocket) > 0;
    return c->drainPaused;
}

size_t endOfUpload(FtpLink::Curl* c)
{
    return holdForDrain(c) ? CURL_READFUNC_PAUSE : 0;
}

// How much of a known-size upload to hand over now; 0 holds the tail back.
qint64 nextChunk(FtpLink::Curl* c, qint64 capacity)
{
    if (c->uploadSize < 0)
        return capacity;
    const qint64 remaining = c->uploadSize - c->moved;
    if (remaining > kHeldTail)
        return qMin(capacity, remaining - kHeldTail);
    return holdForDrain(c) ? 0 : capacity;
}

}  // namespace

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
        return n ? n : endOfUpload(c);
    }
    const qint64 want = nextChunk(c, qint64(capacity));
    if (want == 0)
        return CURL_READFUNC_PAUSE;
    const qint64 got = c->in->read(buf, want);
    if (got < 0)
        return CURL_READFUNC_ABORT;
    c->moved += got;
    return got ? size_t(got) : endOfUpload(c);
}

// The data connection is the last socket a request opens (or accepts).
int onSocketOpened(void* user, curl_socket_t socket, curlsocktype)
{
    static_cast<FtpLink::Curl*>(user)->lastSocket = int(socket);
    return CURL_SOCKOPT_OK;
}

}  // namespace inet::detail::link_io
