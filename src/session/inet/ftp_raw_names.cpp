// Transfers of files whose paths hold control characters, which libcurl
// refuses in an address.
#include "ftp_link_state.h"

#include "ftp_paths.h"

#include <unistd.h>

namespace inet::detail {

namespace {

curl_slist* toSlist(const QList<QByteArray>& commands)
{
    curl_slist* list = nullptr;
    for (const QByteArray& c : commands)
        list = curl_slist_append(list, c.constData());
    return list;
}

}  // namespace

// libcurl refuses control characters in an address, so RETR goes as the
// command of a listing, which it sends as given. A listing runs in ASCII
// mode: TYPE I is sent first and holds as long as libcurl believes ASCII
// is set already, which an ASCII size query makes sure of. The bytes are
// taken as received; afterwards the server is put back in ASCII mode.
quint32 FtpLink::downloadByCommand(const QByteArray& file, QIODevice& out, bool ascii)
{
    if (!ascii) {
        m_curl->ascii = true;
        const quint32 error = perform(urlPath("/.quillon-type", false), Kind::Nobody, {}, false);
        m_curl->ascii = false;
        if (error && m_report.code == 0)
            return error;
    }
    m_curl->listCommand = "RETR " + file;
    m_curl->out = ascii ? &out : nullptr;  // ASCII: libcurl's line-end conversion, as for any ASCII download
    m_curl->rawOut = ascii ? nullptr : &out;
    m_curl->rawOutFailed = false;
    const quint32 error = perform(urlPath("/", true), Kind::Download, {ascii ? "TYPE A" : "TYPE I"}, false);
    m_curl->listCommand.clear();
    m_curl->out = nullptr;
    m_curl->rawOut = nullptr;
    if (!ascii) {
        const Reply report = m_report;
        QList<Reply> ignored;
        command({"TYPE A"}, ignored);
        m_report = report;
    }
    return error;
}

// libcurl refuses control characters in an address: the file goes up under
// a plain temporary name in its folder and is then renamed by command. A
// folder no address can name is entered by a command right before STOR,
// from an address folder no other request uses, so that libcurl never takes
// that directory for one of its own.
quint32 FtpLink::uploadByRename(QIODevice& in, qint64 size, const QByteArray& file, bool ascii)
{
    static int counter = 0;
    const QByteArray folder = file.left(file.lastIndexOf('/'));
    const QByteArray tempName = ".quillon-" + QByteArray::number(qint64(getpid())) + '-' +
                                QByteArray::number(++counter) + ".part";
    const QByteArray temp = folder + '/' + tempName;
    const bool addressable = !hasControlByte(folder);
    if (!addressable)
        m_curl->preQuotes = toSlist({"CWD " + (folder.isEmpty() ? QByteArray("/") : folder)});
    m_curl->postQuotes = toSlist({"RNFR " + temp, "RNTO " + file});
    const quint32 error = upload(in, size, addressable ? temp : "/./" + tempName, ascii);
    curl_slist_free_all(m_curl->preQuotes);
    curl_slist_free_all(m_curl->postQuotes);
    m_curl->preQuotes = nullptr;
    m_curl->postQuotes = nullptr;
    if (error) {
        const Reply report = m_report;
        QList<Reply> ignored;
        command({"DELE " + temp}, ignored);  // a refused rename leaves the temporary file
        m_report = report;
    }
    return error;
}

}  // namespace inet::detail
