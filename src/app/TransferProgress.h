#pragma once
// While alive, shows the Internet library's transfer progress as the
// status bar's progress line and keeps the window painting, without taking
// user input, so a long single transfer never looks frozen.

class frmMain;

class TransferProgress {
public:
    explicit TransferProgress(frmMain* window);
    ~TransferProgress();
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;
};
