#pragma once
// An Internet library that keeps a small FTP server in memory and records
// every call, for checking a handler's exact calls and hints. Installed in
// place of the real library for its lifetime.

#include "session/inet/internet_api.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <functional>

namespace testsupport {

class FakeInternet : public inet::InternetApi {
public:
    FakeInternet();
    ~FakeInternet() override;

    // --- the server's content ------------------------------------------------
    void addDir(const QString& path);
    void addFile(const QString& path, const QByteArray& content = {});
    // A raw listing entry, e.g. "." or a directory with attribute 17.
    void addEntry(const QString& dir, const QString& name, quint32 attributes);
    bool hasDir(const QString& path) const;
    bool hasFile(const QString& path) const;
    QByteArray content(const QString& path) const;
    QStringList names(const QString& dir) const;

    // --- scripting -------------------------------------------------------------
    QStringList calls;                 // e.g. "FtpSetCurrentDirectoryA(/pub)"
    QString loginDir = QStringLiteral("/");
    QString currentDir = QStringLiteral("/");
    bool failOpen = false;
    quint32 failConnectWith = 0;       // non-zero: InternetConnectA fails with it
    // Calls refused with 12003 and a 550 reply: "<Operation>:<absolute path>".
    QSet<QString> refuse;
    // Runs after each call is recorded (e.g. to press Cancel mid-walk).
    std::function<void(const QString& call)> onCall;
    // Calls whose names start with one of these are left out of `calls`.
    QStringList quiet{QStringLiteral("GetLastError"), QStringLiteral("InternetGetLastResponseInfoA")};
    quint32 lastError = 0;
    QString lastResponse;

    // --- the library -------------------------------------------------------------
    inet::HINTERNET InternetOpenA(const QString& agent, quint32 accessType, const QString& proxy,
                                  const QString& proxyBypass, quint32 flags) override;
    inet::HINTERNET InternetConnectA(inet::HINTERNET session, const QString& server, quint16 port,
                                     const QString& user, const QString& password, quint32 service,
                                     quint32 flags, quintptr context) override;
    bool InternetCloseHandle(inet::HINTERNET handle) override;
    QString FtpGetLoginDirectory(inet::HINTERNET connection) override;
    bool FtpSetCurrentDirectoryA(inet::HINTERNET connection, const QString& path) override;
    inet::HINTERNET FtpFindFirstFileA(inet::HINTERNET connection, const QString& pattern, inet::FindData& data,
                                      quint32 flags, quintptr context) override;
    bool InternetFindNextFileA(inet::HINTERNET find, inet::FindData& data) override;
    bool FtpGetFileA(inet::HINTERNET connection, const QString& remote, const QString& local, bool failIfExists,
                     quint32 attributes, quint32 flags, quintptr context) override;
    bool FtpPutFileA(inet::HINTERNET connection, const QString& local, const QString& remote, quint32 flags,
                     quintptr context) override;
    bool FtpCreateDirectoryA(inet::HINTERNET connection, const QString& path) override;
    bool FtpRemoveDirectoryA(inet::HINTERNET connection, const QString& path) override;
    bool FtpDeleteFileA(inet::HINTERNET connection, const QString& path) override;
    bool FtpRenameFileA(inet::HINTERNET connection, const QString& from, const QString& to) override;
    bool InternetGetLastResponseInfoA(quint32& errorCode, QString* buffer, quint32& length) override;
    quint32 GetLastError() const override { return lastError; }
    bool InternetGetConnectedStateEx(quint32& flags, QString& connectionName, quint32 nameLength,
                                     quint32 reserved) override;
    qint32 URLDownloadToFileA(void* caller, const QString& url, const QString& localFile, quint32 reserved,
                              void* callback) override;
    void SetProgressHandler(inet::ProgressHandler handler) override { progress = std::move(handler); }

    // What InternetGetConnectedStateEx answers.
    bool connected = true;
    quint32 stateFlags = inet::INTERNET_CONNECTION_LAN;
    QString connectionName = QStringLiteral("eth0");
    // What URLDownloadToFileA writes, by address; other addresses fail.
    QHash<QString, QByteArray> webFiles;
    inet::ProgressHandler progress;

    QString absolute(const QString& path) const;

private:
    struct Entry {
        QString name;
        quint32 attributes = 0;
        QByteArray content;
    };
    struct Find {
        QList<Entry> entries;
        int next = 0;
    };

    void record(const QString& call);
    bool fail(quint32 error, const QString& response = {});
    bool refused(const QString& operation, const QString& path);
    bool validConnection(inet::HINTERNET connection);
    Entry* entry(const QString& path);
    const Entry* entry(const QString& path) const;
    static QString parentOf(const QString& path);
    static QString nameOf(const QString& path);
    static void fill(inet::FindData& data, const Entry& entry);

    QHash<QString, QList<Entry>> m_dirs;  // absolute directory path -> entries in listing order
    QHash<inet::HINTERNET, Find> m_finds;
    QSet<inet::HINTERNET> m_sessions;
    QSet<inet::HINTERNET> m_connections;
    inet::HINTERNET m_nextHandle = 100;
};

}  // namespace testsupport
