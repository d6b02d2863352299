// Start-up, enabling of the file commands, clearing, Cancel and the exit.
#include "app/frmMain.h"

#include "app/CommandGate.h"
#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "session/frmInternet.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

using namespace modWinInet;

void frmMain::Form_Load()
{
    if (toolkit::PrevInstance()) {
        toolkit::EndProcess();
        return;
    }
    IsConnected = false;
    SessionHandle = 0;
    ConnectionHandle = 0;
    FolderTransferActive = 0;
    CancelRequested = false;
    chkPassive->setChecked(true);
    optBin->setChecked(true);
    TransferType = inet::FTP_TRANSFER_TYPE_BINARY;
    tvwServer->setImageList(&imgPicture);
    txtPort->setText(QStringLiteral("21"));
    cmdConnect->setEnabled(true);
    cmdDisConnect->setEnabled(false);
    for (QLineEdit* box : {txtServer, txtPort, txtUser, txtPassword})
        box->setEnabled(true);
    EnableFileCommands(false);
    setWindowTitle(toolkit::AppTitle());
    placeOnScreen();
}

void frmMain::EnableFileCommands(bool enable)
{
    QWidget* commands[] = {optBin,     optAscii,    cmdGetFile, cmdPutFile, cmdGetFolder, cmdPutFolder,
                           cmdNameDir, cmdNameFile, cmdMdDir,   cmdDelDir,  cmdDelFile,   cmdCancel};
    for (QWidget* control : commands)
        control->setEnabled(enable);
}

void frmMain::ClearConnectionFields()
{
    for (QLineEdit* box : {txtServer, txtUser, txtPassword, txtPort})
        box->setText(QString());
    ClearListings();
}

void frmMain::ClearListings()
{
    ListingNames.clear();
    ListingAttributes.clear();
    ListingFacts.clear();
}

void frmMain::cmdCancel_Click()
{
    if (SessionHandle != 0 && ConnectionHandle != 0 && FolderTransferActive != 0)
        CancelRequested = true;
}

void frmMain::mnuInternet_Click() { ShowInternetDialog(); }

frmInternet* frmMain::LoadInternetDialog()
{
    if (m_frmInternet && !m_frmInternet->isUnloaded())
        return m_frmInternet;
    if (m_frmInternet)
        m_frmInternet->deleteLater();
    m_frmInternet = new frmInternet(this);
    m_frmInternet->Form_Load();
    return m_frmInternet;
}

void frmMain::ShowInternetDialog() { toolkit::ShowModal(LoadInternetDialog()); }

void frmMain::mnuExit_Click()
{
    cmdDisConnect_Click();
    LoadInternetDialog()->cmdInternetClose_Click();
    toolkit::EndProcess();
}

void frmMain::Form_Unload()
{
    ClearConnectionFields();
    if (ConnectionHandle != 0)
        inet::Library().InternetCloseHandle(ConnectionHandle);
    ConnectionHandle = 0;
    FolderTransferActive = 0;
    mnuExit_Click();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // The close box still works while a library call paints the window;
    // closing then would pull the connection from under the call.
    if (m_gate->holding()) {
        event->ignore();
        m_gate->run([this] { close(); });
        return;
    }
    event->accept();
    if (m_unloading)
        return;
    m_unloading = true;
    Form_Unload();
}
