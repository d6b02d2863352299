#pragma once
// The libcurl-backed library: a table of opaque handles over sessions, FTP
// connections and read-ahead listings. Each public call resets the last error.

#include "ftp_link.h"
#include "ftp_paths.h"
#include "internet_api.h"

#include <unordered_map>

#include <memory>
#include <variant>
#include <vector>

namespace inet::detail {

struct SessionState {
    QByteArray proxy;  // empty: direct
};

struct ConnectionState {
    HINTERNET session = 0;
    std::unique_ptr<FtpLink> link;
    QString cwd;  // absolute, as shown to the caller
    QString loginDir;
    NameCodec names;
};

struct FindState {
    std::vector<FindData> entries;
    size_t next = 0;
};

class CurlInternet final : public InternetApi {
public:
    CurlInternet();
    ~CurlInternet() override;

    HINTERNET InternetOpenA(const QString& agent, quint32 accessType, const QString& proxy,
                            const QString& proxyBypass, quint32 flags) override;
    HINTERNET InternetConnectA(HINTERNET session, const QString& server, quint16 port, const QString& user,
                               const QString& password, quint32 service, quint32 flags,
                               quintptr context) override;
    bool InternetCloseHandle(HINTERNET handle) override;
    QString FtpGetLoginDirectory(HINTERNET connection) override;
    bool FtpSetCurrentDirectoryA(HINTERNET connection, const QString& path) override;
    HINTERNET FtpFindFirstFileA(HINTERNET connection, const QString& pattern, FindData& data, quint32 flags,
                                quintptr context) override;
    bool InternetFindNextFileA(HINTERNET find, FindData& data) override;
    bool FtpGetFileA(HINTERNET connection, const QString& remote, const QString& local, bool failIfExists,
                     quint32 attributes, quint32 flags, quintptr context) override;
    bool FtpPutFileA(HINTERNET connection, const QString& local, const QString& remote, quint32 flags,
                     quintptr context) override;
    bool FtpCreateDirectoryA(HINTERNET connection, const QString& path) override;
    bool FtpRemoveDirectoryA(HINTERNET connection, const QString& path) override;
    bool FtpDeleteFileA(HINTERNET connection, const QString& path) override;
    bool FtpRenameFileA(HINTERNET connection, const QString& from, const QString& to) override;
    bool InternetGetLastResponseInfoA(quint32& errorCode, QString* buffer, quint32& length) override;
    quint32 GetLastError() const override { return m_lastError; }
    bool InternetGetConnectedStateEx(quint32& flags, QString& connectionName, quint32 nameLength,
                                     quint32 reserved) override;
    qint32 URLDownloadToFileA(void* caller, const QString& url, const QString& localFile, quint32 reserved,
                              void* callback) override;
    void SetProgressHandler(ProgressHandler handler) override { m_progress = std::move(handler); }
    SecurityInfo FtpGetSecurityInfo(HINTERNET connection) override;

private:
    using Object = std::variant<SessionState, ConnectionState, FindState>;

    HINTERNET add(Object object);
    ConnectionState* connection(HINTERNET handle);
    bool fail(quint32 error);
    // Takes the outcome of an FTP request on c: last error and server reply.
    bool finish(ConnectionState& c, quint32 error);
    // Absolute path of a caller's path on c, or an empty string (and the
    // last error set) when the path is unusable on the wire.
    QString resolve(ConnectionState& c, const QString& path);
    // The connection behind a handle with a path resolved on it; null (and
    // the last error set) when the handle or the path is unusable.
    ConnectionState* connectionWithPath(HINTERNET connection, const QString& path, QString& resolved);
    // Sends one command on c; true when its reply is 2xx.
    bool answeredCommand(ConnectionState& c, const QByteArray& command);
    // Sends one command whose reply must be 2xx (or 3xx when intermediate).
    bool simpleCommand(HINTERNET connection, const QByteArray& verb, const QString& path);
    bool listInto(ConnectionState& c, const QString& dir, const QString& filter, FindState& find);

    std::unordered_map<HINTERNET, Object> m_objects;
    HINTERNET m_nextHandle = 0x00CC0004;
    quint32 m_lastError = 0;
    Reply m_lastReply;
    ProgressHandler m_progress;
};

}  // namespace inet::detail
