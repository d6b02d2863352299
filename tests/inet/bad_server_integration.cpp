// Servers that stall or answer out of protocol: the call fails with a
// number from the table within the time-outs, and never hangs.
#include "inet_fixture.h"

#include <QElapsedTimer>
#include <QProcess>

using namespace inet;

namespace {

// A one-connection server: greets, then either stays silent or answers
// every command with a line that is no FTP reply.
const char* const kRogue = R"(
import socket, sys, threading, os
mode = sys.argv[1]
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(4)
print(s.getsockname()[1], flush=True)
threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()
while True:
    c, _ = s.accept()
    if mode == "silent":
        continue
    c.sendall(b"220 hello\r\n")
    if mode == "garbage":
        while c.recv(1000):
            c.sendall(b"what is this\r\nanother line\r\n")
)";

class BadServer : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetTimeouts(Timeouts());
        process.closeWriteChannel();
        process.kill();
        process.waitForFinished(3000);
    }

    quint32 connectTo(const char* mode, qint64* elapsedMs)
    {
        QString error;
        process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(kRogue),
                                                           QString::fromLatin1(mode)});
        if (!process.waitForStarted(10000) || !process.waitForReadyRead(10000))
            return 1;
        const quint16 port = process.readLine().trimmed().toUShort();
        SetTimeouts({2, 2});
        auto api = CreateCurlInternet();
        const HINTERNET session = api->InternetOpenA(QStringLiteral("FTP CLIENT"), 1, {}, {}, 0);
        QElapsedTimer timer;
        timer.start();
        const HINTERNET c = api->InternetConnectA(session, QStringLiteral("127.0.0.1"), port, QStringLiteral("u"),
                                                  QStringLiteral("p"), INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
        *elapsedMs = timer.elapsed();
        return c ? 0 : api->GetLastError();
    }

    QProcess process;
};

}  // namespace

TEST_F(BadServer, SilentServerTimesOut)
{
    qint64 ms = 0;
    EXPECT_EQ(connectTo("silent", &ms), ERROR_INTERNET_TIMEOUT);
    EXPECT_LT(ms, 10000);
}

TEST_F(BadServer, GarbageRepliesFailTheCall)
{
    qint64 ms = 0;
    const quint32 error = connectTo("garbage", &ms);
    EXPECT_TRUE(error == ERROR_INTERNET_TIMEOUT || error == ERROR_INTERNET_CONNECTION_ABORTED ||
                error == ERROR_INTERNET_EXTENDED_ERROR)
        << error;
    EXPECT_LT(ms, 10000);
}
