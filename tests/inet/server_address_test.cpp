// How the server box's text and the port box pick protocol, host and port.
#include "session/inet/server_address.h"

#include <gtest/gtest.h>

using namespace inet::detail;

TEST(ServerAddress, Rows)
{
    struct Row {
        const char* text;
        quint16 portBox;
        bool usable;
        Scheme scheme;
        const char* host;
        quint16 port;
    };
    const Row rows[] = {
        // A bare host is plain FTP with the port box as it is.
        {"ftp.example.org", 0, true, Scheme::Ftp, "ftp.example.org", 21},
        {"ftp.example.org", 2121, true, Scheme::Ftp, "ftp.example.org", 2121},
        {"::1", 21, true, Scheme::Ftp, "::1", 21},
        {"ftp://host", 2121, true, Scheme::Ftp, "host", 2121},
        // The start-up 21 and 0 mean the scheme's own port.
        {"ftpes://host", 21, true, Scheme::Ftpes, "host", 21},
        {"ftps://host", 21, true, Scheme::Ftps, "host", 990},
        {"FTPS://host", 0, true, Scheme::Ftps, "host", 990},
        {"sftp://host", 21, true, Scheme::Sftp, "host", 22},
        {"sftp://host/", 0, true, Scheme::Sftp, "host", 22},
        // Another port typed in the port box is taken; one in the text wins.
        {"sftp://host", 2200, true, Scheme::Sftp, "host", 2200},
        {"sftp://host:2222", 2200, true, Scheme::Sftp, "host", 2222},
        {"ftps://[::1]:9990", 21, true, Scheme::Ftps, "::1", 9990},
        {"ftpes://[::1]", 21, true, Scheme::Ftpes, "::1", 21},
        // Unusable: unknown schemes, empty hosts, bad ports, anything a resolver would not take.
        {"http://host", 21, false, Scheme::Ftp, "", 0},
        {"sftp://", 21, false, Scheme::Ftp, "", 0},
        {"sftp://host:", 21, false, Scheme::Ftp, "", 0},
        {"sftp://host:0", 21, false, Scheme::Ftp, "", 0},
        {"sftp://host:70000", 21, false, Scheme::Ftp, "", 0},
        {"sftp://host:22x", 21, false, Scheme::Ftp, "", 0},
        {"sftp://user@host", 21, false, Scheme::Ftp, "", 0},
        {"sftp://host/dir", 21, false, Scheme::Ftp, "", 0},
        {"ftps://[::1", 21, false, Scheme::Ftp, "", 0},
        {"host name", 21, false, Scheme::Ftp, "", 0},
        {" ", 21, false, Scheme::Ftp, "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto address = parseServerAddress(QString::fromUtf8(row.text), row.portBox);
        ASSERT_EQ(address.has_value(), row.usable);
        if (!address)
            continue;
        EXPECT_EQ(address->scheme, row.scheme);
        EXPECT_EQ(address->host, QString::fromUtf8(row.host));
        EXPECT_EQ(address->port, row.port);
    }
}
