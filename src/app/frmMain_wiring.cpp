// Every control's event, connected to its handler in one place. Each
// handler runs through the command gate: a command that arrives while a
// library call blocks waits until the call has returned.
#include "app/frmMain.h"

#include "app/CommandGate.h"

#include "local/DirListBox.h"
#include "local/DriveListBox.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

template <typename Sender, typename Signal>
void frmMain::gated(Sender* sender, Signal signal, void (frmMain::*handler)())
{
    connect(sender, signal, this, [this, handler] { m_gate->run([this, handler] { (this->*handler)(); }); });
}

void frmMain::connectHandlers()
{
    m_gate = new CommandGate(this);
    gated(cmdConnect, &QPushButton::clicked, &frmMain::cmdConnect_Click);
    gated(cmdDisConnect, &QPushButton::clicked, &frmMain::cmdDisConnect_Click);
    gated(chkAnon, &QCheckBox::stateChanged, &frmMain::chkAnon_Click);
    gated(tvwServer, &ServerTree::DblClick, &frmMain::tvwServer_DblClick);

    gated(optBin, &QRadioButton::clicked, &frmMain::optBin_Click);
    gated(optAscii, &QRadioButton::clicked, &frmMain::optAscii_Click);
    gated(cmdPutFolder, &QPushButton::clicked, &frmMain::cmdPutFolder_Click);
    gated(cmdGetFolder, &QPushButton::clicked, &frmMain::cmdGetFolder_Click);
    gated(cmdPutFile, &QPushButton::clicked, &frmMain::cmdPutFile_Click);
    gated(cmdGetFile, &QPushButton::clicked, &frmMain::cmdGetFile_Click);
    gated(cmdNameDir, &QPushButton::clicked, &frmMain::cmdNameDir_Click);
    gated(cmdNameFile, &QPushButton::clicked, &frmMain::cmdNameFile_Click);
    gated(cmdMdDir, &QPushButton::clicked, &frmMain::cmdMdDir_Click);
    gated(cmdDelDir, &QPushButton::clicked, &frmMain::cmdDelDir_Click);
    gated(cmdDelFile, &QPushButton::clicked, &frmMain::cmdDelFile_Click);
    gated(cmdCancel, &QPushButton::clicked, &frmMain::cmdCancel_Click);

    gated(drvLocal, &DriveListBox::Change, &frmMain::drvLocal_Change);
    gated(dirLocal, &DirListBox::Change, &frmMain::dirLocal_Change);
    gated(cmdWeb, &QPushButton::clicked, &frmMain::cmdWeb_Click);

    gated(mnuInternet, &QAction::triggered, &frmMain::mnuInternet_Click);
    gated(mnuExit, &QAction::triggered, &frmMain::mnuExit_Click);
    gated(mnuContent, &QAction::triggered, &frmMain::mnuContent_Click);
    gated(mnuMode, &QAction::triggered, &frmMain::mnuMode_Click);
    gated(mnuAbount, &QAction::triggered, &frmMain::mnuAbount_Click);
}

// Keys that stand in for the mouse.
void frmMain::connectKeys()
{
    for (QLineEdit* box : {txtServer, txtPort, txtUser, txtPassword})
        connect(box, &QLineEdit::returnPressed, this, &frmMain::pressConnect);
    auto* menuKey = new QAction(this);
    menuKey->setObjectName(QStringLiteral("menuKey"));
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, &frmMain::openMenuBar);
}

void frmMain::pressConnect()
{
    if (cmdConnect->isEnabled())
        cmdConnect->click();
}

void frmMain::openMenuBar() { menuBar()->setActiveAction(mnuFile->menuAction()); }
