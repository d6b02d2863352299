// Transfers against the real server, checked on the server's disk.
#include "inet_fixture.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace inet;
using inettest::FtpTest;

namespace {

// A file of pseudo-random bytes; returns its SHA-1.
QByteArray makeRandomFile(const QString& path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QRandomGenerator random(42);
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 left = size; left > 0; left -= block.size()) {
        random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        const QByteArray part = block.left(qMin<qint64>(left, block.size()));
        f.write(part);
        hash.addData(part);
    }
    f.setPermissions(QFileDevice::Permissions(0x6666));
    return hash.result();
}

QByteArray sha1Of(const QString& path)
{
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    return f.open(QIODevice::ReadOnly) && hash.addData(&f) ? hash.result() : QByteArray();
}

QStringList leftovers(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

}  // namespace

TEST_F(FtpTest, LargeBinaryFileBothWaysAndServerDeathMidDownload)
{
    INET_START();
    QTemporaryDir temp;
    const QString source = temp.filePath(QStringLiteral("big.bin"));
    const QByteArray sum = makeRandomFile(source, 200LL << 20);
    ASSERT_FALSE(sum.isEmpty());
    qint64 lastDone = 0, lastTotal = 0;
    int calls = 0;
    api->SetProgressHandler([&](qint64 done, qint64 total) {
        lastDone = done;
        lastTotal = total;
        ++calls;
    });
    ASSERT_TRUE(api->FtpPutFileA(connection, source, QStringLiteral("big.bin"), FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_EQ(sha1Of(local("big.bin")), sum);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(lastDone, 200LL << 20);
    QFile::remove(source);
    const QString target = temp.filePath(QStringLiteral("copy.bin"));
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("big.bin"), target, false, 0, FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_EQ(sha1Of(target), sum);
    EXPECT_EQ(lastTotal, 200LL << 20);

    if (server->external())
        GTEST_SKIP() << "the external server cannot be stopped by the test";
    // Now the server dies in the middle of a download over the earlier copy.
    inettest::writeFile(target, "earlier");
    bool stopped = false;
    api->SetProgressHandler([&](qint64 done, qint64 total) {
        if (!stopped && done > 0 && done < total) {
            server->stop();
            stopped = true;
        }
    });
    EXPECT_FALSE(api->FtpGetFileA(connection, QStringLiteral("big.bin"), target, false, 0, FTP_TRANSFER_TYPE_BINARY, 0));
    ASSERT_TRUE(stopped) << "the download ended before the server could be stopped";
    const quint32 error = api->GetLastError();
    EXPECT_TRUE(error == ERROR_INTERNET_CONNECTION_ABORTED || error == ERROR_INTERNET_CONNECTION_RESET) << error;
    EXPECT_EQ(inettest::readFile(target), QByteArray("earlier"));
    EXPECT_EQ(leftovers(temp.path()), QStringList{"copy.bin"});
    api->SetProgressHandler({});
    // A fresh server on the same library: the next connect works.
    server = std::make_unique<testsupport::FtpServer>();
    ASSERT_TRUE(server->ok());
    api->InternetCloseHandle(connection);
    connection = connect(server->user(), server->password());
    EXPECT_NE(connection, 0u) << api->GetLastError();
}

// The end of a known-size upload is held back until the peer has taken
// the rest; every size around that held part arrives whole, and the last
// progress report counts every byte.
TEST_F(FtpTest, UploadsOfEverySizeAroundTheHeldEndArriveWhole)
{
    INET_START();
    QTemporaryDir temp;
    qint64 lastDone = -1;
    api->SetProgressHandler([&](qint64 done, qint64) { lastDone = done; });
    for (const qint64 size : {0LL, 1LL, 16383LL, 16384LL, 16385LL, (3LL << 20) + 7}) {
        const QString name = QStringLiteral("up-%1.bin").arg(size);
        const QByteArray sum = makeRandomFile(temp.filePath(name), size);
        lastDone = -1;
        ASSERT_TRUE(api->FtpPutFileA(connection, temp.filePath(name), name, FTP_TRANSFER_TYPE_BINARY, 0))
            << size << ": " << api->GetLastError();
        EXPECT_EQ(sha1Of(local(name)), sum) << size;
        EXPECT_EQ(lastDone, size) << size;
    }
    api->SetProgressHandler({});
}

TEST_F(FtpTest, StalledDownloadFailsWithinTheStallTimeout)
{
    // Paced, so that the download is still running at its first progress report, where the server freezes.
    Options paced;
    paced.bytesPerSecond = 16 << 20;
    INET_START(paced);
    if (server->external())
        GTEST_SKIP() << "the external server cannot be frozen by the test";
    // Far larger than the loopback socket buffers, so that the stall comes mid-file.
    const QByteArray sum = makeRandomFile(local("stall.bin"), 32LL << 20);
    ASSERT_FALSE(sum.isEmpty());
    QTemporaryDir temp;
    const QString target = temp.filePath(QStringLiteral("stall.bin"));
    inettest::writeFile(target, "earlier");
    SetTimeouts({2, 2});
    bool frozen = false;
    api->SetProgressHandler([&](qint64 done, qint64 total) {
        if (!frozen && done > 0 && done < total) {
            server->freeze();  // the server stops sending; the connections stay open
            frozen = true;
        }
    });
    int busyCalls = 0;
    SetBusyHandler([&busyCalls] { ++busyCalls; });
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(api->FtpGetFileA(connection, QStringLiteral("stall.bin"), target, false, 0, FTP_TRANSFER_TYPE_BINARY, 0));
    const qint64 ms = timer.elapsed();
    server->thaw();
    api->SetProgressHandler({});
    SetBusyHandler({});
    EXPECT_GE(busyCalls, 10);  // every ~50 ms through the 2 s stall, while no byte moves
    ASSERT_TRUE(frozen) << "the download ended before the server could be frozen";
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_TIMEOUT);
    EXPECT_LT(ms, 4500);  // the 2 s stall, counted from the last byte, and a margin
    EXPECT_EQ(inettest::readFile(target), QByteArray("earlier"));
    EXPECT_EQ(leftovers(temp.path()), QStringList{"stall.bin"});
    // The server runs on: the same connection handle downloads the file whole.
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("stall.bin"), target, false, 0, FTP_TRANSFER_TYPE_BINARY, 0))
        << api->GetLastError();
    EXPECT_EQ(sha1Of(target), sum);

    // An upload that stalls fails the same way.
    frozen = false;
    api->SetProgressHandler([&](qint64 done, qint64 total) {
        if (!frozen && done > 0 && done < total) {
            server->freeze();
            frozen = true;
        }
    });
    timer.restart();
    EXPECT_FALSE(api->FtpPutFileA(connection, target, QStringLiteral("up.bin"), FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_LT(timer.elapsed(), 4500);
    server->thaw();
    ASSERT_TRUE(frozen);
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_TIMEOUT);
}

TEST_F(FtpTest, AsciiRoundTripIsByteExact)
{
    INET_START();
    QTemporaryDir temp;
    const QByteArray text("first line\nsecond line\n\nlast line without end");
    const QString source = temp.filePath(QStringLiteral("lf.txt"));
    inettest::writeFile(source, text);
    ASSERT_TRUE(api->FtpPutFileA(connection, source, QStringLiteral("t.txt"), FTP_TRANSFER_TYPE_ASCII, 0));
    // Servers store ASCII uploads with either line end; never a doubled CR.
    const QByteArray stored = inettest::readFile(local("t.txt"));
    QByteArray crlf = text;
    crlf.replace("\n", "\r\n");
    EXPECT_TRUE(stored == text || stored == crlf) << stored.toStdString();
    const QString back = temp.filePath(QStringLiteral("back.txt"));
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("t.txt"), back, false, 0, FTP_TRANSFER_TYPE_ASCII, 0));
    EXPECT_EQ(inettest::readFile(back), text);

    // A local CRLF file goes out as CRLF, not CR CR LF.
    inettest::writeFile(source, crlf);
    ASSERT_TRUE(api->FtpPutFileA(connection, source, QStringLiteral("c.txt"), FTP_TRANSFER_TYPE_ASCII, 0));
    EXPECT_FALSE(inettest::readFile(local("c.txt")).contains("\r\r"));
    // Binary keeps every byte.
    ASSERT_TRUE(api->FtpPutFileA(connection, source, QStringLiteral("b.txt"), FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_EQ(inettest::readFile(local("b.txt")), crlf);
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("b.txt"), back, false, 0, FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_EQ(inettest::readFile(back), crlf);
}

// Line ends of every kind, at every offset of the pieces the bytes arrive
// in: CR LF and a lone CR each become one LF, a final CR too. The binary
// download right after it gets every byte as stored.
TEST_F(FtpTest, AsciiDownloadConvertsLineEndsAndBinaryFollowsUnchanged)
{
    INET_START();
    const char* const ends[] = {"\r\n", "\n", "\r", "\r\r\n"};
    QByteArray text;
    for (int line = 0; text.size() < (3 << 20); ++line)
        text += QByteArray(line * 7919 % 301, char('a' + line % 26)) + ends[line * 31 % 4];
    text += "last\r";
    inettest::writeFile(local("mixed.txt"), text);
    QByteArray expected = text;
    expected.replace("\r\n", "\n").replace('\r', '\n');

    QTemporaryDir temp;
    const QString copy = temp.filePath(QStringLiteral("copy.txt"));
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("mixed.txt"), copy, false, 0, FTP_TRANSFER_TYPE_ASCII, 0));
    EXPECT_TRUE(inettest::readFile(copy) == expected);
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("mixed.txt"), copy, false, 0, FTP_TRANSFER_TYPE_BINARY, 0));
    EXPECT_TRUE(inettest::readFile(copy) == text);
}

TEST_F(FtpTest, ActiveModeListsAndTransfers)
{
    INET_START({}, false);
    if (server->address() != server->host())
        GTEST_SKIP() << "active mode over TLS is refused by the connect call";
    connection = connect(server->user(), server->password(), false);
    ASSERT_NE(connection, 0u) << api->GetLastError();
    ASSERT_TRUE(api->FtpSetCurrentDirectoryA(connection, server->workDir()));
    inettest::writeFile(local("active.txt"), "active data");
    FindData data;
    const HINTERNET find = api->FtpFindFirstFileA(connection, QStringLiteral("*"), data, 0, 0);
    ASSERT_NE(find, 0u) << api->GetLastError();
    EXPECT_EQ(data.cFileName, QStringLiteral("active.txt"));
    api->InternetCloseHandle(find);
    QTemporaryDir temp;
    const QString copy = temp.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("active.txt"), copy, false, 0, 2, 0));
    EXPECT_EQ(inettest::readFile(copy), QByteArray("active data"));
    ASSERT_TRUE(api->FtpPutFileA(connection, copy, QStringLiteral("up.txt"), 2, 0));
    EXPECT_EQ(inettest::readFile(local("up.txt")), QByteArray("active data"));
}

TEST_F(FtpTest, FailedTransfersLeaveLocalFilesAlone)
{
    INET_START();
    QTemporaryDir temp;
    const QString target = temp.filePath(QStringLiteral("keep.txt"));
    inettest::writeFile(target, "earlier");
    EXPECT_FALSE(api->FtpGetFileA(connection, QStringLiteral("missing.txt"), target, false, 0, 2, 0));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_TRUE(inettest::lastResponse(*api).startsWith(QStringLiteral("550")));
    EXPECT_EQ(inettest::readFile(target), QByteArray("earlier"));
    EXPECT_EQ(leftovers(temp.path()), QStringList{"keep.txt"});
    // failIfExists refuses before anything is fetched.
    inettest::writeFile(local("there.txt"), "remote");
    EXPECT_FALSE(api->FtpGetFileA(connection, QStringLiteral("there.txt"), target, true, 0, 2, 0));
    EXPECT_EQ(api->GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(inettest::readFile(target), QByteArray("earlier"));
    // An empty remote file arrives as an empty local file.
    inettest::writeFile(local("empty.txt"), "");
    ASSERT_TRUE(api->FtpGetFileA(connection, QStringLiteral("empty.txt"), target, false, 0, 2, 0));
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_EQ(QFileInfo(target).size(), 0);
    // Uploads: a missing local file, and a server that refuses the target.
    // A folder and a pipe are no files to send either; the pipe is not waited on.
    const QString pipe = temp.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& notAFile : {temp.filePath(QStringLiteral("none")), temp.path(), pipe}) {
        EXPECT_FALSE(api->FtpPutFileA(connection, notAFile, QStringLiteral("x"), 2, 0)) << notAFile.toStdString();
        EXPECT_EQ(api->GetLastError(), ERROR_FILE_NOT_FOUND) << notAFile.toStdString();
    }
    EXPECT_FALSE(api->FtpPutFileA(connection, target, QStringLiteral("no/such/dir/x.txt"), 2, 0));
    EXPECT_EQ(api->GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
    quint32 code = 0;
    inettest::lastResponse(*api, &code);
    EXPECT_GE(code, 500u);
}
