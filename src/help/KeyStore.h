#pragma once
// A small key/value store standing in for the system registry: the About
// box reads the system-information tool's location from it. The machine's
// store answers the tool's path when a known tool is on the PATH.

#include <QHash>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace help {

constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr quint32 REG_SZ = 1;
constexpr quint32 REG_BINARY = 3;
constexpr quint32 REG_DWORD = 4;

// Where the tool's program is, and the folder that holds it.
inline const QString SysInfoPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString SysInfoPathValue = QStringLiteral("PATH");
inline const QString SysInfoFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString SysInfoFolderValue = QStringLiteral("MSINFO");

struct KeyValue {
    quint32 type = REG_SZ;
    QString text;         // REG_SZ and others: raw text, possibly NUL-padded
    quint32 number = 0;   // REG_DWORD
};

class KeyStore {
public:
    void setValue(quint32 root, const QString& key, const QString& name, const KeyValue& value);
    bool hasKey(quint32 root, const QString& key) const;
    std::optional<KeyValue> value(quint32 root, const QString& key, const QString& name) const;

private:
    static QString keyId(quint32 root, const QString& key);
    QHash<QString, QHash<QString, KeyValue>> m_keys;  // key paths compare without case
};

// This machine's store, read afresh on every call (or the one set by SetMachineKeys).
KeyStore MachineKeys();
// Puts store in place of this machine's keys; nullptr restores them (tests).
void SetMachineKeys(const KeyStore* store);

}  // namespace help
