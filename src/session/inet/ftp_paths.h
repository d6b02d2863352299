#pragma once
// Server paths and names on the wire: absolute path arithmetic, the refusal
// of control characters, and the byte form of names (UTF-8, or the original
// bytes of a name a server listed in another encoding such as GBK).

#include <QByteArray>
#include <QHash>
#include <QString>

namespace inet::detail {

// True when text holds CR, LF or NUL, which would split an FTP command.
bool hasCommandBreak(const QString& text);

// path made absolute against the absolute directory cwd, with ".", ".." and
// repeated slashes resolved. "/" for the root; no trailing slash otherwise.
QString absolutePath(const QString& cwd, const QString& path);

// The parent directory of an absolute path ("/" for "/x").
QString parentPath(const QString& absolute);
// The last component of an absolute path (empty for "/").
QString baseName(const QString& absolute);

// A listed name for display: UTF-8 when valid, else decoded as GB18030.
QString decodeName(const QByteArray& raw);

// Remembers the bytes of names that are not UTF-8, so that a name shown to
// the caller goes back to the server exactly as the server listed it.
class NameCodec {
public:
    QString decode(const QByteArray& raw);
    // The wire bytes of an absolute path, component by component.
    QByteArray encodePath(const QString& absolute) const;
    // The wire bytes of one component.
    QByteArray encodeName(const QString& name) const;

private:
    QHash<QString, QByteArray> m_foreign;
};

// The path part of an ftp:// address for an absolute path: "/%2F" then the
// percent-encoded bytes, so that libcurl works from the server's root.
QByteArray urlPath(const QByteArray& absoluteBytes, bool directory);

}  // namespace inet::detail
