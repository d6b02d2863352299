// The machine's connection state, from the interface list and the environment.
#include "curl_internet.h"

#include <QFileInfo>

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

namespace inet::detail {

namespace {

bool proxyInEnvironment()
{
    for (const char* name : {"http_proxy", "https_proxy", "ftp_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY",
                             "FTP_PROXY", "ALL_PROXY"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return false;
}

struct Link {
    QString name;
    bool pointToPoint = false;
};

// The first usable link: up, running, not loopback, with an address;
// a broadcast (LAN) link wins over a point-to-point one.
bool findLink(Link& link)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || (a->ifa_addr->sa_family != AF_INET && a->ifa_addr->sa_family != AF_INET6))
            continue;
        const unsigned flags = a->ifa_flags;
        if (!(flags & IFF_UP) || !(flags & IFF_RUNNING) || (flags & IFF_LOOPBACK))
            continue;
        const bool p2p = (flags & IFF_POINTOPOINT) != 0;
        if (!found || (link.pointToPoint && !p2p)) {
            link = {QString::fromLocal8Bit(a->ifa_name), p2p};
            found = true;
        }
    }
    freeifaddrs(list);
    return found;
}

}  // namespace

bool CurlInternet::InternetGetConnectedStateEx(quint32& flags, QString& connectionName, quint32 nameLength,
                                               quint32 reserved)
{
    Q_UNUSED(reserved);
    m_lastError = 0;
    flags = 0;
    if (proxyInEnvironment())
        flags |= INTERNET_CONNECTION_PROXY;
    if (QFileInfo::exists(QStringLiteral("/usr/sbin/pppd")))
        flags |= INTERNET_RAS_INSTALLED;
    Link link;
    if (!findLink(link)) {
        connectionName.clear();
        return false;
    }
    // A configured connection is a dial-up style link; a plain LAN link is just LAN.
    flags |= link.pointToPoint ? INTERNET_CONNECTION_MODEM | INTERNET_CONNECTION_CONFIGURED : INTERNET_CONNECTION_LAN;
    connectionName = nameLength > 0 ? link.name.left(int(nameLength) - 1) : QString();
    return true;
}

}  // namespace inet::detail
