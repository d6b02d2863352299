#pragma once
// The Internet library the program talks to: sessions, FTP connections,
// listings, transfers, URL downloads and the machine's connection state.
// Callers see only this operation set; how it reaches servers stays inside
// the library. All strings cross as QString: wire encodings are the
// library's business.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace inet {

// Names are bytes on a server and on a local disk; callers see them as
// shown names. A shown name is the name's UTF-8 text, except that each byte
// that is not part of valid UTF-8, and each NUL, CR and LF, appears as \xHH
// (two upper-case hex digits), and a "\" that would read as such an escape
// appears as \x5C. NameBytes gives back exactly the bytes ShownName was
// given; text that holds no such escape is taken as plain UTF-8.
QString ShownName(const QByteArray& bytes);
QByteArray NameBytes(const QString& shown);
// Whether bytes are well-formed UTF-8 throughout.
bool IsUtf8Name(const QByteArray& bytes);

// Opaque handle: session, connection or find handle. 0 means none or failure.
using HINTERNET = quint32;

// Last-error numbers.
constexpr quint32 ERROR_FILE_NOT_FOUND = 2;    // a local file to upload is missing
constexpr quint32 ERROR_ACCESS_DENIED = 5;     // a local file cannot be read or written
constexpr quint32 ERROR_INVALID_NAME = 123;    // a name holding CR, LF or NUL, refused unsent
constexpr quint32 ERROR_NO_MORE_FILES = 18;
constexpr quint32 ERROR_FILE_EXISTS = 80;      // download with failIfExists onto an existing file
constexpr quint32 ERROR_INTERNET_OUT_OF_HANDLES = 12001;
constexpr quint32 ERROR_INTERNET_TIMEOUT = 12002;
constexpr quint32 ERROR_INTERNET_EXTENDED_ERROR = 12003;  // server reply available
constexpr quint32 ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr quint32 ERROR_INTERNET_INVALID_URL = 12005;
constexpr quint32 ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
constexpr quint32 ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr quint32 ERROR_INTERNET_INVALID_OPTION = 12009;
constexpr quint32 ERROR_INTERNET_INCORRECT_PASSWORD = 12014;
constexpr quint32 ERROR_INTERNET_LOGIN_FAILURE = 12015;
constexpr quint32 ERROR_INTERNET_INVALID_OPERATION = 12016;
constexpr quint32 ERROR_INTERNET_OPERATION_CANCELLED = 12017;
constexpr quint32 ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;  // invalid handle
constexpr quint32 ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr quint32 ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr quint32 ERROR_INTERNET_CONNECTION_RESET = 12031;
constexpr quint32 ERROR_FTP_TRANSFER_IN_PROGRESS = 12110;
constexpr quint32 ERROR_FTP_DROPPED = 12111;
// A plain log-in the server refused because it takes encrypted ones only.
constexpr quint32 ERROR_FTP_ENCRYPTION_REQUIRED = 12113;
// The server's identity (certificate or SSH host key) could not be verified
// and was not trusted.
constexpr quint32 ERROR_INTERNET_SEC_INVALID_CERT = 12169;
// A certificate or host key trusted before has changed: refused.
constexpr quint32 ERROR_INTERNET_SEC_CERT_CHANGED = 12055;
// No encrypted channel could be set up (the server offers no TLS).
constexpr quint32 ERROR_INTERNET_SECURITY_CHANNEL_ERROR = 12157;

// InternetOpenA access types.
constexpr quint32 INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr quint32 INTERNET_OPEN_TYPE_PROXY = 3;

// InternetConnectA service and flags.
constexpr quint32 INTERNET_SERVICE_FTP = 1;
constexpr quint32 INTERNET_FLAG_PASSIVE = 0x08000000;
constexpr quint16 INTERNET_DEFAULT_FTP_PORT = 21;

// Transfer types, passed as the flags of FtpGetFileA / FtpPutFileA.
constexpr quint32 FTP_TRANSFER_TYPE_ASCII = 1;
constexpr quint32 FTP_TRANSFER_TYPE_BINARY = 2;

// Attribute words of a listing entry.
constexpr quint32 FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr quint32 FILE_ATTRIBUTE_NORMAL = 0x80;

// InternetGetConnectedStateEx flags.
constexpr quint32 INTERNET_CONNECTION_MODEM = 0x01;
constexpr quint32 INTERNET_CONNECTION_LAN = 0x02;
constexpr quint32 INTERNET_CONNECTION_PROXY = 0x04;
constexpr quint32 INTERNET_RAS_INSTALLED = 0x10;
constexpr quint32 INTERNET_CONNECTION_OFFLINE = 0x20;
constexpr quint32 INTERNET_CONNECTION_CONFIGURED = 0x40;

// One listing entry. Times are FILETIMEs (100 ns ticks since 1601-01-01 UTC),
// 0 where the server gave none.
struct FindData {
    quint32 dwFileAttributes = 0;
    quint64 ftCreationTime = 0;
    quint64 ftLastAccessTime = 0;
    quint64 ftLastWriteTime = 0;
    quint32 nFileSizeHigh = 0;
    quint32 nFileSizeLow = 0;
    QString cFileName;  // the entry name as listed, in its shown form (see ShownName)
};

// Called while a transfer runs, at most every few tens of milliseconds:
// bytes done so far and bytes expected (-1 when unknown).
using ProgressHandler = std::function<void(qint64 done, qint64 total)>;

// How an established connection is protected; protocol empty for plain FTP.
struct SecurityInfo {
    QString protocol;     // "TLSv1.3", "SSH"
    QString identity;     // the certificate's subject, or the host key's type
    QString fingerprint;  // SHA-256 of the certificate or host key
    bool encrypted() const { return !protocol.isEmpty(); }
};

class InternetApi {
public:
    virtual ~InternetApi() = default;

    // Session: direct (accessType 1) or through the proxy text as typed (3):
    // "host:port" or "http://host:port" an HTTP proxy, which carries the
    // control and every passive data connection in CONNECT tunnels;
    // "socks5://", "socks5h://", "socks4://" a SOCKS proxy. An empty or
    // blank proxy text fails with ERROR_INTERNET_INVALID_OPTION.
    virtual HINTERNET InternetOpenA(const QString& agent, quint32 accessType, const QString& proxy,
                                    const QString& proxyBypass, quint32 flags) = 0;
    // Connects and logs in at once. Port 0 means 21; empty user and password
    // mean an anonymous log-in; INTERNET_FLAG_PASSIVE selects passive mode.
    // Through a proxy, and for FTP over TLS, only passive mode works: without
    // the flag the call fails at once with ERROR_INTERNET_INVALID_OPERATION,
    // nothing sent. The server may carry a scheme: "ftpes://", "ftps://",
    // "sftp://" (port 21 or 0 then means the scheme's own; a port in the
    // text wins); SFTP has no data connections and ignores the flag.
    virtual HINTERNET InternetConnectA(HINTERNET session, const QString& server, quint16 port,
                                       const QString& user, const QString& password, quint32 service,
                                       quint32 flags, quintptr context) = 0;
    // Closes any handle; closing 0 or a closed handle is harmless (returns false).
    virtual bool InternetCloseHandle(HINTERNET handle) = 0;

    // The directory the server put the session in after log-in ("/" if unknown).
    virtual QString FtpGetLoginDirectory(HINTERNET connection) = 0;
    virtual bool FtpSetCurrentDirectoryA(HINTERNET connection, const QString& path) = 0;

    // "*.*" or "*" lists the current directory; "folder/*" lists that folder.
    // The whole listing is read here; 0 with last error 18 for an empty folder.
    virtual HINTERNET FtpFindFirstFileA(HINTERNET connection, const QString& pattern, FindData& data,
                                        quint32 flags, quintptr context) = 0;
    // False with last error 18 after the last entry.
    virtual bool InternetFindNextFileA(HINTERNET find, FindData& data) = 0;

    // Downloads into a temporary file beside local and renames it over local
    // only when complete; a failure leaves an existing local file untouched.
    virtual bool FtpGetFileA(HINTERNET connection, const QString& remote, const QString& local,
                             bool failIfExists, quint32 attributes, quint32 flags, quintptr context) = 0;
    virtual bool FtpPutFileA(HINTERNET connection, const QString& local, const QString& remote,
                             quint32 flags, quintptr context) = 0;
    virtual bool FtpCreateDirectoryA(HINTERNET connection, const QString& path) = 0;
    virtual bool FtpRemoveDirectoryA(HINTERNET connection, const QString& path) = 0;
    virtual bool FtpDeleteFileA(HINTERNET connection, const QString& path) = 0;
    virtual bool FtpRenameFileA(HINTERNET connection, const QString& from, const QString& to) = 0;

    // The last server reply (code and text as sent). With buffer null or
    // length too small: sets length to the text's length, returns false.
    // Otherwise copies the text into *buffer, sets length, returns true.
    virtual bool InternetGetLastResponseInfoA(quint32& errorCode, QString* buffer, quint32& length) = 0;

    // The error number of the last call made on this library.
    virtual quint32 GetLastError() const = 0;

    // True when the machine has a connection; flags as above, name of the link
    // (cut to nameLength - 1 characters). Derived from the interface list
    // (getifaddrs): connected when a non-loopback interface is up and running
    // with an IPv4 or IPv6 address; its name is the connection name (a
    // broadcast interface preferred over a point-to-point one).
    // LAN: such an interface is not point-to-point. MODEM: such an interface is
    // point-to-point (IFF_POINTOPOINT: ppp, tun, wwan links). PROXY: one of
    // http_proxy, https_proxy, ftp_proxy, all_proxy (either case) is set.
    // RAS_INSTALLED: a dial-up daemon (/usr/sbin/pppd) is installed.
    // CONFIGURED: set together with MODEM, never for a LAN link. OFFLINE: never set.
    virtual bool InternetGetConnectedStateEx(quint32& flags, QString& connectionName, quint32 nameLength,
                                             quint32 reserved) = 0;

    // Fetches an http, https or ftp address into localFile (same temporary-file
    // rule as downloads). 0 on success, anything else a failure.
    virtual qint32 URLDownloadToFileA(void* caller, const QString& url, const QString& localFile,
                                      quint32 reserved, void* callback) = 0;

    // Progress of transfers and URL downloads from now on; an empty handler stops it.
    virtual void SetProgressHandler(ProgressHandler handler) = 0;

    // How the connection is protected; nothing for plain FTP or a bad handle.
    virtual SecurityInfo FtpGetSecurityInfo(HINTERNET connection)
    {
        Q_UNUSED(connection);
        return {};
    }
};

// The process-wide library: the libcurl one unless SetLibrary put another in place.
InternetApi& Library();
// Puts api in place of the real library (tests); nullptr restores the real one.
void SetLibrary(InternetApi* api);
// A fresh libcurl-backed library.
std::unique_ptr<InternetApi> CreateCurlInternet();

// Bounds of the libcurl libraries, so that no call hangs for good: a connect
// (and an active-mode data connection) gives up after connectSeconds, and a
// transfer or a server reply that makes no progress for stallSeconds fails
// with ERROR_INTERNET_TIMEOUT. Applies to requests started afterwards.
struct Timeouts {
    int connectSeconds = 15;
    int stallSeconds = 30;
};
void SetTimeouts(const Timeouts& timeouts);
Timeouts CurrentTimeouts();

// Called about every 50 ms while a request of the libcurl library runs,
// progress handler or not: a window paints from it what it has not shown
// yet while the call keeps its event loop waiting. Empty: nothing is called.
using BusyHandler = std::function<void()>;
void SetBusyHandler(BusyHandler handler);

// A server identity the library could not verify, for a person to judge.
struct TrustQuestion {
    enum class Kind { Certificate, UnknownHostKey };
    enum class Reason { SelfSigned, UnknownIssuer, Expired, NotYetValid, WrongHost, Other };
    Kind kind = Kind::Certificate;
    QString server;  // "host:port"
    Reason reason = Reason::Other;
    QString detail;  // the verifier's own words for Reason::Other
    QString subject;
    QString issuer;
    QDateTime validFrom;
    QDateTime validUntil;
    QString keyType;      // of a host key: "ssh-ed25519", ...
    QString fingerprint;  // SHA-256: hex pairs for a certificate, "SHA256:..." for a host key
};
// True trusts: a certificate for the rest of the run, a host key for good
// (written to known_hosts). Without a handler nothing unverified is trusted.
using TrustHandler = std::function<bool(const TrustQuestion& question)>;
void SetTrustHandler(TrustHandler handler);

// The certificate authorities that encrypted FTP connections accept, as one
// PEM file; empty: the system's store. Applies to connections made afterwards.
void SetCertificateAuthorities(const QString& pemFile);

// True while a request of the libcurl library runs, that is while the busy
// and progress handlers may be processing events inside a library call.
bool RequestInProgress();

}  // namespace inet
