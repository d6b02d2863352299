#include "ftp_paths.h"

#include "internet_api.h"
#include "name_block.h"

#include <QStringConverter>
#include <QStringDecoder>
#include <QSet>
#include <QStringEncoder>
#include <QStringList>

namespace inet::detail {

bool hasCommandBreak(const QString& text)
{
    for (QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            return true;
    }
    return false;
}

bool hasCommandBreak(const QByteArray& bytes)
{
    return bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0');
}

bool hasControlByte(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (uchar(c) < 0x20)
            return true;
    }
    return false;
}

QString absolutePath(const QString& cwd, const QString& path)
{
    const QString joined = path.startsWith(QLatin1Char('/')) ? path : cwd + QLatin1Char('/') + path;
    QStringList parts;
    for (const QString& part : joined.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

QString parentPath(const QString& absolute)
{
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : absolute.left(slash);
}

QString baseName(const QString& absolute)
{
    return absolute.mid(absolute.lastIndexOf(QLatin1Char('/')) + 1);
}

namespace {

// The text of bytes in GB18030 when they are exactly that, and the text
// could not be mistaken for a shown name's escapes or hold control
// characters; a null string otherwise.
QString legacyText(const QByteArray& raw)
{
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    QStringEncoder encoder("GB18030", QStringEncoder::Flag::Stateless);
    if (!decoder.isValid() || !encoder.isValid())
        return {};
    const QString text = decoder.decode(raw);
    // An incomplete sequence at the end is dropped without an error: only
    // the way back proves the bytes were all text.
    if (decoder.hasError() || QByteArray(encoder.encode(text)) != raw || encoder.hasError())
        return {};
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c == u'\\' || c.unicode() == 0x7F)
            return {};
    }
    return text;
}

QString childPath(const QString& dir, const QString& name)
{
    return dir == QLatin1String("/") ? QString(QLatin1Char('/') + name) : QString(dir + QLatin1Char('/') + name);
}

}  // namespace

QString decodeText(const QByteArray& raw)
{
    if (IsUtf8Name(raw))
        return QString::fromUtf8(raw);
    const QString legacy = legacyText(raw);
    return legacy.isNull() ? ShownName(raw) : legacy;
}

QStringList NameCodec::decodeListing(const QString& dir, const QList<QByteArray>& raws)
{
    QStringList shown;
    shown.reserve(raws.size());
    // A shown name has no more units than its bytes, but for escapes (those
    // names get a string of their own).
    qsizetype units = 0;
    for (const QByteArray& raw : raws)
        units += raw.size() + 1;
    NameBlock block(units);
    bool allUtf8 = true;
    for (const QByteArray& raw : raws) {
        const bool utf8 = IsUtf8Name(raw);
        shown.append(utf8 ? ShownNameIn(block, raw) : QString());
        allUtf8 = allUtf8 && utf8;
    }
    QHash<QString, QByteArray>& foreign = m_foreign[dir];
    foreign.clear();
    if (allUtf8)
        return shown;
    // Other encodings come second, so that a UTF-8 name keeps its text
    // when a GBK name reads the same.
    QSet<QString> taken(shown.cbegin(), shown.cend());
    for (qsizetype i = 0; i < raws.size(); ++i) {
        if (!shown[i].isNull())
            continue;
        const QString legacy = legacyText(raws[i]);
        if (!legacy.isNull() && !taken.contains(legacy)) {
            shown[i] = block.place(legacy);
            foreign.insert(legacy, QByteArray(raws[i].constData(), raws[i].size()));  // raws may be views
        } else {
            shown[i] = ShownNameIn(block, raws[i]);
        }
        taken.insert(shown[i]);
    }
    return shown;
}

QString NameCodec::decodePath(const QByteArray& raw)
{
    QString dir = QStringLiteral("/");
    for (const QByteArray& part : raw.split('/')) {
        if (part.isEmpty())
            continue;
        QString name = ShownName(part);
        if (!IsUtf8Name(part)) {
            const QString legacy = legacyText(part);
            if (!legacy.isNull()) {
                name = legacy;
                m_foreign[dir].insert(legacy, part);
            }
        }
        dir = childPath(dir, name);
    }
    return dir;
}

QByteArray NameCodec::encodeName(const QString& dir, const QString& name) const
{
    const auto folder = m_foreign.constFind(dir);
    if (folder != m_foreign.constEnd()) {
        const auto it = folder->constFind(name);
        if (it != folder->constEnd())
            return it.value();
    }
    return NameBytes(name);
}

QByteArray NameCodec::encodePath(const QString& absolute) const
{
    QByteArray out;
    QString dir = QStringLiteral("/");
    for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        out += '/' + encodeName(dir, part);
        dir = childPath(dir, part);
    }
    return out.isEmpty() ? QByteArray("/") : out;
}

QByteArray urlPath(const QByteArray& absoluteBytes, bool directory)
{
    QByteArray rest = absoluteBytes.mid(1);  // the leading "/" becomes %2F
    QByteArray out = "/%2F" + rest.toPercentEncoding("/");
    if (directory && !rest.isEmpty())
        out += '/';
    return out;
}

}  // namespace inet::detail
