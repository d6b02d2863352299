#include "curl_loop.h"

#include <QElapsedTimer>

#include <curl/curl.h>

#include <atomic>

namespace inet {

namespace {
std::atomic<int> g_connectSeconds{15};
std::atomic<int> g_stallSeconds{30};
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

namespace detail {

namespace {

// The longest wait between two turns of a transfer. After any activity the
// loop first turns again without waiting, then waits 1, 2, 4 ... ms: this
// libcurl sometimes has more to do (after the passive-mode reply, say)
// without asking to be called again, so a fixed wait made every small file
// cost that wait.
constexpr int kPollMs = 20;
constexpr int kProgressMs = 50;

void reportProgress(CURL* easy, const ProgressHandler& progress)
{
    curl_off_t down = 0, up = 0, downTotal = -1, upTotal = -1;
    curl_easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
    curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &up);
    curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &downTotal);
    curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_UPLOAD_T, &upTotal);
    if (up > 0 || upTotal > 0)
        progress(qint64(up), upTotal > 0 ? qint64(upTotal) : -1);
    else
        progress(qint64(down), downTotal > 0 ? qint64(downTotal) : -1);
}

curl_off_t bytesMoved(CURL* easy)
{
    curl_off_t down = 0, up = 0;
    curl_easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
    curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &up);
    return down + up;
}

// Waits for the transfer's sockets; returns the next wait: none after
// activity, then doubling from 1 ms while nothing happens.
int waitForActivity(CURLM* multi, int waitMs)
{
    int ready = 0;
    curl_multi_poll(multi, nullptr, 0, waitMs, &ready);
    return ready > 0 ? 0 : qMin(qMax(1, waitMs * 2), kPollMs);
}

}  // namespace

void applyCommonOptions(CURL* easy)
{
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

int runRequest(CURLM* multi, CURL* easy, const ProgressHandler& progress)
{
    if (curl_multi_add_handle(multi, easy) != CURLM_OK)
        return CURLE_FAILED_INIT;
    // libcurl judges a stall by its speed averaged over several seconds, so a
    // transfer that stops after a burst would hang on for that much longer:
    // once payload has moved, a stall is timed here, from the last byte.
    const qint64 stallMs = qint64(CurrentTimeouts().stallSeconds) * 1000;
    QElapsedTimer sinceProgress, sinceMove;
    sinceProgress.start();
    sinceMove.start();
    curl_off_t lastMoved = 0;
    bool stalled = false;
    int running = 1;
    int waitMs = 0;
    while (running && !stalled) {
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        if (running)
            waitMs = waitForActivity(multi, waitMs);
        const curl_off_t moved = bytesMoved(easy);
        if (moved != lastMoved) {
            lastMoved = moved;
            sinceMove.restart();
        }
        stalled = running && moved > 0 && sinceMove.elapsed() >= stallMs;
        if (sinceProgress.elapsed() >= kProgressMs) {
            if (progress)
                reportProgress(easy, progress);
            if (busyHandler())
                busyHandler()();
            sinceProgress.restart();
        }
    }
    CURLcode result = stalled ? CURLE_OPERATION_TIMEDOUT : CURLE_RECV_ERROR;
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy && !stalled)
            result = msg->data.result;
    }
    curl_multi_remove_handle(multi, easy);  // a stalled transfer's connection closes here
    if (progress)
        reportProgress(easy, progress);
    return result;
}

}  // namespace detail
}  // namespace inet
