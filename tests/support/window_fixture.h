#pragma once
// Test fixtures that show the real main window, loaded as at start-up, with
// a scripted person in front of it: on an in-memory server (FakeWindowTest)
// or on a real loopback server through the real library (LiveWindowTest).

#include "app/frmMain.h"
#include "support/fake_internet.h"
#include "support/scripted_toolkit.h"
#include "support/servers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace testsupport {

// Fills the connection band of window and presses 连接.
void ConnectWindow(frmMain& window, const QString& host, quint16 port, const QString& user, const QString& password);
// Opens a direct session and connects window to server, as a person would.
void ConnectWindow(frmMain& window, const FtpServer& server);

class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    QString panel1() const;
    QString panel2() const;

    // Opens the Internet session through the session dialog's open command.
    void openSession(const QString& proxy = {});
    // Fills the connection band and presses 连接.
    void connectTo(const QString& host, quint16 port, const QString& user, const QString& password);
    // Selects a tree node by key (nothing selected when it does not exist).
    void selectNode(const QString& key);
    // Selects a node and double-clicks it as a person would.
    void doubleClickNode(const QString& key);
    QString imageOf(const QString& key) const;
    // Keys of a node's children, in tree order.
    QStringList childKeys(const QString& key) const;

    // Opens a local directory in the directory pane (as a double-click would).
    void openLocalDir(const QString& path);
    // Highlights an entry of the directory pane (a single click).
    void highlightLocalDir(int index);
    // Highlights a file in the file pane by name.
    void selectLocalFile(const QString& name);

    ScriptedToolkit person;
    std::unique_ptr<frmMain> window;
    QTemporaryDir localRoot;  // a local folder for the panes
};

class FakeWindowTest : public WindowTest {
protected:
    // Opens a session and connects to the in-memory server "srv".
    void connectFake(const QString& server = QStringLiteral("srv"));

    FakeInternet net;
};

class LiveWindowTest : public WindowTest {
protected:
    LiveWindowTest() = default;
    explicit LiveWindowTest(FtpServer::Options options) : server(options) {}
    void SetUp() override;

    // Opens a session and connects to the server as its named user.
    void connectLive();
    // The tree key of a server path below the log-in directory.
    QString keyOf(const QString& serverPath) const;
    // Writes a file on the server's disk.
    void putOnServer(const QString& serverPath, const QByteArray& content);
    QByteArray readOnServer(const QString& serverPath) const;

    FtpServer server;
};

// Reads a whole local file (empty when missing).
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& content);

}  // namespace testsupport
