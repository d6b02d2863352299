#include "ftp_paths.h"

#include <QStringConverter>
#include <QStringDecoder>
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

QString decodeName(const QByteArray& raw)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid()) {
        text = gb.decode(raw);
        if (!gb.hasError())
            return text;
    }
    return QString::fromLatin1(raw);
}

QString NameCodec::decode(const QByteArray& raw)
{
    const QString text = decodeName(raw);
    if (text.toUtf8() != raw)
        m_foreign.insert(text, raw);
    return text;
}

QByteArray NameCodec::encodeName(const QString& name) const
{
    const auto it = m_foreign.constFind(name);
    return it != m_foreign.constEnd() ? it.value() : name.toUtf8();
}

QByteArray NameCodec::encodePath(const QString& absolute) const
{
    QByteArray out;
    for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        out += '/' + encodeName(part);
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
