#pragma once
// Drives one libcurl easy handle through a multi handle, polling every
// 20 ms: no request stalls on a missed wake-up, and the progress handler
// and the busy handler run from here about every 50 ms, also while no
// bytes move and while libcurl itself blocks waiting for a reply.

#include "internet_api.h"

#include <functional>

// The same opaque types libcurl declares; its header stays in the .cpp files.
typedef void CURL;
typedef void CURLM;

namespace inet::detail {

// What a request lets its loop watch. Every member may be left empty.
struct RequestWatch {
    const ProgressHandler* progress = nullptr;
    // Counts every sign of life of the request (a reply line, a payload
    // chunk). With it, a request fails once nothing happened for the stall
    // time, from its start on; without it, only once payload stopped moving.
    const quint64* activity = nullptr;
    // Upload bytes handed to the system that the peer has not taken yet.
    std::function<qint64()> unacknowledged;
    // Runs on every turn of the loop (for example to resume a paused upload);
    // true while the request waits on something no socket signals, so that
    // the loop looks again soon.
    std::function<bool()> eachTurn;
    // Runs once the request has ended, while the connection is still known.
    std::function<void(CURL*)> beforeRemove;
};

// Runs the request set up on easy to its end; returns its CURLcode.
int runRequest(CURLM* multi, CURL* easy, const RequestWatch& watch);

// Options every request of this library shares: time-outs, signals off.
void applyCommonOptions(CURL* easy);

}  // namespace inet::detail
