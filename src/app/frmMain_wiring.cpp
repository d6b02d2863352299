// Every control's event, connected to its handler in one place.
#include "app/frmMain.h"

#include "local/DirListBox.h"
#include "local/DriveListBox.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

void frmMain::connectHandlers()
{
    connect(cmdConnect, &QPushButton::clicked, this, &frmMain::cmdConnect_Click);
    connect(cmdDisConnect, &QPushButton::clicked, this, &frmMain::cmdDisConnect_Click);
    connect(chkAnon, &QCheckBox::stateChanged, this, &frmMain::chkAnon_Click);
    connect(tvwServer, &ServerTree::DblClick, this, &frmMain::tvwServer_DblClick);

    connect(optBin, &QRadioButton::clicked, this, &frmMain::optBin_Click);
    connect(optAscii, &QRadioButton::clicked, this, &frmMain::optAscii_Click);
    connect(cmdPutFolder, &QPushButton::clicked, this, &frmMain::cmdPutFolder_Click);
    connect(cmdGetFolder, &QPushButton::clicked, this, &frmMain::cmdGetFolder_Click);
    connect(cmdPutFile, &QPushButton::clicked, this, &frmMain::cmdPutFile_Click);
    connect(cmdGetFile, &QPushButton::clicked, this, &frmMain::cmdGetFile_Click);
    connect(cmdNameDir, &QPushButton::clicked, this, &frmMain::cmdNameDir_Click);
    connect(cmdNameFile, &QPushButton::clicked, this, &frmMain::cmdNameFile_Click);
    connect(cmdMdDir, &QPushButton::clicked, this, &frmMain::cmdMdDir_Click);
    connect(cmdDelDir, &QPushButton::clicked, this, &frmMain::cmdDelDir_Click);
    connect(cmdDelFile, &QPushButton::clicked, this, &frmMain::cmdDelFile_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);

    connect(drvLocal, &DriveListBox::Change, this, &frmMain::drvLocal_Change);
    connect(dirLocal, &DirListBox::Change, this, &frmMain::dirLocal_Change);
    connect(cmdWeb, &QPushButton::clicked, this, &frmMain::cmdWeb_Click);

    connect(mnuInternet, &QAction::triggered, this, &frmMain::mnuInternet_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuContent, &QAction::triggered, this, &frmMain::mnuContent_Click);
    connect(mnuMode, &QAction::triggered, this, &frmMain::mnuMode_Click);
    connect(mnuAbount, &QAction::triggered, this, &frmMain::mnuAbount_Click);
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
