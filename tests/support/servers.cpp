#include "servers.h"

#include "session/inet/internet_api.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMultiHash>
#include <QUrl>
#include <QUuid>

#include <csignal>

#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr int kStartTimeoutMs = 10000;

QString scriptPath(const char* name)
{
    return QStringLiteral(QUILLON_TEST_SUPPORT_DIR "/") + QLatin1String(name);
}

void stopProcess(QProcess* process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->closeWriteChannel();
    process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
}

// Every process below root, by the parent each names in /proc.
QList<pid_t> descendantsOf(pid_t root)
{
    QMultiHash<pid_t, pid_t> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const pid_t pid = pid_t(entry.toInt(&numeric));
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!numeric || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...", where the name may hold spaces and parentheses.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children.insert(pid_t(fields[1].toInt()), pid);
    }
    QList<pid_t> found;
    QList<pid_t> waiting{root};
    while (!waiting.isEmpty()) {
        const QList<pid_t> below = children.values(waiting.takeFirst());
        found += below;
        waiting += below;
    }
    return found;
}

}  // namespace

quint16 startScript(QProcess& process, const QString& script, const QStringList& args, QString* error)
{
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + args);
    if (!process.waitForStarted(kStartTimeoutMs)) {
        *error = QStringLiteral("cannot start ") + script + QStringLiteral(": ") + process.errorString();
        return 0;
    }
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!process.canReadLine()) {
        if (deadline.hasExpired() || process.state() == QProcess::NotRunning) {
            *error = script + QStringLiteral(" printed no port: ") +
                     QString::fromLocal8Bit(process.readAllStandardError());
            return 0;
        }
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    bool ok = false;
    const quint16 port = QString::fromLatin1(process.readLine()).trimmed().toUShort(&ok);
    if (!ok || port == 0)
        *error = script + QStringLiteral(" printed no valid port");
    return ok ? port : 0;
}

FtpServer::FtpServer()
    : FtpServer(Options())
{
}

FtpServer::FtpServer(Options options)
{
    if (!qEnvironmentVariableIsEmpty("QUILLON_TEST_FTP_URL"))
        useExternal();
    else
        startLocal(options);
}

FtpServer::~FtpServer()
{
    stop();
    if (!m_externalScratch.isEmpty())
        QDir(m_externalScratch).removeRecursively();
}

bool FtpServer::supports(const Options& options)
{
    if (qEnvironmentVariableIsEmpty("QUILLON_TEST_FTP_URL"))
        return true;
    return options.loginSubdir.isEmpty() && options.idleTimeoutSeconds == 0 && !options.countConnections &&
           options.bytesPerSecond == 0 && options.tlsCertificate.isEmpty() && options.port == 0 &&
           !options.listDots;
}

void FtpServer::startLocal(const Options& options)
{
    if (!m_tempDir.isValid()) {
        m_error = QStringLiteral("cannot make a temporary root");
        return;
    }
    m_root = m_tempDir.path() + QStringLiteral("/root");
    QDir().mkpath(m_root);
    QStringList args{QStringLiteral("--root"), m_root, QStringLiteral("--user"), m_user,
                     QStringLiteral("--password"), m_password};
    if (!options.loginSubdir.isEmpty()) {
        args << QStringLiteral("--login-subdir") << options.loginSubdir;
        m_loginDir = QStringLiteral("/") + options.loginSubdir;
        QDir().mkpath(m_root + m_loginDir);
    }
    if (options.idleTimeoutSeconds > 0)
        args << QStringLiteral("--idle-timeout") << QString::number(options.idleTimeoutSeconds);
    if (options.silentIdleDrop)
        args << QStringLiteral("--idle-silent");
    if (options.bytesPerSecond > 0)
        args << QStringLiteral("--rate") << QString::number(options.bytesPerSecond);
    if (options.listDots)
        args << QStringLiteral("--list-dots");
    if (!options.tlsCertificate.isEmpty()) {
        args << QStringLiteral("--tls-cert") << options.tlsCertificate;
        m_scheme = options.tlsImplicit ? QStringLiteral("ftps") : QStringLiteral("ftpes");
    }
    if (options.tlsImplicit)
        args << QStringLiteral("--tls-implicit");
    if (options.tlsRequired)
        args << QStringLiteral("--tls-required");
    if (options.port)
        args << QStringLiteral("--port") << QString::number(options.port);
    if (options.countConnections) {
        m_countFile = m_tempDir.path() + QStringLiteral("/connections");
        args << QStringLiteral("--count-file") << m_countFile;
    }
    m_workDir = m_loginDir;
    m_process = std::make_unique<QProcess>();
    m_port = startScript(*m_process, scriptPath("ftp_server.py"), args, &m_error);
}

void FtpServer::useExternal()
{
    m_external = true;
    const QUrl url(qEnvironmentVariable("QUILLON_TEST_FTP_URL"));
    m_root = qEnvironmentVariable("QUILLON_TEST_FTP_ROOT");
    const QStringList schemes{QStringLiteral("ftp"), QStringLiteral("ftpes"), QStringLiteral("ftps")};
    if (!url.isValid() || !schemes.contains(url.scheme()) || m_root.isEmpty()) {
        m_error = QStringLiteral("QUILLON_TEST_FTP_URL or QUILLON_TEST_FTP_ROOT is not usable");
        return;
    }
    // An encrypted server's certificate is trusted through QUILLON_TEST_CA_FILE.
    if (url.scheme() != QStringLiteral("ftp")) {
        m_scheme = url.scheme();
        inet::SetCertificateAuthorities(qEnvironmentVariable("QUILLON_TEST_CA_FILE"));
    }
    m_host = url.host();
    m_port = quint16(url.port(url.scheme() == QStringLiteral("ftps") ? 990 : 21));
    m_user = url.userName();
    m_password = url.password();
    QString login = url.path();
    while (login.size() > 1 && login.endsWith(QLatin1Char('/')))
        login.chop(1);
    m_loginDir = login.isEmpty() ? QStringLiteral("/") : login;
    // Each test gets a folder of its own, writable by the server's user.
    const QString name = QStringLiteral("quillon-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    m_externalScratch = m_root + QLatin1Char('/') + name;
    if (!QDir().mkpath(m_externalScratch)) {
        m_error = QStringLiteral("cannot make ") + m_externalScratch;
        return;
    }
    QFile::setPermissions(m_externalScratch, QFileDevice::Permissions(0x7777));
    m_workDir = (m_loginDir == QStringLiteral("/") ? QString() : m_loginDir) + QLatin1Char('/') + name;
}

QString FtpServer::localPath(const QString& serverPath) const
{
    QString rest = serverPath;
    if (m_external) {
        if (m_loginDir != QStringLiteral("/") && rest.startsWith(m_loginDir))
            rest = rest.mid(m_loginDir.size());
    }
    if (!rest.startsWith(QLatin1Char('/')))
        rest.prepend(QLatin1Char('/'));
    return m_root + rest;
}

namespace {

int countLines(const QString& path, const QByteArray& prefix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int count = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty() && line.startsWith(prefix))
            ++count;
    }
    return count;
}

}  // namespace

QString FtpServer::address() const
{
    if (m_scheme.isEmpty())
        return m_host;
    return m_scheme + QStringLiteral("://") + m_host + QLatin1Char(':') + QString::number(m_port);
}

int FtpServer::userCommandCount() const
{
    return m_countFile.isEmpty() ? -1 : countLines(m_countFile, "user");
}

int FtpServer::connectionCount() const
{
    return m_countFile.isEmpty() ? -1 : countLines(m_countFile, "connection");
}

int FtpServer::idleDropCount() const
{
    return m_countFile.isEmpty() ? -1 : countLines(m_countFile, "dropped idle");
}

void FtpServer::stop()
{
    thaw();
    stopProcess(m_process.get());
}

void FtpServer::freeze()
{
    if (m_process && m_process->state() == QProcess::Running)
        ::kill(pid_t(m_process->processId()), SIGSTOP);
}

void FtpServer::thaw()
{
    if (m_process && m_process->state() == QProcess::Running)
        ::kill(pid_t(m_process->processId()), SIGCONT);
}

TlsCertificates::TlsCertificates()
{
    if (!m_dir.isValid())
        return;
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), {scriptPath("tls_certs.py"), m_dir.path()});
    m_ok = process.waitForFinished(kStartTimeoutMs) && process.exitCode() == 0;
}

SshServer::SshServer()
{
    if (!m_dir.isValid() || !QDir().mkpath(root()) || !QDir().mkpath(home() + QStringLiteral("/.ssh"))) {
        m_error = QStringLiteral("cannot make the server's folders");
        return;
    }
    const QString key = home() + QStringLiteral("/.ssh/id_ed25519");
    if (QProcess::execute(QStringLiteral("ssh-keygen"), {QStringLiteral("-q"), QStringLiteral("-t"),
                                                          QStringLiteral("ed25519"), QStringLiteral("-N"), QString(),
                                                          QStringLiteral("-f"), key}) != 0) {
        m_error = QStringLiteral("ssh-keygen failed");
        return;
    }
    m_port = start(0);
}

quint16 SshServer::start(quint16 port)
{
    m_process = std::make_unique<QProcess>();
    const QString key = home() + QStringLiteral("/.ssh/id_ed25519.pub");
    return startScript(*m_process, scriptPath("ssh_server.py"),
                       {QStringLiteral("--dir"), m_dir.path(), QStringLiteral("--root"), root(),
                        QStringLiteral("--authorized"), key, QStringLiteral("--user"), user(), QStringLiteral("--port"),
                        QString::number(port)},
                       &m_error);
}

bool SshServer::restart()
{
    stop();
    return start(m_port) == m_port;
}

SshServer::~SshServer()
{
    stop();
}

QString SshServer::user() const
{
    const passwd* self = getpwuid(getuid());
    return self ? QString::fromLocal8Bit(self->pw_name) : QString();
}

QString SshServer::address() const
{
    return QStringLiteral("sftp://127.0.0.1:") + QString::number(m_port);
}

QByteArray SshServer::hostKey() const
{
    QFile file(m_dir.path() + QStringLiteral("/host_key.pub"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> parts = file.readAll().trimmed().split(' ');
    return parts.size() >= 2 ? parts[0] + ' ' + parts[1] : QByteArray();
}

void SshServer::stop()
{
    thaw();  // a stopped sshd would not see the request to end
    stopProcess(m_process.get());
}

void SshServer::freeze()
{
    if (m_process && m_process->state() == QProcess::Running) {
        for (pid_t pid : descendantsOf(pid_t(m_process->processId())))
            ::kill(pid, SIGSTOP);
    }
}

void SshServer::thaw()
{
    if (m_process && m_process->state() == QProcess::Running) {
        for (pid_t pid : descendantsOf(pid_t(m_process->processId())))
            ::kill(pid, SIGCONT);
    }
}

HttpServer::HttpServer()
{
    if (!m_tempDir.isValid())
        return;
    QString error;
    m_process = std::make_unique<QProcess>();
    m_port = startScript(*m_process, scriptPath("http_server.py"), {QStringLiteral("--root"), m_tempDir.path()},
                         &error);
    if (m_port == 0)
        qWarning("HttpServer: %s", qPrintable(error));
}

HttpServer::~HttpServer()
{
    stopProcess(m_process.get());
}

QString HttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:") + QString::number(m_port) + path;
}

ProxyServer::ProxyServer(Kind kind)
    : m_kind(kind)
{
    if (!m_tempDir.isValid()) {
        m_error = QStringLiteral("cannot make a temporary folder");
        return;
    }
    m_countFile = m_tempDir.path() + QStringLiteral("/tunnels");
    m_process = std::make_unique<QProcess>();
    const QString name = kind == Kind::Socks5 ? QStringLiteral("socks5") : QStringLiteral("http");
    m_port = startScript(*m_process, scriptPath("proxy_server.py"),
                         {QStringLiteral("--kind"), name, QStringLiteral("--count-file"), m_countFile}, &m_error);
}

ProxyServer::~ProxyServer()
{
    stop();
}

QString ProxyServer::address() const
{
    const QString hostPort = QStringLiteral("127.0.0.1:") + QString::number(m_port);
    return m_kind == Kind::Socks5 ? QStringLiteral("socks5://") + hostPort : hostPort;
}

int ProxyServer::tunnelCount() const
{
    return countLines(m_countFile, m_kind == Kind::Socks5 ? QByteArray("socks5 ") : QByteArray("http "));
}

int ProxyServer::refusedCount() const
{
    return countLines(m_countFile, "refused ");
}

void ProxyServer::stop()
{
    stopProcess(m_process.get());
}

}  // namespace testsupport
