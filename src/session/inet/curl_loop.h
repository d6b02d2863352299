#pragma once
// Drives one libcurl easy handle through a multi handle, polling every
// 20 ms: no request stalls on a missed wake-up, and the progress handler
// and the busy handler run from here about every 50 ms, also while no
// bytes move.

#include "internet_api.h"

// The same opaque types libcurl declares; its header stays in the .cpp files.
typedef void CURL;
typedef void CURLM;

namespace inet::detail {

// Runs the request set up on easy to its end; returns its CURLcode.
int runRequest(CURLM* multi, CURL* easy, const ProgressHandler& progress);

// Options every request of this library shares: time-outs, signals off.
void applyCommonOptions(CURL* easy);

}  // namespace inet::detail
