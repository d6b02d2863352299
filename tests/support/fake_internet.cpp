#include "support/fake_internet.h"

#include <QDir>
#include <QFile>

using namespace inet;

namespace testsupport {

FakeInternet::FakeInternet()
{
    m_dirs.insert(QStringLiteral("/"), {});
    SetLibrary(this);
}

FakeInternet::~FakeInternet() { SetLibrary(nullptr); }

QString FakeInternet::absolute(const QString& path) const
{
    QString joined = path.startsWith('/') ? path : currentDir + '/' + path;
    joined = QDir::cleanPath(joined);
    return joined.isEmpty() ? QStringLiteral("/") : joined;
}

QString FakeInternet::parentOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString FakeInternet::nameOf(const QString& path) { return path.mid(path.lastIndexOf('/') + 1); }

void FakeInternet::addDir(const QString& path)
{
    const QString dir = absolute(path);
    if (dir == QLatin1String("/") || m_dirs.contains(dir))
        return;
    addDir(parentOf(dir));
    m_dirs[parentOf(dir)].append({nameOf(dir), FILE_ATTRIBUTE_DIRECTORY, {}});
    m_dirs.insert(dir, {});
}

void FakeInternet::addFile(const QString& path, const QByteArray& content)
{
    const QString file = absolute(path);
    addDir(parentOf(file));
    if (Entry* existing = entry(file)) {
        existing->content = content;
        return;
    }
    m_dirs[parentOf(file)].append({nameOf(file), FILE_ATTRIBUTE_NORMAL, content});
}

void FakeInternet::addEntry(const QString& dir, const QString& name, quint32 attributes)
{
    addDir(dir);
    m_dirs[absolute(dir)].append({name, attributes, {}});
}

FakeInternet::Entry* FakeInternet::entry(const QString& path)
{
    auto dir = m_dirs.find(parentOf(path));
    if (dir == m_dirs.end())
        return nullptr;
    for (Entry& e : *dir) {
        if (e.name == nameOf(path))
            return &e;
    }
    return nullptr;
}

const FakeInternet::Entry* FakeInternet::entry(const QString& path) const
{
    return const_cast<FakeInternet*>(this)->entry(path);
}

bool FakeInternet::hasDir(const QString& path) const { return m_dirs.contains(absolute(path)); }

bool FakeInternet::hasFile(const QString& path) const
{
    const Entry* e = entry(absolute(path));
    return e && !(e->attributes & FILE_ATTRIBUTE_DIRECTORY);
}

QByteArray FakeInternet::content(const QString& path) const
{
    const Entry* e = entry(absolute(path));
    return e ? e->content : QByteArray();
}

QStringList FakeInternet::names(const QString& dir) const
{
    QStringList result;
    for (const Entry& e : m_dirs.value(absolute(dir)))
        result.append(e.name);
    return result;
}

void FakeInternet::record(const QString& call)
{
    bool silent = false;
    for (const QString& prefix : quiet)
        silent = silent || call.startsWith(prefix);
    if (!silent)
        calls.append(call);
    if (onCall)
        onCall(call);
}

bool FakeInternet::fail(quint32 error, const QString& response)
{
    lastError = error;
    if (!response.isEmpty())
        lastResponse = response;
    return false;
}

bool FakeInternet::refused(const QString& operation, const QString& path)
{
    return refuse.contains(operation + ':' + absolute(path));
}

bool FakeInternet::validConnection(HINTERNET connection)
{
    if (m_connections.contains(connection))
        return true;
    return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
}

HINTERNET FakeInternet::InternetOpenA(const QString& agent, quint32 accessType, const QString& proxy,
                                      const QString&, quint32 flags)
{
    record(QStringLiteral("InternetOpenA(%1,%2,%3,%4)").arg(agent).arg(accessType).arg(proxy).arg(flags));
    if (failOpen)
        return fail(ERROR_INTERNET_INTERNAL_ERROR), 0;
    m_sessions.insert(++m_nextHandle);
    lastError = 0;
    return m_nextHandle;
}

HINTERNET FakeInternet::InternetConnectA(HINTERNET session, const QString& server, quint16 port,
                                         const QString& user, const QString& password, quint32,
                                         quint32 flags, quintptr)
{
    record(QStringLiteral("InternetConnectA(%1,%2,%3,%4,%5)")
               .arg(server).arg(port).arg(user, password).arg(flags, 0, 16));
    if (!m_sessions.contains(session))
        return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE), 0;
    if (failConnectWith != 0)
        return fail(failConnectWith, QStringLiteral("530 Login incorrect.")), 0;
    currentDir = loginDir;
    m_connections.insert(++m_nextHandle);
    lastError = 0;
    return m_nextHandle;
}

bool FakeInternet::InternetCloseHandle(HINTERNET handle)
{
    record(QStringLiteral("InternetCloseHandle(%1)").arg(handle));
    const bool known = m_sessions.remove(handle) || m_connections.remove(handle) || m_finds.remove(handle);
    return known || fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
}

QString FakeInternet::FtpGetLoginDirectory(HINTERNET) { return loginDir; }

bool FakeInternet::FtpSetCurrentDirectoryA(HINTERNET connection, const QString& path)
{
    record(QStringLiteral("FtpSetCurrentDirectoryA(%1)").arg(path));
    if (!validConnection(connection))
        return false;
    if (!m_dirs.contains(absolute(path)) || path.contains('\\') || refused(QStringLiteral("FtpSetCurrentDirectoryA"), path))
        return fail(ERROR_INTERNET_EXTENDED_ERROR, QStringLiteral("550 No such file or directory."));
    currentDir = absolute(path);
    lastError = 0;
    return true;
}

void FakeInternet::fill(FindData& data, const Entry& entry)
{
    data = FindData{};
    data.dwFileAttributes = entry.attributes;
    data.nFileSizeLow = quint32(entry.content.size());
    data.cFileName = entry.name;
}

HINTERNET FakeInternet::FtpFindFirstFileA(HINTERNET connection, const QString& pattern, FindData& data,
                                          quint32, quintptr)
{
    record(QStringLiteral("FtpFindFirstFileA(%1)").arg(pattern));
    if (!validConnection(connection))
        return 0;
    QString dir = pattern;
    if (dir == QLatin1String("*.*") || dir == QLatin1String("*"))
        dir = currentDir;
    else if (dir.endsWith('*'))
        dir.chop(1);
    const QString path = absolute(dir);
    if (!m_dirs.contains(path) || refused(QStringLiteral("FtpFindFirstFileA"), path))
        return fail(ERROR_INTERNET_EXTENDED_ERROR, QStringLiteral("550 No such file or directory.")), 0;
    const QList<Entry>& entries = m_dirs.value(path);
    if (entries.isEmpty())
        return fail(ERROR_NO_MORE_FILES), 0;
    m_finds.insert(++m_nextHandle, {entries, 1});
    fill(data, entries.first());
    lastError = 0;
    return m_nextHandle;
}

bool FakeInternet::InternetFindNextFileA(HINTERNET find, FindData& data)
{
    record(QStringLiteral("InternetFindNextFileA(%1)").arg(find));
    auto it = m_finds.find(find);
    if (it == m_finds.end())
        return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if (it->next >= it->entries.size())
        return fail(ERROR_NO_MORE_FILES);
    fill(data, it->entries.at(it->next++));
    lastError = 0;
    return true;
}

bool FakeInternet::FtpGetFileA(HINTERNET connection, const QString& remote, const QString& local, bool,
                               quint32, quint32 flags, quintptr)
{
    record(QStringLiteral("FtpGetFileA(%1,%2,%3)").arg(remote, local).arg(flags));
    if (!validConnection(connection))
        return false;
    const Entry* e = entry(absolute(remote));
    if (!e || (e->attributes & FILE_ATTRIBUTE_DIRECTORY) || refused(QStringLiteral("FtpGetFileA"), remote))
        return fail(ERROR_INTERNET_EXTENDED_ERROR, QStringLiteral("550 No such file or directory."));
    QFile out(local);
    if (!out.open(QIODevice::WriteOnly) || out.write(e->content) != e->content.size())
        return fail(ERROR_INTERNET_INTERNAL_ERROR);
    lastError = 0;
    return true;
}

bool FakeInternet::FtpPutFileA(HINTERNET connection, const QString& local, const QString& remote, quint32 flags,
                               quintptr)
{
    record(QStringLiteral("FtpPutFileA(%1,%2,%3)").arg(local, remote).arg(flags));
    if (!validConnection(connection))
        return false;
    QFile in(local);
    const QString target = absolute(remote);
    if (!m_dirs.contains(parentOf(target)) || refused(QStringLiteral("FtpPutFileA"), remote))
        return fail(ERROR_INTERNET_EXTENDED_ERROR, QStringLiteral("553 Could not create file."));
    if (!in.open(QIODevice::ReadOnly))
        return fail(ERROR_INTERNET_INTERNAL_ERROR);
    addFile(target, in.readAll());
    lastError = 0;
    return true;
}

bool FakeInternet::FtpCreateDirectoryA(HINTERNET connection, const QString& path)
{
    record(QStringLiteral("FtpCreateDirectoryA(%1)").arg(path));
    if (!validConnection(connection))
        return false;
    const QString dir = absolute(path);
    if (entry(dir) || !m_dirs.contains(parentOf(dir)) || refused(QStringLiteral("FtpCreateDirectoryA"), path))
        return fail(ERROR_INTERNET_EXTENDED_ERROR, QStringLiteral("550 Directory already exists."));
    addDir(dir);
    lastError = 0;
    return true;
}

bool FakeInternet::FtpRemoveDirectoryA(HINTERNET connection, const QString& path)
{
    record(QStringLiteral("FtpRemoveDirectoryA(%1)").arg(path));
    if (!validConnection(connection))
        return false;
    const QString dir = absolute(path);
    if (!m_dirs.contains(dir) || !m_dirs.value(dir).isEmpty() || refused(QStringLiteral("FtpRemoveDirectoryA"), path))
        return fail(ERROR_INTERNET_EXTENDED_ERROR, QStringLiteral("550 Directory not empty."));
    m_dirs.remove(dir);
    m_dirs[parentOf(dir)].removeIf([&](const Entry& e) { return e.name == nameOf(dir); });
    lastError = 0;
    return true;
}

bool FakeInternet::FtpDeleteFileA(HINTERNET connection, const QString& path)
{
    record(QStringLiteral("FtpDeleteFileA(%1)").arg(path));
    if (!validConnection(connection))
        return false;
    const QString file = absolute(path);
    if (!hasFile(file) || refused(QStringLiteral("FtpDeleteFileA"), path))
        return fail(ERROR_INTERNET_EXTENDED_ERROR, QStringLiteral("550 No such file or directory."));
    m_dirs[parentOf(file)].removeIf([&](const Entry& e) { return e.name == nameOf(file); });
    lastError = 0;
    return true;
}

bool FakeInternet::FtpRenameFileA(HINTERNET connection, const QString& from, const QString& to)
{
    record(QStringLiteral("FtpRenameFileA(%1,%2)").arg(from, to));
    if (!validConnection(connection))
        return false;
    const QString source = absolute(from);
    const QString target = absolute(to);
    Entry* e = entry(source);
    if (!e || entry(target) || !m_dirs.contains(parentOf(target)) || refused(QStringLiteral("FtpRenameFileA"), from))
        return fail(ERROR_INTERNET_EXTENDED_ERROR, QStringLiteral("550 Rename failed."));
    Entry moved = *e;
    moved.name = nameOf(target);
    m_dirs[parentOf(source)].removeIf([&](const Entry& x) { return x.name == nameOf(source); });
    m_dirs[parentOf(target)].append(moved);
    const QStringList dirs = m_dirs.keys();
    for (const QString& dir : dirs) {
        if (dir == source || dir.startsWith(source + '/'))
            m_dirs.insert(target + dir.mid(source.size()), m_dirs.take(dir));
    }
    lastError = 0;
    return true;
}

bool FakeInternet::InternetGetLastResponseInfoA(quint32& errorCode, QString* buffer, quint32& length)
{
    record(QStringLiteral("InternetGetLastResponseInfoA"));
    errorCode = lastResponse.left(3).toUInt();
    if (!buffer || length < quint32(lastResponse.size())) {
        length = quint32(lastResponse.size());
        return false;
    }
    *buffer = lastResponse;
    length = quint32(lastResponse.size());
    return true;
}

bool FakeInternet::InternetGetConnectedStateEx(quint32& flags, QString& name, quint32, quint32)
{
    record(QStringLiteral("InternetGetConnectedStateEx"));
    flags = stateFlags;
    name = connectionName;
    return connected;
}

qint32 FakeInternet::URLDownloadToFileA(void*, const QString& url, const QString& localFile, quint32, void*)
{
    record(QStringLiteral("URLDownloadToFileA(%1,%2)").arg(url, localFile));
    if (!webFiles.contains(url))
        return 1;
    QFile out(localFile);
    if (!out.open(QIODevice::WriteOnly))
        return 2;
    out.write(webFiles.value(url));
    return 0;
}

}  // namespace testsupport
