// The URL download service: http, https and ftp addresses into a local file.
#include "curl_internet.h"
#include "curl_loop.h"

#include "part_file.h"

#include <QIODevice>
#include <QUrl>

#include <curl/curl.h>

#include <memory>

namespace inet::detail {

namespace {

// Status values in the style of the platform's download service.
constexpr qint32 kInvalidUrl = qint32(0x800C0002);
constexpr qint32 kNoSession = qint32(0x800C0003);
constexpr qint32 kCannotConnect = qint32(0x800C0004);
constexpr qint32 kNotFound = qint32(0x800C0005);
constexpr qint32 kDownloadFailure = qint32(0x800C0008);
constexpr qint32 kUnknownProtocol = qint32(0x800C000D);
constexpr qint32 kAccessDenied = qint32(0x80070005);

qint32 statusFor(CURLcode code)
{
    switch (code) {
    case CURLE_OK:
        return 0;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return kUnknownProtocol;
    case CURLE_URL_MALFORMAT:
        return kInvalidUrl;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return kNoSession;
    case CURLE_COULDNT_CONNECT:
        return kCannotConnect;
    case CURLE_HTTP_RETURNED_ERROR:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_ACCESS_DENIED:
        return kNotFound;
    case CURLE_WRITE_ERROR:
        return kAccessDenied;
    default:
        return kDownloadFailure;
    }
}

size_t writeToFile(char* data, size_t size, size_t count, void* user)
{
    auto* file = static_cast<QIODevice*>(user);
    const qint64 n = qint64(size * count);
    return file->write(data, n) == n ? size_t(n) : 0;
}

// Environment proxies apply, except to this machine.
QByteArray noProxyList()
{
    QByteArray list = qgetenv("no_proxy");
    if (list.isEmpty())
        list = qgetenv("NO_PROXY");
    if (!list.isEmpty())
        list += ',';
    return list + "localhost,127.0.0.1,::1";
}

struct EasyDeleter {
    void operator()(CURL* e) const { curl_easy_cleanup(e); }
};
struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};

}  // namespace

qint32 CurlInternet::URLDownloadToFileA(void* caller, const QString& url, const QString& localFile,
                                        quint32 reserved, void* callback)
{
    Q_UNUSED(caller);
    Q_UNUSED(reserved);
    Q_UNUSED(callback);
    const QUrl parsed(url, QUrl::TolerantMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty())
        return kInvalidUrl;
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp"))
        return kUnknownProtocol;
    PartFile out(localFile);
    if (!out.open())
        return kAccessDenied;
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    const QByteArray encoded = parsed.toEncoded();
    const QByteArray noProxy = noProxyList();
    CURL* e = easy.get();
    applyCommonOptions(e);
    curl_easy_setopt(e, CURLOPT_URL, encoded.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);  // an error page is not the file
    curl_easy_setopt(e, CURLOPT_NOPROXY, noProxy.constData());
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Quillon");
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &out);
    RequestWatch watch;
    watch.progress = &m_progress;
    const qint32 status = statusFor(CURLcode(runRequest(multi.get(), e, watch)));
    if (out.createFailed())
        return kAccessDenied;
    if (status != 0)
        return status;
    return out.commit() ? 0 : kAccessDenied;
}

}  // namespace inet::detail
