// Web file download: the address box's file into the highlighted local directory.
#include "app/frmMain.h"

#include "app/TransferProgress.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"
#include "web/modWeb.h"

#include <QLineEdit>

void frmMain::cmdWeb_Click()
{
    const QString directory = dirLocal->highlightedPath();
    const QString address = txtWeb->text();
    QString result;
    {
        TransferProgress progress(this);
        result = modWeb::DownloadWebFile(address, directory);
    }
    if (result.isEmpty()) {
        ShowStatus(QStringLiteral("下载失败!"));
        return;
    }
    filLocal->refresh();
    ShowStatus(QStringLiteral("下载完成!") + result);
}
