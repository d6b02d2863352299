// Shown names: the text form of name bytes that need not be UTF-8.
#include "internet_api.h"
#include "name_block.h"

#include <algorithm>

namespace inet {

namespace {

// Bytes that only appear as \xHH in a shown name.
bool isEscapedByte(uint byte) { return byte == 0 || byte == '\n' || byte == '\r' || byte == '\\' || byte >= 0x80; }

bool isHexDigit(char32_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The length of the well-formed UTF-8 sequence at bytes[i] and its code
// point; 0 for a byte that starts none (overlong forms and surrogates included).
int utf8Sequence(const QByteArray& bytes, qsizetype i, char32_t& point)
{
    const uchar lead = uchar(bytes[i]);
    int length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2, point = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, point = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, point = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const uchar next = uchar(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (next & 0x3F);
    }
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return 0;
    return length;
}

// A "\" at bytes[i] followed by "x" and two hex digits would read as an escape.
bool readsAsEscape(const QByteArray& bytes, qsizetype i)
{
    return i + 3 < bytes.size() && bytes[i + 1] == 'x' && isHexDigit(char32_t(uchar(bytes[i + 2]))) &&
           isHexDigit(char32_t(uchar(bytes[i + 3])));
}

// Printable ASCII without a backslash: shown as it is, byte for byte.
bool isPlainAscii(const QByteArray& bytes)
{
    return std::none_of(bytes.cbegin(), bytes.cend(), [](char c) { return isEscapedByte(uchar(c)); });
}

}  // namespace

bool IsUtf8Name(const QByteArray& bytes)
{
    if (isPlainAscii(bytes))
        return true;
    char32_t point = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = utf8Sequence(bytes, i, point);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

QString ShownName(const QByteArray& bytes)
{
    if (isPlainAscii(bytes))
        return QString::fromLatin1(bytes);
    QString shown;
    shown.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t point = 0;
        const int length = utf8Sequence(bytes, i, point);
        const uint byte = uchar(bytes[i]);
        if (length == 0 || (length == 1 && byte != '\\' && isEscapedByte(byte)) ||
            (byte == '\\' && readsAsEscape(bytes, i))) {
            shown += QString::asprintf("\\x%02X", byte);
            ++i;
            continue;
        }
        if (QChar::requiresSurrogates(point)) {
            shown += QChar(QChar::highSurrogate(point));
            shown += QChar(QChar::lowSurrogate(point));
        } else {
            shown += QChar(char16_t(point));
        }
        i += length;
    }
    return shown;
}

QString ShownNameIn(NameBlock& block, const QByteArray& bytes)
{
    return isPlainAscii(bytes) ? block.placeLatin1(bytes) : block.place(ShownName(bytes));
}

QByteArray NameBytes(const QString& shown)
{
    // Most names and paths hold neither an escape nor a surrogate: one
    // conversion instead of one per character (a folder walk converts every
    // path several times).
    const bool plain = std::none_of(shown.cbegin(), shown.cend(),
                                    [](QChar c) { return c == u'\\' || c.isSurrogate(); });
    if (plain)
        return shown.toUtf8();
    QByteArray bytes;
    bytes.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size();) {
        if (shown[i] == u'\\' && i + 3 < shown.size() && shown[i + 1] == u'x' &&
            isHexDigit(shown[i + 2].unicode()) && isHexDigit(shown[i + 3].unicode())) {
            const uint byte = shown.mid(i + 2, 2).toUInt(nullptr, 16);
            if (isEscapedByte(byte)) {
                bytes += char(byte);
                i += 4;
                continue;
            }
        }
        const qsizetype length = (shown[i].isHighSurrogate() && i + 1 < shown.size()) ? 2 : 1;
        bytes += shown.mid(i, length).toUtf8();
        i += length;
    }
    return bytes;
}

}  // namespace inet
