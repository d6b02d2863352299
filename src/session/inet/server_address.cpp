#include "server_address.h"

#include <QRegularExpression>

namespace inet::detail {

namespace {

bool usableHost(const QString& host)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9._:\\-]+$"));
    return allowed.match(host).hasMatch();
}

std::optional<Scheme> schemeNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("ftp"))
        return Scheme::Ftp;
    if (n == QLatin1String("ftpes"))
        return Scheme::Ftpes;
    if (n == QLatin1String("ftps"))
        return Scheme::Ftps;
    if (n == QLatin1String("sftp"))
        return Scheme::Sftp;
    return std::nullopt;
}

// "host", "host:port", "[v6]" or "[v6]:port"; the port 0 when absent.
bool splitAuthority(const QString& authority, QString& host, quint16& port)
{
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        host = authority.mid(1, close - 1);
        const QString rest = authority.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            return false;
        portText = rest.mid(1);
        if (rest == QLatin1String(":"))
            return false;
    } else {
        const qsizetype colon = authority.indexOf(QLatin1Char(':'));
        host = colon < 0 ? authority : authority.left(colon);
        if (colon >= 0) {
            portText = authority.mid(colon + 1);
            if (portText.isEmpty())
                return false;
        }
    }
    port = 0;
    if (portText.isEmpty())
        return true;
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    if (!digits.match(portText).hasMatch())
        return false;
    const int value = portText.toInt();
    if (value < 1 || value > 65535)
        return false;
    port = quint16(value);
    return true;
}

}  // namespace

quint16 defaultPort(Scheme scheme)
{
    switch (scheme) {
    case Scheme::Ftps:
        return 990;
    case Scheme::Sftp:
        return 22;
    default:
        return 21;
    }
}

bool isEncrypted(Scheme scheme)
{
    return scheme != Scheme::Ftp;
}

std::optional<ServerAddress> parseServerAddress(const QString& text, quint16 port)
{
    const qsizetype mark = text.indexOf(QLatin1String("://"));
    if (mark < 0) {
        // A bare host is plain FTP exactly as typed.
        if (!usableHost(text))
            return std::nullopt;
        return ServerAddress{Scheme::Ftp, text, port ? port : defaultPort(Scheme::Ftp)};
    }
    const std::optional<Scheme> scheme = schemeNamed(text.left(mark));
    if (!scheme)
        return std::nullopt;
    QString authority = text.mid(mark + 3);
    if (authority.endsWith(QLatin1Char('/')))
        authority.chop(1);
    ServerAddress address;
    address.scheme = *scheme;
    quint16 ownPort = 0;
    if (!splitAuthority(authority, address.host, ownPort) || address.host.isEmpty() || !usableHost(address.host))
        return std::nullopt;
    if (ownPort)
        address.port = ownPort;
    else if (port == 0 || port == 21)
        address.port = defaultPort(*scheme);
    else
        address.port = port;
    return address;
}

}  // namespace inet::detail
