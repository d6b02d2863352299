#include "session/ProxyAddress.h"

#include <algorithm>

namespace session {
namespace {

// The port box's number; 0 when it holds none.
int portNumber(const QString& text)
{
    const QString digits = text.trimmed();
    bool ok = false;
    const int port = digits.toInt(&ok);
    const bool plain =
        !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
    return ok && plain && port >= 1 && port <= 65535 ? port : 0;
}

}  // namespace

QString ProxyWithPort(const QString& address, const QString& port)
{
    const int number = portNumber(port);
    const QString trimmed = address.trimmed();
    // "http=a:80 ftp=b:21" and "a b" list several proxies, each with its own port.
    if (number == 0 || trimmed.isEmpty() || trimmed.contains(u'=') || trimmed.contains(u' '))
        return address;
    const qsizetype scheme = trimmed.indexOf(QLatin1String("://"));
    const qsizetype hostStart = scheme < 0 ? 0 : scheme + 3;
    qsizetype hostEnd = trimmed.indexOf(u'/', hostStart);
    if (hostEnd < 0)
        hostEnd = trimmed.size();
    QString host = trimmed.mid(hostStart, hostEnd - hostStart);
    const qsizetype at = host.lastIndexOf(u'@');
    const QString user = at < 0 ? QString() : host.left(at + 1);
    host = host.mid(at + 1);
    if (host.isEmpty())
        return address;
    if (host.startsWith(u'[')) {
        if (host.contains(QLatin1String("]:")))
            return address;
    } else if (host.count(u':') == 1) {
        return address;
    } else if (host.count(u':') > 1) {
        host = u'[' + host + u']';
    }
    return trimmed.left(hostStart) + user + host + u':' + QString::number(number) + trimmed.mid(hostEnd);
}

}  // namespace session
