#pragma once
// Shared steps of the encrypted-connection tests through the real window:
// every operation of the window against one connected server, checked on
// the server's disk.

#include "support/window_fixture.h"

#include <QDir>
#include <QString>

#include <functional>

namespace testsupport {

// What a stalled server stops answering in the middle of.
enum class Stalled { Download, Listing };

class SecureWindowTest : public WindowTest {
protected:
    // Puts files and folders on the server's disk below the log-in
    // directory (serverDisk) for everyOperation().
    void prepareServerDisk(const QString& serverDisk);
    // Lists, opens a folder, transfers a file and a folder each way, makes,
    // renames and deletes, with rootKey the tree's root and serverDisk the
    // local folder behind the log-in directory.
    void everyOperation(const QString& rootKey, const QString& serverDisk);
    // Puts a big file or a long folder on the server's disk; the server then
    // stops answering (setFrozen(true)) once the request for it is under
    // way: the request fails within the stall time with the time-out report
    // and the window stays connected; a download leaves the earlier local
    // file whole and no partial file. Answering again, the server serves the
    // same request in full.
    void stallAndRecover(Stalled what, const QString& rootKey, const QString& serverDisk,
                         const std::function<void(bool)>& setFrozen);
    // Cancels a folder upload and a folder download in their middle: each
    // stops between entries and says so, and every file written is whole.
    void cancelFolderWalks(const QString& rootKey, const QString& serverDisk);
    // Answers the target chooser with the server and the input box with answer.
    void runOnServer(void (frmMain::*handler)(), const QString& answer = {});
    // Lists a folder node's children afresh.
    void relist(const QString& key);
    QString local(const QString& relative) const { return localRoot.path() + QLatin1Char('/') + relative; }
    // The lock in the status bar, when it is shown.
    bool lockShown() const;
    QString lockToolTip() const;
};

}  // namespace testsupport
