#include "curl_loop.h"

#include <QElapsedTimer>

#include <curl/curl.h>

#include <atomic>

#include <sys/select.h>

#include <malloc.h>

namespace inet {

namespace {
std::atomic<int> g_connectSeconds{15};
std::atomic<int> g_stallSeconds{30};
int g_running = 0;  // requests running now; only the user-interface thread runs them
}  // namespace

void SetTimeouts(const Timeouts& timeouts)
{
    g_connectSeconds = qMax(1, timeouts.connectSeconds);
    g_stallSeconds = qMax(1, timeouts.stallSeconds);
}

Timeouts CurrentTimeouts()
{
    return Timeouts{g_connectSeconds, g_stallSeconds};
}

namespace {
BusyHandler& busyHandler()
{
    static BusyHandler handler;
    return handler;
}
}  // namespace

void SetBusyHandler(BusyHandler handler)
{
    busyHandler() = std::move(handler);
}

bool RequestInProgress()
{
    return g_running > 0;
}

namespace detail {

namespace {

// The longest wait between two turns of a transfer. After any activity the
// loop waits 1, 2, 4 ... ms: this libcurl sometimes has more to do without
// asking to be called again (see watchesNoSocket), so a fixed wait made
// every small file cost that wait. A wait ends at once when a socket libcurl
// watches is ready; a turn without waiting after each reply only repeated
// libcurl's own checks of the sockets (four polls a turn).
constexpr int kPollMs = 20;
constexpr int kFirstWaitMs = 1;
constexpr int kProgressMs = 50;
// Stalls are timed in seconds: looking for activity a few times in a
// millisecond, as the ticks come, only costs system calls.
constexpr int kActivityCheckMs = 4;

curl_off_t bytesSent(CURL* easy)
{
    curl_off_t up = 0;
    curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &up);
    return up;
}

curl_off_t bytesMoved(CURL* easy)
{
    curl_off_t down = 0;
    curl_easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
    return down + bytesSent(easy);
}

// Whether libcurl watches no socket at all. Then it has more to do at once
// although it set no timer: after the passive-mode reply this libcurl
// returns before it opens the data connection, and a wait there made every
// file of a folder transfer wait a millisecond for nothing.
bool watchesNoSocket(CURLM* multi)
{
    fd_set read, write, error;
    FD_ZERO(&read);
    FD_ZERO(&write);
    FD_ZERO(&error);
    int highest = -1;
    curl_multi_fdset(multi, &read, &write, &error, &highest);
    return highest < 0;
}

// Waits for the transfer's sockets; returns the next wait: 1 ms after
// activity, doubling while nothing happens. A turn where libcurl watches no
// socket is followed by the next at once, but never twice in a row: a
// socket beyond what a descriptor set holds reads as none. So is a turn
// that sent upload data: libcurl sends one piece a turn and checks the
// socket itself before the next, so a wait there only cost a system call
// for every 64 KiB.
int waitForActivity(CURLM* multi, int waitMs, bool sent, bool& turnedAtOnce)
{
    turnedAtOnce = sent || (!turnedAtOnce && watchesNoSocket(multi));
    if (turnedAtOnce)
        return sent ? kFirstWaitMs : waitMs;
    int ready = 0;
    curl_multi_poll(multi, nullptr, 0, waitMs, &ready);
    return ready > 0 ? kFirstWaitMs : qMin(waitMs * 2, kPollMs);
}

// One running request: its stall clock and the pacing of the progress and
// busy handlers. Ticked from the loop and from libcurl's progress callback,
// which libcurl also calls while it blocks waiting for a final reply.
class RequestClock {
public:
    RequestClock(CURL* easy, const RequestWatch& watch)
        : m_easy(easy), m_watch(watch), m_stallMs(qint64(CurrentTimeouts().stallSeconds) * 1000)
    {
        m_clock.start();
    }

    // True once the request has stalled. Reads the clock once: ticks come
    // many times a millisecond.
    bool tick()
    {
        const qint64 now = m_clock.elapsed();
        if (now - m_checkedAt >= kActivityCheckMs) {
            m_checkedAt = now;
            noteActivity(now);
        }
        if (now - m_tickedAt >= kProgressMs) {
            m_tickedAt = now;
            if (m_watch.progress && *m_watch.progress)
                reportProgress();
            if (busyHandler())
                busyHandler()();
        }
        const bool started = m_watch.activity || m_lastMoved > 0;
        m_stalled = m_stalled || (started && now - m_activeAt >= m_stallMs);
        return m_stalled;
    }
    bool stalled() const { return m_stalled; }

    void reportProgress()
    {
        curl_off_t down = 0, up = 0, downTotal = -1, upTotal = -1;
        curl_easy_getinfo(m_easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
        curl_easy_getinfo(m_easy, CURLINFO_SIZE_UPLOAD_T, &up);
        curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &downTotal);
        curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_UPLOAD_T, &upTotal);
        const ProgressHandler& progress = *m_watch.progress;
        if (up > 0 || upTotal > 0)
            progress(qMax<qint64>(0, qint64(up) - unacknowledged()), upTotal > 0 ? qint64(upTotal) : -1);
        else
            progress(qint64(down), downTotal > 0 ? qint64(downTotal) : -1);
    }

private:
    qint64 unacknowledged() const { return m_watch.unacknowledged ? m_watch.unacknowledged() : 0; }

    // Any reply line, payload byte or byte taken by the peer restarts the stall clock.
    void noteActivity(qint64 now)
    {
        const curl_off_t moved = bytesMoved(m_easy);
        const quint64 activity = m_watch.activity ? *m_watch.activity : 0;
        const qint64 pending = unacknowledged();
        if (moved != m_lastMoved || activity != m_lastActivity || pending != m_lastPending)
            m_activeAt = now;
        m_lastMoved = moved;
        m_lastActivity = activity;
        m_lastPending = pending;
    }

    CURL* m_easy;
    const RequestWatch& m_watch;
    const qint64 m_stallMs;
    QElapsedTimer m_clock;
    qint64 m_tickedAt = 0;    // the last progress report, in ms of m_clock
    qint64 m_activeAt = 0;    // the last activity seen
    qint64 m_checkedAt = -kActivityCheckMs;
    curl_off_t m_lastMoved = 0;
    quint64 m_lastActivity = 0;
    qint64 m_lastPending = 0;
    bool m_stalled = false;
};

int onProgress(void* clock, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<RequestClock*>(clock)->tick() ? 1 : 0;
}

// Marks a request as running for its whole life, nested or not.
struct RunningMark {
    RunningMark() { ++g_running; }
    ~RunningMark() { --g_running; }
};

}  // namespace

namespace {

// libcurl takes its 256 KiB receive and send buffers afresh for every
// request and frees them at its end. glibc would hand such blocks back to
// the system each time (munmap, or trimming the heap), each a TLB flush on
// every core: in a folder of small files that was a tenth of the client's
// time. A long listing is the same on a larger scale: its reply, its
// entries, the names and then the tree's nodes come one after another, and
// every fresh page costs a fault (a third of the CPU of showing a
// 30,000-entry folder). Blocks up to 4 MiB stay in the heap, and so do up
// to 16 MiB freed at its end, to be reused; bigger blocks go back at once
// (with 32 MiB a folder transfer followed by a 1 GiB download kept 3 MiB
// more at its peak).
void keepTransferBuffers()
{
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 4 << 20);
        mallopt(M_TRIM_THRESHOLD, 16 << 20);
        return true;
    }();
    Q_UNUSED(done);
}

}  // namespace

void applyCommonOptions(CURL* easy)
{
    keepTransferBuffers();
    const Timeouts t = CurrentTimeouts();
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, long(t.connectSeconds));
    curl_easy_setopt(easy, CURLOPT_ACCEPTTIMEOUT_MS, long(t.connectSeconds) * 1000L);
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(t.stallSeconds));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, long(t.stallSeconds));
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 256L * 1024L);
    // Big upload chunks: each one costs a trip through the polling loop.
    curl_easy_setopt(easy, CURLOPT_UPLOAD_BUFFERSIZE, 256L * 1024L);
}

int runRequest(CURLM* multi, CURL* easy, const RequestWatch& watch)
{
    RunningMark running;
    RequestClock clock(easy, watch);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &clock);
    if (curl_multi_add_handle(multi, easy) != CURLM_OK)
        return CURLE_FAILED_INIT;
    int active = 1;
    int waitMs = kFirstWaitMs;
    bool turnedAtOnce = false;
    curl_off_t sent = 0;
    while (active && !clock.stalled()) {
        if (curl_multi_perform(multi, &active) != CURLM_OK)
            break;
        const curl_off_t sentNow = bytesSent(easy);
        if (active)
            waitMs = waitForActivity(multi, waitMs, sentNow != sent, turnedAtOnce);
        sent = sentNow;
        // Nothing signals the end of a local wait: look again soon.
        if (watch.eachTurn && watch.eachTurn())
            waitMs = kFirstWaitMs;
        clock.tick();
    }
    CURLcode result = clock.stalled() ? CURLE_OPERATION_TIMEDOUT : CURLE_RECV_ERROR;
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy && !clock.stalled())
            result = msg->data.result;
    }
    if (watch.beforeRemove)
        watch.beforeRemove(easy);
    curl_multi_remove_handle(multi, easy);  // a stalled transfer's connection closes here
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, nullptr);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 1L);
    if (watch.progress && *watch.progress)
        clock.reportProgress();
    return result;
}

}  // namespace detail
}  // namespace inet
