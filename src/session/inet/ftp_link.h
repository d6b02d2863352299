#pragma once
// One FTP control connection (plain, over TLS, or an SFTP session in FTP's
// terms): a libcurl easy handle that every operation reuses, inside a multi
// handle of its own whose cache keeps the one logged-in connection between
// requests. Paths are absolute wire bytes.

#include "curl_loop.h"
#include "internet_api.h"
#include "server_address.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

#include <memory>

namespace inet::detail {

// A server reply, all its lines joined by CR LF, no line end after the last.
struct Reply {
    int code = 0;
    QByteArray text;
    QByteArray command;  // the command it answered; empty for the greeting
};

struct LinkTarget {
    QByteArray host;
    quint16 port = 21;
    QByteArray user;      // empty: anonymous
    QByteArray password;
    bool passive = true;
    QByteArray proxy;     // empty: direct; "host:port" an HTTP proxy; or with a scheme
    Scheme scheme = Scheme::Ftp;
};

class TlsGuard;
class SshGuard;

// Takes the "." and ".." lines out of a long listing (SFTP lists them).
void dropDotEntries(QByteArray& listing);

class FtpLink {
public:
    explicit FtpLink(LinkTarget target);
    ~FtpLink();
    FtpLink(const FtpLink&) = delete;
    FtpLink& operator=(const FtpLink&) = delete;

    // Each operation returns 0 or an error number of the library.
    quint32 login();
    // Server path of the log-in directory, as PWD gave it after log-in.
    QByteArray loginDir() const { return m_loginDir; }
    bool serverSpeaksUtf8() const { return m_utf8; }
    // How the connection is protected (nothing for plain FTP).
    SecurityInfo security() const;

    quint32 changeDirectory(const QByteArray& dir);
    quint32 list(const QByteArray& dir, QByteArray& listing);
    quint32 download(const QByteArray& file, QIODevice& out, bool ascii);
    quint32 upload(QIODevice& in, qint64 size, const QByteArray& file, bool ascii);
    // Sends commands on the control connection; fills one reply per command
    // (code 0 where none came). Success means the request itself ran: the
    // caller judges the replies. Over SFTP, MKD, RMD, DELE and RNFR with
    // RNTO go out as SFTP's own requests, answered as an FTP server would.
    quint32 command(const QList<QByteArray>& commands, QList<Reply>& replies);

    // The reply to report: the error reply of a failed request, else the last one.
    Reply reportReply() const { return m_report; }
    void setProgress(const ProgressHandler* progress) { m_progress = progress; }

    struct Curl;  // libcurl state, defined where libcurl is included

private:
    enum class Kind { Nobody, Download, Upload };
    quint32 perform(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes, bool atLogin);
    // Transfers of files whose paths hold control characters.
    quint32 downloadByCommand(const QByteArray& file, QIODevice& out, bool ascii);
    quint32 uploadByRename(QIODevice& in, qint64 size, const QByteArray& file, bool ascii);
    // fresh: on a new connection (logged in afresh) instead of the cached one.
    int runOnce(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes, bool fresh);
    void prepare(const QByteArray& path, Kind kind, const QList<QByteArray>& quotes, bool fresh);
    // Whether a failed request broke on its link before anything went through.
    bool worthRetrying(int code) const;
    // The log-in itself, once the certificate question is settled.
    quint32 logInOnce();
    quint32 sftpLogin();
    quint32 sftpLoginOnce();
    quint32 sftpCommand(const QList<QByteArray>& commands, QList<Reply>& replies);
    // The path part of the address for an absolute wire path.
    QByteArray wirePath(const QByteArray& path, bool directory) const;
    bool sftp() const { return m_target.scheme == Scheme::Sftp; }
    void prepareSftp(CURL* easy);

    LinkTarget m_target;
    std::unique_ptr<Curl> m_curl;
    std::unique_ptr<TlsGuard> m_tls;  // encrypted FTP only
    std::unique_ptr<SshGuard> m_ssh;  // SFTP only
    QByteArray m_keyFile;             // SFTP: the private key to try; empty: the agent
    const ProgressHandler* m_progress = nullptr;
    QByteArray m_loginDir = "/";
    bool m_utf8 = false;
    Reply m_report;
};

}  // namespace inet::detail
