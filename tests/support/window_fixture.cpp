#include "support/window_fixture.h"

#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace testsupport {

WindowTest::WindowTest()
{
    window = std::make_unique<frmMain>();
    window->Form_Load();
    openLocalDir(localRoot.path());
}

WindowTest::~WindowTest()
{
    // Handles of a fake or finished server mean nothing to the next test.
    modWinInet::SessionHandle = 0;
    modWinInet::ConnectionHandle = 0;
    modWinInet::IsConnected = false;
}

QString WindowTest::panel1() const { return window->staStatus->text(1); }
QString WindowTest::panel2() const { return window->staStatus->text(2); }

void WindowTest::openSession(const QString& proxy)
{
    frmInternet* dialog = window->LoadInternetDialog();
    dialog->txtProxy->setText(proxy);
    dialog->cmdInternetOpen_Click();
}

void ConnectWindow(frmMain& window, const QString& host, quint16 port, const QString& user, const QString& password)
{
    window.txtServer->setText(host);
    window.txtPort->setText(QString::number(port));
    window.txtUser->setText(user);
    window.txtPassword->setText(password);
    window.cmdConnect->click();
}

void ConnectWindow(frmMain& window, const FtpServer& server)
{
    window.LoadInternetDialog()->cmdInternetOpen_Click();
    ConnectWindow(window, server.address(), server.port(), server.user(), server.password());
}

void WindowTest::connectTo(const QString& host, quint16 port, const QString& user, const QString& password)
{
    ConnectWindow(*window, host, port, user, password);
}

void WindowTest::selectNode(const QString& key)
{
    window->tvwServer->clearSelection();
    if (ServerTree::Node* node = window->tvwServer->node(key))
        window->tvwServer->setCurrentNode(node);
}

void WindowTest::doubleClickNode(const QString& key)
{
    selectNode(key);
    ServerTree::Node* node = window->tvwServer->node(key);
    ASSERT_NE(node, nullptr) << key.toStdString();
    QWidget* viewport = window->tvwServer->viewport();
    const QPoint at = window->tvwServer->nodeRect(node).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
}

QString WindowTest::imageOf(const QString& key) const
{
    return window->tvwServer->imageKey(window->tvwServer->node(key));
}

QStringList WindowTest::childKeys(const QString& key) const
{
    QStringList keys;
    const ServerTree::Node* node = window->tvwServer->node(key);
    for (int i = 0; node && i < node->childCount(); ++i)
        keys.append(ServerTree::key(node->child(i)));
    return keys;
}

void WindowTest::openLocalDir(const QString& path) { window->dirLocal->setPath(path); }

void WindowTest::highlightLocalDir(int index) { window->dirLocal->setListIndex(index); }

void WindowTest::selectLocalFile(const QString& name)
{
    window->filLocal->refresh();
    const QList<QListWidgetItem*> found = window->filLocal->findItems(name, Qt::MatchExactly);
    window->filLocal->setCurrentRow(found.isEmpty() ? -1 : window->filLocal->row(found.first()));
}

void FakeWindowTest::connectFake(const QString& server)
{
    openSession();
    connectTo(server, 21, QStringLiteral("user"), QStringLiteral("pw"));
}

void LiveWindowTest::SetUp()
{
    if (!server.ok())
        GTEST_SKIP() << "FTP server not available: " << server.error().toStdString();
}

void LiveWindowTest::connectLive()
{
    openSession();
    connectTo(server.address(), server.port(), server.user(), server.password());
}

QString LiveWindowTest::keyOf(const QString& serverPath) const
{
    QString relative = serverPath.mid(server.loginDir().size());
    if (!relative.startsWith('/'))
        relative.prepend('/');
    return server.address() + (relative == QLatin1String("/") ? QString() : relative);
}

void LiveWindowTest::putOnServer(const QString& serverPath, const QByteArray& content)
{
    writeFile(server.localPath(serverPath), content);
}

QByteArray LiveWindowTest::readOnServer(const QString& serverPath) const
{
    return readFile(server.localPath(serverPath));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

}  // namespace testsupport
