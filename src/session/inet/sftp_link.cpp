// The SFTP side of a link: log-in by password, agent or key file, the log-in
// directory, paths in sftp:// addresses and FTP's management commands in
// SFTP's own forms.
#include "ftp_link.h"

#include "ftp_paths.h"
#include "ssh_guard.h"

#include <curl/curl.h>

#include <QDir>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

namespace inet::detail {

namespace {

// A path argument of an SFTP request, quoted for libcurl.
QByteArray quoted(const QByteArray& path)
{
    QByteArray text = path;
    text.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + text + '"';
}

// The private keys ssh itself would try, in its order.
QList<QByteArray> keyFiles()
{
    QList<QByteArray> files;
    for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
        const QString path = QDir::homePath() + QStringLiteral("/.ssh/") + QLatin1String(name);
        if (QFileInfo(path).isFile())
            files << QFile::encodeName(path);
    }
    return files;
}

// The folder inside a 257 reply: "257 "/home/x/" is current directory."
QByteArray quotedDirectory(const Reply& reply)
{
    const qsizetype first = reply.text.indexOf('"');
    const qsizetype last = reply.text.lastIndexOf('"');
    if (reply.code != 257 || first < 0 || last <= first)
        return {};
    QByteArray dir = reply.text.mid(first + 1, last - first - 1);
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    return dir.startsWith('/') ? dir : QByteArray();
}

}  // namespace

void dropDotEntries(QByteArray& listing)
{
    QList<QByteArray> kept;
    for (const QByteArray& line : listing.split('\n')) {
        const QByteArray bare = line.endsWith('\r') ? line.chopped(1) : line;
        if (!bare.endsWith(" .") && !bare.endsWith(" .."))
            kept << line;
    }
    listing = kept.join('\n');
}

QByteArray FtpLink::wirePath(const QByteArray& path, bool directory) const
{
    if (!sftp())
        return urlPath(path, directory);
    // "~" stays encoded: a leading "/~/" would mean the home directory.
    QByteArray encoded = path.toPercentEncoding("/", "~");
    if (directory && !encoded.endsWith('/'))
        encoded += '/';
    return encoded;
}

void FtpLink::prepareSftp(CURL* easy)
{
    m_ssh->apply(easy);
    long methods = CURLSSH_AUTH_AGENT;
    if (!m_target.password.isEmpty()) {
        methods = CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD;
    } else if (!m_keyFile.isEmpty()) {
        methods = CURLSSH_AUTH_PUBLICKEY;
        curl_easy_setopt(easy, CURLOPT_SSH_PRIVATE_KEYFILE, m_keyFile.constData());
        curl_easy_setopt(easy, CURLOPT_SSH_PUBLIC_KEYFILE, "");  // derived from the private key
    }
    curl_easy_setopt(easy, CURLOPT_SSH_AUTH_TYPES, methods);
}

quint32 FtpLink::sftpLogin()
{
    if (m_target.user.isEmpty()) {
        const passwd* self = getpwuid(getuid());
        m_target.user = self ? QByteArray(self->pw_name) : qgetenv("USER");
    }
    // With a password, that alone; without, the agent and then each key file.
    QList<QByteArray> keys;  // an empty entry: the password, or the agent
    const QList<QByteArray> files = m_target.password.isEmpty() ? keyFiles() : QList<QByteArray>();
    if (!m_target.password.isEmpty() || !qEnvironmentVariableIsEmpty("SSH_AUTH_SOCK") || files.isEmpty())
        keys << QByteArray();
    keys += files;
    quint32 error = ERROR_INTERNET_INCORRECT_PASSWORD;
    for (const QByteArray& key : keys) {
        m_keyFile = key;
        error = sftpLoginOnce();
        if (error != ERROR_INTERNET_INCORRECT_PASSWORD)
            break;
    }
    return error;
}

quint32 FtpLink::sftpLoginOnce()
{
    m_ssh->reset();
    const QList<QByteArray> pwd{"pwd"};
    quint32 error = perform("/~/", Kind::Nobody, pwd, true);
    // An unknown host key is put to the person once; trusted, it is recorded.
    if (error && m_ssh->refusedUnknown() && m_ssh->askTrust())
        error = perform("/~/", Kind::Nobody, pwd, true);
    if (m_ssh->refusedChanged())
        return ERROR_INTERNET_SEC_CERT_CHANGED;
    if (error)
        return error;
    const QByteArray home = quotedDirectory(m_report);
    m_loginDir = home.isEmpty() ? QByteArray("/") : home;
    m_utf8 = true;
    return 0;
}

quint32 FtpLink::sftpCommand(const QList<QByteArray>& commands, QList<Reply>& replies)
{
    replies.clear();
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const QByteArray& command = commands[i];
        const qsizetype space = command.indexOf(' ');
        const QByteArray verb = command.left(space);
        const QByteArray path = space < 0 ? QByteArray() : command.mid(space + 1);
        QByteArray request;
        int done = 250;
        bool pair = false;
        if (verb == "MKD") {
            request = "mkdir " + quoted(path);
            done = 257;
        } else if (verb == "RMD") {
            request = "rmdir " + quoted(path);
        } else if (verb == "DELE") {
            request = "rm " + quoted(path);
        } else if (verb == "RNFR" && i + 1 < commands.size() && commands[i + 1].startsWith("RNTO ")) {
            request = "rename " + quoted(path) + ' ' + quoted(commands[i + 1].mid(5));
            done = 350;
            pair = true;
        } else {
            replies.append({502, "Not available over SFTP.", command});
            continue;
        }
        const quint32 error = perform(wirePath("/", true), Kind::Nobody, {request}, false);
        if (error && error != ERROR_INTERNET_EXTENDED_ERROR)
            return error;
        replies.append(error ? Reply{550, m_report.text, command} : Reply{done, "OK", command});
        if (pair) {
            replies.append(error ? Reply{0, {}, commands[i + 1]} : Reply{250, "OK", commands[i + 1]});
            ++i;
        }
    }
    return 0;
}

}  // namespace inet::detail
