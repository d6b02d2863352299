#include "help/KeyStore.h"

#include "help/ProgramSearch.h"

namespace help {
namespace {

const KeyStore*& replacement()
{
    static const KeyStore* store = nullptr;
    return store;
}

}  // namespace

QString KeyStore::keyId(quint32 root, const QString& key)
{
    return QString::number(root, 16) + u'\\' + key.toLower();
}

void KeyStore::setValue(quint32 root, const QString& key, const QString& name, const KeyValue& value)
{
    m_keys[keyId(root, key)][name.toLower()] = value;
}

bool KeyStore::hasKey(quint32 root, const QString& key) const { return m_keys.contains(keyId(root, key)); }

std::optional<KeyValue> KeyStore::value(quint32 root, const QString& key, const QString& name) const
{
    const auto found = m_keys.constFind(keyId(root, key));
    if (found == m_keys.cend() || !found->contains(name.toLower()))
        return std::nullopt;
    return found->value(name.toLower());
}

KeyStore MachineKeys()
{
    if (replacement())
        return *replacement();
    KeyStore store;
    const QString tool = FindProgram(SystemInfoPrograms());
    if (!tool.isEmpty())
        store.setValue(HKEY_LOCAL_MACHINE, SysInfoPathKey, SysInfoPathValue, {REG_SZ, tool, 0});
    return store;
}

void SetMachineKeys(const KeyStore* store) { replacement() = store; }

}  // namespace help
