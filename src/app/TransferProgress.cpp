#include "app/TransferProgress.h"

#include "app/frmMain.h"
#include "session/inet/internet_api.h"


TransferProgress::TransferProgress(frmMain* window)
{
    inet::Library().SetProgressHandler([window, shown = -1](qint64 done, qint64 total) mutable {
        if (total > 0) {
            const int percent = int(done * 100 / total);
            if (percent != shown) {
                shown = percent;
                window->ShowStatus(QString::number(percent));
            }
        }
    });
}

TransferProgress::~TransferProgress() { inet::Library().SetProgressHandler({}); }
