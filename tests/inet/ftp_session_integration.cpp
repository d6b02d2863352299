// Log-in, handles, the current directory and the control connection's life.
#include "inet_fixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <dlfcn.h>

using namespace inet;
using inettest::FtpTest;

TEST_F(FtpTest, NamedLoginStartsInTheLoginDirectory)
{
    INET_START({QStringLiteral("home")}, false);
    connection = connect(server->user(), server->password());
    ASSERT_NE(connection, 0u) << api->GetLastError();
    EXPECT_EQ(api->FtpGetLoginDirectory(connection), QStringLiteral("/home"));
    inettest::writeFile(server->localPath("/home/here.txt"), "x");
    FindData data;
    const HINTERNET find = api->FtpFindFirstFileA(connection, QStringLiteral("*.*"), data, 0, 0);
    ASSERT_NE(find, 0u) << api->GetLastError();
    EXPECT_EQ(data.cFileName, QStringLiteral("here.txt"));
    api->InternetCloseHandle(find);
}

TEST_F(FtpTest, AnonymousLoginWithEmptyUserAndPassword)
{
    INET_START({}, false);
    if (server->external())
        GTEST_SKIP() << "anonymous access on the external server is unknown";
    connection = connect({}, {});
    ASSERT_NE(connection, 0u) << api->GetLastError();
    EXPECT_EQ(api->FtpGetLoginDirectory(connection), QStringLiteral("/"));
    EXPECT_TRUE(api->FtpCreateDirectoryA(connection, QStringLiteral("/anon")));
    EXPECT_TRUE(QFileInfo(server->localPath("/anon")).isDir());
}

TEST_F(FtpTest, WrongPasswordFailsTheConnectWithTheServersReply)
{
    INET_START({}, false);
    EXPECT_EQ(connect(server->user(), QStringLiteral("wrong")), 0u);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_INCORRECT_PASSWORD);
    quint32 code = 0;
    inettest::lastResponse(*api, &code);
    EXPECT_EQ(code, 530u);
}

TEST_F(FtpTest, NothingListeningAndBadHandles)
{
    INET_START({}, false);
    quint16 port = 0;
    {
        testsupport::HttpServer gone;  // its port is free again once it stops
        port = gone.port();
    }
    EXPECT_EQ(api->InternetConnectA(session, QStringLiteral("127.0.0.1"), port, {}, {}, INTERNET_SERVICE_FTP, 0, 0),
              0u);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_CANNOT_CONNECT);
    // A host text of blanks is refused without a look-up.
    EXPECT_EQ(api->InternetConnectA(session, QStringLiteral("  "), 0, {}, {}, INTERNET_SERVICE_FTP, 0, 0), 0u);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_NAME_NOT_RESOLVED);
    FindData data;
    EXPECT_FALSE(api->FtpSetCurrentDirectoryA(0, QStringLiteral("/")));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    EXPECT_EQ(api->FtpFindFirstFileA(session, QStringLiteral("*"), data, 0, 0), 0u);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    EXPECT_TRUE(api->InternetCloseHandle(session));
    EXPECT_FALSE(api->InternetCloseHandle(session));
    EXPECT_EQ(api->InternetConnectA(session, QStringLiteral("127.0.0.1"), port, {}, {}, INTERNET_SERVICE_FTP, 0, 0),
              0u);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    session = 0;
}

TEST(CurlLibraries, GnuTlsWaitsUntilALibraryStartsIt)
{
    // libcurl's LDAP and RTMP libraries start it themselves when used; the
    // answer must be where GnuTLS looks for it, among the program's symbols.
    using Skip = int (*)();
    const auto skip = reinterpret_cast<Skip>(dlsym(RTLD_DEFAULT, "_gnutls_global_init_skip"));
    ASSERT_NE(skip, nullptr);
    EXPECT_EQ(skip(), 1);
}

// Runs in a child process inside a network namespace of its own, where a
// look-up fails at once and nothing leaves the machine.
TEST(FtpUnknownHost, ChildSide)
{
    if (qEnvironmentVariableIsEmpty("QUILLON_UNKNOWN_HOST_CHILD"))
        GTEST_SKIP() << "runs only inside the isolated child process";
    auto api = CreateCurlInternet();
    const HINTERNET session = api->InternetOpenA(QStringLiteral("FTP CLIENT"), INTERNET_OPEN_TYPE_DIRECT, {}, {}, 0);
    EXPECT_EQ(api->InternetConnectA(session, QStringLiteral("no-such-host.invalid"), 21, QStringLiteral("u"),
                                    QStringLiteral("p"), INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0),
              0u);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_NAME_NOT_RESOLVED);
}

TEST(FtpUnknownHost, FailsWithNameNotResolved)
{
    if (!qEnvironmentVariableIsEmpty("QUILLON_UNKNOWN_HOST_CHILD"))
        GTEST_SKIP() << "parent side";
    if (QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("true")}) != 0)
        GTEST_SKIP() << "unshare -n is not permitted here, and a real look-up would leave the machine";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLON_UNKNOWN_HOST_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QCoreApplication::applicationFilePath(),
                                            QStringLiteral("--gtest_filter=FtpUnknownHost.ChildSide")});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

TEST_F(FtpTest, DirectoryChangesResolveAndRefusalsCarryTheReply)
{
    INET_START();
    const QString work = server->workDir() == "/" ? QString() : server->workDir();
    inettest::makeDir(local("a/b"));
    EXPECT_TRUE(api->FtpSetCurrentDirectoryA(connection, QStringLiteral("a")));
    EXPECT_TRUE(api->FtpSetCurrentDirectoryA(connection, QStringLiteral("b")));
    EXPECT_TRUE(api->FtpPutFileA(connection, QCoreApplication::applicationFilePath(), QStringLiteral("bin"),
                                 FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_TRUE(QFileInfo::exists(local("a/b/bin")));
    EXPECT_TRUE(api->FtpSetCurrentDirectoryA(connection, QStringLiteral("..")));
    EXPECT_FALSE(api->FtpSetCurrentDirectoryA(connection, QStringLiteral("missing")));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
    quint32 code = 0;
    const QString text = inettest::lastResponse(*api, &code);
    EXPECT_EQ(code, 550u);
    EXPECT_TRUE(text.startsWith(QStringLiteral("550"))) << text.toStdString();
    // The refused change left the directory where it was.
    EXPECT_TRUE(api->FtpDeleteFileA(connection, QStringLiteral("b/bin")));
    EXPECT_TRUE(api->FtpSetCurrentDirectoryA(connection, work + QStringLiteral("/a/b")));
    EXPECT_FALSE(api->FtpSetCurrentDirectoryA(connection, work + QStringLiteral("/a/b/nothing")));
}

TEST_F(FtpTest, OneControlConnectionServesFiftyOperations)
{
    INET_START({QString(), 0, true});
    inettest::writeFile(local("f.txt"), "data");
    const QString target = QDir::tempPath() + "/quillon-one-conn-" + QString::number(QCoreApplication::applicationPid());
    for (int i = 0; i < 10; ++i) {
        FindData data;
        const HINTERNET find = api->FtpFindFirstFileA(connection, QStringLiteral("*"), data, 0, 0);
        ASSERT_NE(find, 0u);
        api->InternetCloseHandle(find);
        ASSERT_TRUE(api->FtpGetFileA(connection, "f.txt", target, false, 0, FTP_TRANSFER_TYPE_BINARY, 0));
        ASSERT_TRUE(api->FtpPutFileA(connection, target, "g.txt", FTP_TRANSFER_TYPE_BINARY, 0));
        ASSERT_TRUE(api->FtpRenameFileA(connection, "g.txt", "h.txt"));
        ASSERT_TRUE(api->FtpDeleteFileA(connection, "h.txt"));
    }
    QFile::remove(target);
    EXPECT_EQ(server->connectionCount(), 1);
}

// How the server treats the connection while the client is idle.
enum class Idle { Kept, DroppedAfter421, DroppedSilently };

std::string idleName(Idle idle)
{
    switch (idle) {
    case Idle::Kept:
        return "Kept";
    case Idle::DroppedAfter421:
        return "DroppedAfter421";
    case Idle::DroppedSilently:
        break;
    }
    return "DroppedSilently";
}

class IdleConnectionTest : public FtpTest, public ::testing::WithParamInterface<Idle> {};

// After idleness the window changes into the same folder and downloads
// the same file again (libcurl then has no directory or type change to
// send first), which must work whether the server kept
// the connection, said 421 and closed it, or just closed it; replies time
// out after a second here, so the idle time must not count.
TEST_P(IdleConnectionTest, RequestsAfterIdlenessSucceed)
{
    Options options{QString(), GetParam() == Idle::Kept ? 0 : 1, true};
    options.silentIdleDrop = GetParam() == Idle::DroppedSilently;
    SetTimeouts({15, 1});
    INET_START(options);
    inettest::writeFile(local("f.txt"), "data");
    const QString target = QDir::tempPath() + "/quillon-idle-" + QString::number(QCoreApplication::applicationPid());
    FindData data;
    HINTERNET find = api->FtpFindFirstFileA(connection, QStringLiteral("*"), data, 0, 0);
    ASSERT_NE(find, 0u) << api->GetLastError();
    api->InternetCloseHandle(find);
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("f.txt"), target, false, 0, FTP_TRANSFER_TYPE_BINARY, 0));
    if (GetParam() == Idle::Kept) {
        QThread::msleep(2500);
    } else {  // wait, bounded, until the server has dropped the idle control connection
        QDeadlineTimer deadline(10000);
        while (server->idleDropCount() < 1 && !deadline.hasExpired())
            QThread::msleep(20);
        ASSERT_EQ(server->idleDropCount(), 1);
    }
    QFile::remove(target);
    EXPECT_TRUE(api->FtpSetCurrentDirectoryA(connection, server->workDir())) << api->GetLastError();
    EXPECT_TRUE(api->FtpGetFileA(connection, QStringLiteral("f.txt"), target, false, 0, FTP_TRANSFER_TYPE_BINARY, 0))
        << api->GetLastError();
    EXPECT_EQ(inettest::readFile(target), "data");
    QFile::remove(target);
    EXPECT_TRUE(api->FtpCreateDirectoryA(connection, QStringLiteral("made"))) << api->GetLastError();
    find = api->FtpFindFirstFileA(connection, QStringLiteral("*"), data, 0, 0);
    EXPECT_NE(find, 0u) << api->GetLastError();
    api->InternetCloseHandle(find);
    EXPECT_EQ(server->connectionCount(), GetParam() == Idle::Kept ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(ServerSides, IdleConnectionTest,
                         ::testing::Values(Idle::Kept, Idle::DroppedAfter421, Idle::DroppedSilently),
                         [](const ::testing::TestParamInfo<Idle>& info) { return idleName(info.param); });
