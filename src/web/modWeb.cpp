#include "web/modWeb.h"

#include "local/modCommon.h"
#include "session/inet/internet_api.h"

namespace modWeb {

QString SampleAddress() { return QStringLiteral("https://www.rfc-editor.org/rfc/rfc959.txt"); }

QString DownloadWebFile(const QString& address, const QString& directory)
{
    const QString localPath = modCommon::JoinPath(directory, modCommon::FileNameFromPath(address));
    const qint32 status = inet::Library().URLDownloadToFileA(nullptr, address, localPath, 0, nullptr);
    return status == 0 ? localPath : QString();
}

}  // namespace modWeb
