#pragma once
// Server paths and names on the wire: absolute path arithmetic, the refusal
// of control characters, and the byte form of names (UTF-8, or the original
// bytes of a name a server listed in another encoding such as GBK).

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace inet::detail {

// True when text holds CR, LF or NUL, which would split an FTP command.
bool hasCommandBreak(const QString& text);
bool hasCommandBreak(const QByteArray& bytes);
// True when bytes hold a control character (below 0x20), which libcurl
// refuses in an address.
bool hasControlByte(const QByteArray& bytes);

// path made absolute against the absolute directory cwd, with ".", ".." and
// repeated slashes resolved. "/" for the root; no trailing slash otherwise.
QString absolutePath(const QString& cwd, const QString& path);

// The parent directory of an absolute path ("/" for "/x").
QString parentPath(const QString& absolute);
// The last component of an absolute path (empty for "/").
QString baseName(const QString& absolute);

// Server reply text for display: UTF-8 when valid, else GB18030 when the
// bytes are exactly that, else the shown-name form.
QString decodeText(const QByteArray& raw);

// Names on the wire are bytes. Names in UTF-8 are shown in the plain form
// (ShownName, with its escapes); a name in another encoding, such as GBK on
// older servers, is shown as that text where it is unambiguous within its
// folder. The codec remembers those, folder by folder, so that every name
// it showed goes back to the server as exactly the bytes the server listed.
class NameCodec {
public:
    // The shown names of one listing of the folder dir, in the listing's
    // order, all distinct for distinct bytes. Replaces what earlier listings
    // of dir taught.
    QStringList decodeListing(const QString& dir, const QList<QByteArray>& raws);
    // A whole absolute path as the server gave it (PWD).
    QString decodePath(const QByteArray& raw);
    // The wire bytes of an absolute shown path, component by component.
    QByteArray encodePath(const QString& absolute) const;

private:
    QByteArray encodeName(const QString& dir, const QString& name) const;

    // folder -> shown name -> bytes, for names shown in another encoding
    QHash<QString, QHash<QString, QByteArray>> m_foreign;
};

// The path part of an ftp:// address for an absolute path: "/%2F" then the
// percent-encoded bytes, so that libcurl works from the server's root.
QByteArray urlPath(const QByteArray& absoluteBytes, bool directory);

}  // namespace inet::detail
