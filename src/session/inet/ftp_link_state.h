#pragma once
// The libcurl side of an FTP link: the state its requests share with
// libcurl's callbacks, and those callbacks. Only the link's own sources
// include this.

#include "ftp_link.h"
#include "line_ends.h"

#include <curl/curl.h>

#include <QElapsedTimer>

namespace inet::detail {

struct FtpLink::Curl {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* quotes = nullptr;
    QList<Reply> replies;        // complete replies of the running request
    QByteArray pending;          // a multi-line reply still open
    QList<QByteArray> sent;      // commands still waiting for their reply
    int pendingCode = 0;
    QIODevice* out = nullptr;
    QIODevice* in = nullptr;
    QByteArray* listing = nullptr;
    bool listingFromTrace = true; // FTP listings: the bytes as received, from the trace
    QByteArray listCommand;      // LIST with its folder, for a folder no address can name
    QIODevice* rawOut = nullptr; // takes a transfer's bytes as received
    bool rawOutFailed = false;
    curl_slist* preQuotes = nullptr;
    curl_slist* postQuotes = nullptr;
    curl_slist* allPreQuotes = nullptr;  // preQuotes and the transfer type, as sent
    bool ascii = false;          // TYPE A; on upload also local CR LF to LF
    // Text downloads set TYPE A themselves and convert the line ends in
    // bulk: libcurl's own conversion goes byte by byte. libcurl then takes
    // the connection for binary, so the next binary transfer sets TYPE I.
    bool ownLineEnds = false;
    LineEndsToLocal lineEnds;
    QByteArray converted;
    QByteArray typeCommand;      // the TYPE this request sends itself, if any
    bool typeMayBeAscii = false; // the server may be in TYPE A unknown to libcurl
    qint64 uploadSize = -1;
    bool heldCR = false;         // a CR at the end of the last read chunk
    qint64 moved = 0;            // payload bytes written or read
    quint64 activity = 0;        // reply lines and payload chunks of the running request
    int lastSocket = -1;         // the socket opened last in the running request
    bool drainPaused = false;    // the upload's end waits for the peer to take its bytes
    int controlSocket = -1;      // the idle control connection, between requests
    QElapsedTimer sinceRequest;  // since the last request ended
    char errorText[CURL_ERROR_SIZE] = {};  // libcurl's words for a failed request

    ~Curl()
    {
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);  // closes the control connection
        curl_slist_free_all(quotes);
        curl_slist_free_all(preQuotes);
        curl_slist_free_all(postQuotes);
        curl_slist_free_all(allPreQuotes);
    }
};

namespace link_io {

// libcurl callbacks; user is the link's FtpLink::Curl.
size_t onHeader(char* data, size_t size, size_t count, void* user);
int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* user);
size_t onWrite(char* data, size_t size, size_t count, void* user);
size_t onRead(char* buf, size_t size, size_t count, void* user);
int onSocketOpened(void* user, curl_socket_t socket, curlsocktype);

// QUILLON_INET_VERBOSE prints the conversation on standard error.
bool traceRequested();
// Bytes written to a socket that its peer has not acknowledged yet.
qint64 unacknowledged(int socket);

}  // namespace link_io
}  // namespace inet::detail
