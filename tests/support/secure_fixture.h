#pragma once
// Shared steps of the encrypted-connection tests through the real window:
// every operation of the window against one connected server, checked on
// the server's disk.

#include "support/window_fixture.h"

#include <QDir>
#include <QString>

namespace testsupport {

class SecureWindowTest : public WindowTest {
protected:
    // Puts files and folders on the server's disk below the log-in
    // directory (serverDisk) for everyOperation().
    void prepareServerDisk(const QString& serverDisk);
    // Lists, opens a folder, transfers a file and a folder each way, makes,
    // renames and deletes, with rootKey the tree's root and serverDisk the
    // local folder behind the log-in directory.
    void everyOperation(const QString& rootKey, const QString& serverDisk);
    // Answers the target chooser with the server and the input box with answer.
    void runOnServer(void (frmMain::*handler)(), const QString& answer = {});
    QString local(const QString& relative) const { return localRoot.path() + QLatin1Char('/') + relative; }
    // The lock in the status bar, when it is shown.
    bool lockShown() const;
    QString lockToolTip() const;
};

}  // namespace testsupport
