// SFTP through the real window, the real library and OpenSSH's sshd started
// by the test: host keys checked against known_hosts, log-in by key file,
// agent or password, and every operation of the window.
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "support/secure_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

using namespace testsupport;

namespace {

class SftpE2E : public SecureWindowTest {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("sshd", {"/usr/sbin"}).isEmpty())
            GTEST_SKIP() << "openssh-server is not installed";
        ASSERT_TRUE(server.ok()) << server.error().toStdString();
        // The layer reads ~/.ssh of the user running it: here a fresh one.
        m_savedHome = qgetenv("HOME");
        m_savedAgent = qgetenv("SSH_AUTH_SOCK");
        qputenv("HOME", QFile::encodeName(server.home()));
        qunsetenv("SSH_AUTH_SOCK");
    }
    void TearDown() override
    {
        qputenv("HOME", m_savedHome);
        if (!m_savedAgent.isEmpty())
            qputenv("SSH_AUTH_SOCK", m_savedAgent);
    }

    void connect(const QString& password = {})
    {
        openSession();
        connectTo(server.address(), 21, server.user(), password);
    }
    QString knownHosts() const { return server.home() + "/.ssh/known_hosts"; }
    static QString hint(const QString& text) { return QStringLiteral("提示: ") + text; }

    SshServer server;

private:
    QByteArray m_savedHome;
    QByteArray m_savedAgent;
};

TEST_F(SftpE2E, ATrustedHostKeyIsRecordedAndEveryOperationWorksWithTheKeyFile)
{
    prepareServerDisk(server.root());
    person.msgBoxAnswers = {toolkit::vbYes};
    connect();
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_TRUE(person.msgBoxes[0].prompt.contains("ssh-ed25519"));
    EXPECT_TRUE(person.msgBoxes[0].prompt.contains("SHA256:"));
    EXPECT_TRUE(person.msgBoxes[0].style & toolkit::vbDefaultButton2);
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_TRUE(readFile(knownHosts()).contains(server.hostKey()));
    const QFileDevice::Permissions mode = QFileInfo(knownHosts()).permissions();
    EXPECT_EQ(mode & 0x7000, QFileDevice::ReadOwner | QFileDevice::WriteOwner) << "mode 600";
    EXPECT_EQ(mode & 0x0077, 0) << "mode 600";
    EXPECT_EQ(window->LoginDirectory, server.root()) << "the session's starting folder is the tree's first level";
    EXPECT_TRUE(lockShown());
    EXPECT_TRUE(lockToolTip().contains("SSH"));
    person.msgBoxes.clear();
    everyOperation(server.address(), server.root());

    // ASCII selected: a hint, and the bytes go over unchanged.
    window->optAscii->click();
    EXPECT_EQ(panel1(), hint("SFTP 只能按二进制方式传输，文件将按二进制传输。"));
    writeFile(local("lines.txt"), "one\r\ntwo\r\n");
    selectLocalFile("lines.txt");
    selectNode(server.address());
    window->cmdPutFile->click();
    EXPECT_EQ(readFile(server.root() + "/lines.txt"), "one\r\ntwo\r\n");

    // A second connect finds the key in known_hosts and asks nothing.
    window->cmdDisConnect->click();
    window->cmdConnect->click();
    EXPECT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    EXPECT_TRUE(person.msgBoxes.isEmpty());
}

TEST_F(SftpE2E, ASessionDroppedByTheServerIsReplacedUnasked)
{
    writeFile(server.root() + "/a.txt", "A");
    person.msgBoxAnswers = {toolkit::vbYes};
    connect();
    ASSERT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    ASSERT_TRUE(server.restart());
    selectNode(server.address() + "/a.txt");
    window->cmdGetFile->click();
    EXPECT_EQ(readFile(local("a.txt")), "A");
    EXPECT_EQ(person.msgBoxes.size(), 1) << person.msgBoxes.last().prompt.toStdString();
}

TEST_F(SftpE2E, CancelStopsAFolderWalkEitherWayBetweenEntries)
{
    person.msgBoxAnswers = {toolkit::vbYes};
    connect();
    person.msgBoxes.clear();
    cancelFolderWalks(server.address(), server.root());
}

class SftpStall : public SftpE2E, public ::testing::WithParamInterface<Stalled> {};

TEST_P(SftpStall, AServerThatStopsAnsweringFailsTheRequestInTheStallTime)
{
    person.msgBoxAnswers = {toolkit::vbYes};
    connect();
    person.msgBoxes.clear();
    stallAndRecover(GetParam(), server.address(), server.root(),
                    [this](bool frozen) { frozen ? server.freeze() : server.thaw(); });
}

INSTANTIATE_TEST_SUITE_P(Rows, SftpStall,
                         ::testing::Values(Stalled::Download, Stalled::Listing),
                         [](const auto& row) {
                             return row.param == Stalled::Download ? "Download" : "Listing";
                         });

TEST_F(SftpE2E, AnUnknownHostKeyAnsweredNoDisconnectsAndRecordsNothing)
{
    connect();
    ASSERT_EQ(person.msgBoxes.size(), 1);
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(panel1(), hint("服务器的主机密钥未被信任，未连接。"));
    EXPECT_FALSE(readFile(knownHosts()).contains(server.hostKey()));
}

TEST_F(SftpE2E, AChangedHostKeyIsRefusedWithoutAQuestion)
{
    // known_hosts holds another key for this server: the user's own.
    const QByteArray other = readFile(server.home() + "/.ssh/id_ed25519.pub").split(' ').mid(0, 2).join(' ');
    writeFile(knownHosts(), "[127.0.0.1]:" + QByteArray::number(server.port()) + ' ' + other + '\n');
    connect();
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(panel1(), hint("警告：服务器的主机密钥已改变，可能有人冒充该服务器，连接被拒绝。"));
}

TEST_F(SftpE2E, TheAgentLogsInWhenNoKeyFileDoes)
{
    const QString socket = server.home() + "/agent.sock";
    QProcess agent;
    agent.start("ssh-agent", {"-D", "-a", socket});
    ASSERT_TRUE(agent.waitForStarted());
    for (int i = 0; i < 100 && !QFileInfo::exists(socket); ++i)
        QThread::msleep(20);
    QProcess add;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SSH_AUTH_SOCK", socket);
    add.setProcessEnvironment(env);
    add.start("ssh-add", {server.home() + "/.ssh/id_ed25519"});
    ASSERT_TRUE(add.waitForFinished() && add.exitCode() == 0) << add.readAllStandardError().toStdString();
    QFile::rename(server.home() + "/.ssh/id_ed25519", server.home() + "/agent_key");
    qputenv("SSH_AUTH_SOCK", QFile::encodeName(socket));

    person.msgBoxAnswers = {toolkit::vbYes};
    connect();
    EXPECT_TRUE(modWinInet::IsConnected) << panel1().toStdString();
    agent.kill();
    agent.waitForFinished();
}

TEST_F(SftpE2E, ARefusedLogInGivesTheUsualHint)
{
    person.msgBoxAnswers = {toolkit::vbYes};
    connect("not the password");
    EXPECT_FALSE(modWinInet::IsConnected);
    EXPECT_EQ(panel1(), hint("用户名或口令错误。"));
}

}  // namespace
