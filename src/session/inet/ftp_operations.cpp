// Directory, listing, transfer and management operations of the library.
#include "curl_internet.h"
#include "ftp_listing.h"
#include "part_file.h"
#include "source_file.h"

#include <QRegularExpression>

#include <cstring>

namespace inet::detail {

namespace {

bool isWildcard(const QString& text)
{
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

// "*.*" matches every name, as on the platform this library stands in for.
bool matchesAll(const QString& filter)
{
    return filter.isEmpty() || filter == QLatin1String("*") || filter == QLatin1String("*.*");
}

// An entry without its name, which is decoded later with all the others.
FindData toFindData(const ListingEntry& entry)
{
    FindData d;
    d.dwFileAttributes = entry.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    d.ftLastWriteTime = entry.fileTime;
    const quint64 size = entry.size > 0 ? quint64(entry.size) : 0;
    d.nFileSizeHigh = quint32(size >> 32);
    d.nFileSizeLow = quint32(size & 0xffffffffu);
    return d;
}

// Copies the bytes raws refer to into one block of total bytes, and points
// them there instead.
QByteArray gathered(QList<QByteArray>& raws, qsizetype total)
{
    QByteArray block(total, Qt::Uninitialized);
    char* at = block.data();
    for (QByteArray& raw : raws) {
        std::memcpy(at, raw.constData(), size_t(raw.size()));
        raw = QByteArray::fromRawData(at, raw.size());
        at += raw.size();
    }
    return block;
}

bool isPositive(const Reply& reply, bool intermediate)
{
    return reply.code >= 200 && reply.code < (intermediate ? 400 : 300);
}

}  // namespace

QString CurlInternet::resolve(ConnectionState& c, const QString& path)
{
    const QString absolute = absolutePath(c.cwd, path);
    // CR, LF or NUL would smuggle a command onto the control connection,
    // whether typed or written as an escape of a shown name.
    if (hasCommandBreak(path) || hasCommandBreak(c.names.encodePath(absolute))) {
        fail(ERROR_INVALID_NAME);
        return {};
    }
    return absolute;
}

ConnectionState* CurlInternet::connectionWithPath(HINTERNET connection, const QString& path, QString& resolved)
{
    ConnectionState* c = this->connection(connection);
    if (!c) {
        fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    resolved = resolve(*c, path);
    return resolved.isEmpty() ? nullptr : c;
}

bool CurlInternet::FtpSetCurrentDirectoryA(HINTERNET connection, const QString& path)
{
    QString dir;
    ConnectionState* c = connectionWithPath(connection, path, dir);
    if (!c)
        return false;
    const QByteArray bytes = c->names.encodePath(dir);
    // libcurl refuses control characters in an address: such a folder is
    // entered by the command itself.
    const bool changed = hasControlByte(bytes) ? answeredCommand(*c, {"CWD " + bytes})
                                               : finish(*c, c->link->changeDirectory(bytes));
    if (!changed)
        return false;
    c->cwd = dir;
    return true;
}

bool CurlInternet::listInto(ConnectionState& c, const QString& dir, const QString& filter, FindState& find)
{
    QByteArray text;
    if (!finish(c, c.link->list(c.names.encodePath(dir), text)))
        return false;
    // A long reply is megabytes, most of it not names: each entry is made
    // once, where it stays, and the names move into one block of their own
    // so that the reply is gone before they are decoded.
    std::vector<FindData>& entries = find.entries;
    QList<QByteArray> raws;
    const qsizetype lines = text.count('\n') + 1;
    entries.reserve(size_t(lines));
    raws.reserve(lines);
    qsizetype nameBytes = 0;
    parseListing(text, QDateTime::currentDateTimeUtc(), [&](const ListingEntry& entry) {
        entries.push_back(toFindData(entry));
        raws.append(QByteArray::fromRawData(entry.name.data(), entry.name.size()));
        nameBytes += entry.name.size();
    });
    const QByteArray allNames = gathered(raws, nameBytes);
    text = QByteArray();
    QStringList names = c.names.decodeListing(dir, raws);
    raws = QList<QByteArray>();
    const QRegularExpression pattern(
        matchesAll(filter) ? QString() : QRegularExpression::wildcardToRegularExpression(filter));
    size_t kept = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        QString& name = names[qsizetype(i)];
        if (!matchesAll(filter) && !pattern.match(name).hasMatch())
            continue;
        entries[i].cFileName = std::move(name);
        if (kept != i)
            entries[kept] = std::move(entries[i]);
        ++kept;
    }
    entries.resize(kept);
    return true;
}

HINTERNET CurlInternet::FtpFindFirstFileA(HINTERNET connection, const QString& pattern, FindData& data,
                                          quint32 flags, quintptr context)
{
    Q_UNUSED(flags);
    Q_UNUSED(context);
    ConnectionState* c = this->connection(connection);
    if (!c)
        return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE), 0;
    // The last component is a name filter when it holds a wildcard;
    // otherwise the whole pattern names the folder to list.
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString last = pattern.mid(slash + 1);
    QString folder = pattern;
    QString filter;
    if (isWildcard(last)) {
        folder = slash < 0 ? QString() : pattern.left(slash + 1);
        filter = last;
    }
    const QString dir = resolve(*c, folder);
    if (dir.isEmpty())
        return 0;
    FindState find;
    if (!listInto(*c, dir, filter, find))
        return 0;
    if (find.entries.empty())
        return fail(ERROR_NO_MORE_FILES), 0;
    data = find.entries.front();
    find.next = 1;
    return add(std::move(find));
}

bool CurlInternet::InternetFindNextFileA(HINTERNET find, FindData& data)
{
    const auto it = m_objects.find(find);
    FindState* f = it == m_objects.end() ? nullptr : std::get_if<FindState>(&it->second);
    if (!f)
        return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    if (f->next >= f->entries.size())
        return fail(ERROR_NO_MORE_FILES);
    data = f->entries[f->next++];
    m_lastError = 0;
    return true;
}

bool CurlInternet::FtpGetFileA(HINTERNET connection, const QString& remote, const QString& local,
                               bool failIfExists, quint32 attributes, quint32 flags, quintptr context)
{
    Q_UNUSED(attributes);
    Q_UNUSED(context);
    QString file;
    ConnectionState* c = connectionWithPath(connection, remote, file);
    if (!c)
        return false;
    if (failIfExists && ::access(NameBytes(local).constData(), F_OK) == 0)
        return fail(ERROR_FILE_EXISTS);
    PartFile out(local);
    if (!out.open())
        return fail(ERROR_ACCESS_DENIED);
    const bool ascii = (flags & 3) == FTP_TRANSFER_TYPE_ASCII;
    const quint32 error = c->link->download(c->names.encodePath(file), out, ascii);
    if (out.createFailed())
        return fail(ERROR_ACCESS_DENIED);
    if (!finish(*c, error))
        return false;
    if (!out.commit())
        return fail(ERROR_ACCESS_DENIED);
    return true;
}

bool CurlInternet::FtpPutFileA(HINTERNET connection, const QString& local, const QString& remote, quint32 flags,
                               quintptr context)
{
    Q_UNUSED(context);
    QString file;
    ConnectionState* c = connectionWithPath(connection, remote, file);
    if (!c)
        return false;
    // Opened by its bytes: a local name need not be UTF-8.
    SourceFile in(NameBytes(local));
    if (in.failure() != SourceFile::Failure::None)
        return fail(in.failure() == SourceFile::Failure::NotAFile ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
    const bool ascii = (flags & 3) == FTP_TRANSFER_TYPE_ASCII;
    return finish(*c, c->link->upload(in, in.size(), c->names.encodePath(file), ascii));
}

bool CurlInternet::answeredCommand(ConnectionState& c, const QByteArray& command)
{
    QList<Reply> replies;
    if (!finish(c, c.link->command({command}, replies)))
        return false;
    m_lastReply = replies.first();
    if (isPositive(replies.first(), false))
        return true;
    return fail(replies.first().code ? ERROR_INTERNET_EXTENDED_ERROR : ERROR_INTERNET_CONNECTION_ABORTED);
}

bool CurlInternet::simpleCommand(HINTERNET connection, const QByteArray& verb, const QString& path)
{
    QString target;
    ConnectionState* c = connectionWithPath(connection, path, target);
    return c && answeredCommand(*c, verb + ' ' + c->names.encodePath(target));
}

bool CurlInternet::FtpCreateDirectoryA(HINTERNET connection, const QString& path)
{
    return simpleCommand(connection, "MKD", path);
}

bool CurlInternet::FtpRemoveDirectoryA(HINTERNET connection, const QString& path)
{
    return simpleCommand(connection, "RMD", path);
}

bool CurlInternet::FtpDeleteFileA(HINTERNET connection, const QString& path)
{
    return simpleCommand(connection, "DELE", path);
}

bool CurlInternet::FtpRenameFileA(HINTERNET connection, const QString& from, const QString& to)
{
    ConnectionState* c = this->connection(connection);
    if (!c)
        return fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    const QString source = resolve(*c, from);
    const QString target = source.isEmpty() ? QString() : resolve(*c, to);
    if (target.isEmpty())
        return false;
    QList<Reply> replies;
    const QList<QByteArray> commands{"RNFR " + c->names.encodePath(source), "RNTO " + c->names.encodePath(target)};
    if (!finish(*c, c->link->command(commands, replies)))
        return false;
    // RNTO goes out even after a refused RNFR: the RNFR reply is the one that counts.
    const Reply& failed = !isPositive(replies[0], true) ? replies[0] : replies[1];
    m_lastReply = failed;
    if (isPositive(replies[0], true) && isPositive(replies[1], false))
        return true;
    return fail(failed.code ? ERROR_INTERNET_EXTENDED_ERROR : ERROR_INTERNET_CONNECTION_ABORTED);
}

}  // namespace inet::detail
