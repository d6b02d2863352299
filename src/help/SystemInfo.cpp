#include "help/SystemInfo.h"

#include "help/KeyStore.h"
#include "local/modCommon.h"

#include <QFileInfo>

namespace help {
namespace {

constexpr int kValueBufferLength = 1024;

}  // namespace

bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    const KeyStore store = MachineKeys();
    const std::optional<KeyValue> value = store.value(KeyRoot, KeyName, SubKeyRef);
    // The stored text ends with a NUL of its own, which must fit in the buffer too.
    if (!value || (value->type != REG_DWORD && value->text.toLocal8Bit().size() + 1 > kValueBufferLength)) {
        KeyVal.clear();
        return false;
    }
    switch (value->type) {
    case REG_SZ:
        KeyVal = modCommon::TrimAtNull(value->text);
        break;
    case REG_DWORD:
        KeyVal = QStringLiteral("&h") + QString::number(value->number, 16).toUpper();
        break;
    default:
        break;  // other kinds have no text form here
    }
    return true;
}

QString SystemInfoProgram()
{
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, SysInfoPathKey, SysInfoPathValue, path))
        return path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, SysInfoFolderKey, SysInfoFolderValue, path)) {
        const QString program = modCommon::JoinPath(path, QStringLiteral("MSINFO32.EXE"));
        if (QFileInfo(program).isFile())
            return program;
    }
    return QString();
}

}  // namespace help
