#pragma once
// While alive, shows the Internet library's transfer progress as the
// status bar's progress line (the window paints meanwhile from the
// library's busy handler), so a long single transfer never looks frozen.

class frmMain;

class TransferProgress {
public:
    explicit TransferProgress(frmMain* window);
    ~TransferProgress();
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;
};
