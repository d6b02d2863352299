#include "session/PortText.h"

#include <cmath>

namespace session {

namespace {

constexpr double kHighestPort = 65535;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Counts the digits at pos and moves past them.
int skipDigits(const QString& s, qsizetype& pos)
{
    int count = 0;
    while (pos < s.size() && isDigit(s.at(pos))) {
        ++pos;
        ++count;
    }
    return count;
}

// The longest leading decimal number of s; 0 when there is none.
double leadingDecimal(const QString& s)
{
    qsizetype pos = 0;
    if (pos < s.size() && (s.at(pos) == u'+' || s.at(pos) == u'-'))
        ++pos;
    int digits = skipDigits(s, pos);
    if (pos < s.size() && s.at(pos) == u'.') {
        ++pos;
        digits += skipDigits(s, pos);
    }
    if (digits == 0)
        return 0;
    qsizetype end = pos;
    if (pos < s.size() && (s.at(pos).toLower() == u'e' || s.at(pos).toLower() == u'd')) {
        qsizetype exp = pos + 1;
        if (exp < s.size() && (s.at(exp) == u'+' || s.at(exp) == u'-'))
            ++exp;
        if (skipDigits(s, exp) > 0)
            end = exp;
    }
    QString number = s.left(end);
    number.replace(u'd', u'e').replace(u'D', u'e');
    return number.toDouble();  // may be infinite for huge exponents
}

// The value of one digit in base 16 at most; -1 for anything else.
int digitValue(QChar c)
{
    const char16_t u = c.toLower().unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The number after &H or &O: the digits of the base as far as they go.
double leadingRadix(const QString& s, int base)
{
    double value = 0;
    for (QChar c : s) {
        const int digit = digitValue(c);
        if (digit < 0 || digit >= base)
            break;
        value = value * base + digit;
    }
    return value;
}

}  // namespace

std::optional<quint16> PortFromText(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            s.append(c);
    }
    double value = 0;
    if (s.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        value = leadingRadix(s.mid(2), 16);
    else if (s.startsWith(QLatin1String("&O"), Qt::CaseInsensitive))
        value = leadingRadix(s.mid(2), 8);
    else
        value = leadingDecimal(s);
    if (std::isnan(value) || value < 0)
        return quint16(0);
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (rounded > kHighestPort)
        return std::nullopt;
    return quint16(rounded);
}

}  // namespace session
