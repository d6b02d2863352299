#pragma once
// Shared pieces of the Internet library's integration tests: a fresh
// library, a loopback server, and one connection to it.

#include "session/inet/internet_api.h"
#include "support/servers.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <memory>

namespace inettest {

// Makes a folder and its missing parents, writable by an external server's user.
inline bool makeDir(const QString& path)
{
    QStringList missing;
    for (QString dir = QDir::cleanPath(path); !QFileInfo::exists(dir); dir = QFileInfo(dir).absolutePath())
        missing << dir;
    if (!QDir().mkpath(path))
        return false;
    for (const QString& dir : missing)
        QFile::setPermissions(dir, QFileDevice::Permissions(0x7777));
    return true;
}

inline bool writeFile(const QString& path, const QByteArray& content)
{
    makeDir(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(content);
    f.close();
    f.setPermissions(QFileDevice::Permissions(0x6666));  // readable by an external server's user
    return true;
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The text of the library's last server reply.
inline QString lastResponse(inet::InternetApi& api, quint32* code = nullptr)
{
    quint32 c = 0, length = 0;
    api.InternetGetLastResponseInfoA(c, nullptr, length);
    QString text;
    api.InternetGetLastResponseInfoA(c, &text, length);
    if (code)
        *code = c;
    return text;
}

// Starts the fixture's server; ends the test where that skipped or failed.
#define INET_START(...)                          \
    do {                                         \
        start(__VA_ARGS__);                      \
        if (HasFatalFailure() || IsSkipped())    \
            return;                              \
    } while (0)

class FtpTest : public ::testing::Test {
protected:
    using Options = testsupport::FtpServer::Options;

    // Starts the server (or skips) and opens a session; connects when asked.
    void start(const Options& options = {}, bool doConnect = true, bool passive = true)
    {
        if (!testsupport::FtpServer::supports(options))
            GTEST_SKIP() << "the external test server cannot honour this test's server options";
        server = std::make_unique<testsupport::FtpServer>(options);
        ASSERT_TRUE(server->ok()) << server->error().toStdString();
        api = inet::CreateCurlInternet();
        session = api->InternetOpenA(QStringLiteral("FTP CLIENT"), inet::INTERNET_OPEN_TYPE_DIRECT, {}, {}, 0);
        ASSERT_NE(session, 0u);
        if (doConnect) {
            connection = connect(server->user(), server->password(), passive);
            ASSERT_NE(connection, 0u) << "error " << api->GetLastError();
            ASSERT_TRUE(api->FtpSetCurrentDirectoryA(connection, server->workDir()));
        }
    }

    inet::HINTERNET connect(const QString& user, const QString& password, bool passive = true)
    {
        return api->InternetConnectA(session, server->address(), server->port(), user, password,
                                     inet::INTERNET_SERVICE_FTP, passive ? inet::INTERNET_FLAG_PASSIVE : 0, 0);
    }

    // The local file behind a name in the test's working folder.
    QString local(const QString& name) const { return server->localPath(server->workDir() + "/" + name); }

    void TearDown() override
    {
        inet::SetTimeouts(inet::Timeouts());
        if (api) {
            api->InternetCloseHandle(connection);
            api->InternetCloseHandle(session);
        }
    }

    std::unique_ptr<testsupport::FtpServer> server;
    std::unique_ptr<inet::InternetApi> api;
    inet::HINTERNET session = 0;
    inet::HINTERNET connection = 0;
};

}  // namespace inettest
