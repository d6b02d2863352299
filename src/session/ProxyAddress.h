#pragma once
// The proxy the session is opened through, from the two boxes of the
// session dialog.

#include <QString>

namespace session {

// The address as typed, with the port box's number added when the address
// names a single host without a port ("proxy.example" and "3128" give
// "proxy.example:3128"; a bare IPv6 address gets brackets). A port box that
// is empty or holds no port number (1 to 65535), an address that already
// has one, a blank address and a list of proxies are left as they are.
QString ProxyWithPort(const QString& address, const QString& port);

}  // namespace session
