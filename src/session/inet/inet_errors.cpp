#include "inet_errors.h"

#include "internet_api.h"

#include <curl/curl.h>

namespace inet::detail {

namespace {

// How a result reads when the server did not send an error reply with it.
struct Row {
    CURLcode code;
    quint32 error;
    bool serverRefusal;  // a server error reply, when present, turns this into 12003
};

constexpr Row kTable[] = {
    {CURLE_UNSUPPORTED_PROTOCOL, ERROR_INTERNET_UNRECOGNIZED_SCHEME, false},
    {CURLE_URL_MALFORMAT, ERROR_INTERNET_INVALID_URL, false},
    {CURLE_COULDNT_RESOLVE_PROXY, ERROR_INTERNET_NAME_NOT_RESOLVED, false},
    {CURLE_COULDNT_RESOLVE_HOST, ERROR_INTERNET_NAME_NOT_RESOLVED, false},
    {CURLE_COULDNT_CONNECT, ERROR_INTERNET_CANNOT_CONNECT, false},
    {CURLE_WEIRD_SERVER_REPLY, ERROR_INTERNET_CONNECTION_ABORTED, true},
    {CURLE_REMOTE_ACCESS_DENIED, ERROR_INTERNET_EXTENDED_ERROR, true},
    {CURLE_FTP_ACCEPT_FAILED, ERROR_INTERNET_CANNOT_CONNECT, true},
    {CURLE_FTP_WEIRD_PASS_REPLY, ERROR_INTERNET_LOGIN_FAILURE, true},
    {CURLE_FTP_ACCEPT_TIMEOUT, ERROR_INTERNET_TIMEOUT, false},
    {CURLE_FTP_WEIRD_PASV_REPLY, ERROR_INTERNET_CONNECTION_ABORTED, true},
    {CURLE_FTP_WEIRD_227_FORMAT, ERROR_INTERNET_CONNECTION_ABORTED, true},
    {CURLE_FTP_CANT_GET_HOST, ERROR_INTERNET_CANNOT_CONNECT, false},
    {CURLE_FTP_COULDNT_SET_TYPE, ERROR_INTERNET_EXTENDED_ERROR, true},
    {CURLE_PARTIAL_FILE, ERROR_INTERNET_CONNECTION_ABORTED, false},
    {CURLE_FTP_COULDNT_RETR_FILE, ERROR_INTERNET_EXTENDED_ERROR, true},
    {CURLE_QUOTE_ERROR, ERROR_INTERNET_EXTENDED_ERROR, true},
    {CURLE_HTTP_RETURNED_ERROR, ERROR_INTERNET_EXTENDED_ERROR, false},
    {CURLE_WRITE_ERROR, ERROR_ACCESS_DENIED, false},
    {CURLE_UPLOAD_FAILED, ERROR_INTERNET_EXTENDED_ERROR, true},
    {CURLE_READ_ERROR, ERROR_ACCESS_DENIED, false},
    {CURLE_OUT_OF_MEMORY, ERROR_INTERNET_INTERNAL_ERROR, false},
    {CURLE_OPERATION_TIMEDOUT, ERROR_INTERNET_TIMEOUT, false},
    {CURLE_FTP_PORT_FAILED, ERROR_INTERNET_EXTENDED_ERROR, true},
    {CURLE_FTP_COULDNT_USE_REST, ERROR_INTERNET_EXTENDED_ERROR, true},
    {CURLE_ABORTED_BY_CALLBACK, ERROR_INTERNET_OPERATION_CANCELLED, false},
    {CURLE_TOO_MANY_REDIRECTS, ERROR_INTERNET_CONNECTION_ABORTED, false},
    {CURLE_GOT_NOTHING, ERROR_INTERNET_CONNECTION_ABORTED, false},
    {CURLE_SEND_ERROR, ERROR_INTERNET_CONNECTION_RESET, false},
    {CURLE_RECV_ERROR, ERROR_INTERNET_CONNECTION_RESET, false},
    {CURLE_SSL_CONNECT_ERROR, ERROR_INTERNET_CANNOT_CONNECT, false},
    {CURLE_LOGIN_DENIED, ERROR_INTERNET_INCORRECT_PASSWORD, false},
    {CURLE_REMOTE_FILE_NOT_FOUND, ERROR_INTERNET_EXTENDED_ERROR, true},
    {CURLE_PEER_FAILED_VERIFICATION, ERROR_INTERNET_SEC_INVALID_CERT, false},
    {CURLE_SSL_PINNEDPUBKEYNOTMATCH, ERROR_INTERNET_SEC_CERT_CHANGED, false},
    {CURLE_USE_SSL_FAILED, ERROR_INTERNET_SECURITY_CHANNEL_ERROR, false},
    {CURLE_SSL_CACERT_BADFILE, ERROR_INTERNET_SECURITY_CHANNEL_ERROR, false},
};

}  // namespace

quint32 errorFor(int curlCode, int errorReplyCode, Stage stage)
{
    if (curlCode == CURLE_OK)
        return 0;
    // A refused log-in reads the same whatever libcurl made of it.
    if (stage == Stage::Login && (errorReplyCode == 530 || curlCode == CURLE_LOGIN_DENIED))
        return ERROR_INTERNET_INCORRECT_PASSWORD;
    for (const Row& row : kTable) {
        if (row.code != curlCode)
            continue;
        if (row.serverRefusal && errorReplyCode >= 400)
            return ERROR_INTERNET_EXTENDED_ERROR;
        if (row.error == ERROR_INTERNET_EXTENDED_ERROR && errorReplyCode < 400)
            return ERROR_INTERNET_CONNECTION_ABORTED;  // a refusal without its reply: the link broke
        return row.error;
    }
    return ERROR_INTERNET_INTERNAL_ERROR;
}

bool refusesPlainLogin(quint32 error, int replyCode, const QByteArray& replyText)
{
    if (error == 0)
        return false;
    if (replyCode == 534)
        return true;
    if (replyCode != 530 && replyCode != 550)
        return false;
    const QByteArray text = replyText.toLower();
    for (const char* word : {"tls", "ssl", "encrypt", "secure"}) {
        if (text.contains(word))
            return true;
    }
    return false;
}

}  // namespace inet::detail
