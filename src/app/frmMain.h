#pragma once
// The main window: owns every control and the wiring. Its handlers are
// grouped by subsystem; each group's bodies live in that subsystem's folder
// (session/, remote_tree/, transfer/, file_ops/, local/, web/, help/).

#include "app/ImageList.h"
#include "remote_tree/ServerTree.h"
#include "session/frmInternet.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class DirListBox;
class DriveListBox;
class FileListBox;
class StatusPanels;
class CommandGate;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The window's size where the screen has room for it.
    static constexpr int DesignWidthTwips = 15750;
    static constexpr int DesignHeightTwips = 11850;

    // --- app/: start-up, enabling, clearing, exit --------------------------
    void Form_Load();
    void Form_Unload();
    void EnableFileCommands(bool enable);
    void ClearConnectionFields();
    void ClearListings();
    void cmdCancel_Click();
    void mnuExit_Click();
    void mnuInternet_Click();

    // --- app/: status hints and the error report ---------------------------
    // A text that reads as a number shows as a progress bar.
    void ShowStatus(const QString& value);
    void ReportInternetError(qint32 number, const QString& label);

    // The session dialog, loaded (running its Form_Load) when it is not.
    frmInternet* LoadInternetDialog();
    frmInternet* InternetDialogIfLoaded() const { return m_frmInternet; }
    void ShowInternetDialog();

    // --- session/: connection band ------------------------------------------
    void cmdConnect_Click();
    void cmdDisConnect_Click();
    void chkAnon_Click();

    // --- remote_tree/: listing, nodes, server paths, navigation ------------
    void ListServerDirectory(const QString& path);
    void AddListingNodes(const QString& parentKey);
    // False, after the hint or the error report, when the directory did not change.
    bool ChangeServerDirectory(const QString& keyOrPath);
    // The server path a node key stands for (the log-in directory for the root).
    QString ServerPathOfKey(const QString& key) const;
    void tvwServer_DblClick();
    void RefreshServerNode(ServerTree::Node* node);

    // --- transfer/: single files and folders --------------------------------
    void cmdGetFile_Click();
    void cmdPutFile_Click();
    void optAscii_Click();
    void optBin_Click();
    void cmdGetFolder_Click();
    void DownloadFolderTree(QString& ServerFolder, QString& LocalFolder);
    void cmdPutFolder_Click();
    void UploadFolderTree(const QString& SourceFolder, const QString& RemoteFolder);

    // --- file_ops/: make, delete, rename -----------------------------------
    void cmdMdDir_Click();
    void cmdDelFile_Click();
    void cmdDelDir_Click();
    void cmdNameFile_Click();
    void cmdNameDir_Click();

    // --- local/: the three local panes --------------------------------------
    void drvLocal_Change();
    void dirLocal_Change();

    // --- web/, help/ ----------------------------------------------------------
    void cmdWeb_Click();
    void mnuContent_Click();
    void mnuMode_Click();
    void mnuAbount_Click();

    // --- controls -------------------------------------------------------------
    QFrame* fraConnect = nullptr;
    QLabel* lblServer = nullptr;
    QLineEdit* txtServer = nullptr;
    QLabel* lblPort = nullptr;
    QLineEdit* txtPort = nullptr;
    QLabel* lblUser = nullptr;
    QLineEdit* txtUser = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* txtPassword = nullptr;
    QCheckBox* chkPassive = nullptr;
    QCheckBox* chkAnon = nullptr;
    QPushButton* cmdConnect = nullptr;
    QPushButton* cmdDisConnect = nullptr;

    QGroupBox* fraServer = nullptr;
    ServerTree* tvwServer = nullptr;

    QFrame* fraOption = nullptr;
    QWidget* fraMode = nullptr;  // groups lblMode with the two options
    QLabel* lblMode = nullptr;
    QRadioButton* optBin = nullptr;
    QRadioButton* optAscii = nullptr;
    QPushButton* cmdPutFolder = nullptr;
    QPushButton* cmdGetFolder = nullptr;
    QPushButton* cmdPutFile = nullptr;
    QPushButton* cmdGetFile = nullptr;
    QPushButton* cmdNameDir = nullptr;
    QPushButton* cmdNameFile = nullptr;
    QPushButton* cmdMdDir = nullptr;
    QPushButton* cmdDelDir = nullptr;
    QPushButton* cmdDelFile = nullptr;
    QPushButton* cmdCancel = nullptr;

    QGroupBox* fraLocal = nullptr;
    QLabel* lblDrive = nullptr;
    DriveListBox* drvLocal = nullptr;
    DirListBox* dirLocal = nullptr;
    FileListBox* filLocal = nullptr;

    QGroupBox* fraWeb = nullptr;
    QLineEdit* txtWeb = nullptr;
    QPushButton* cmdWeb = nullptr;

    StatusPanels* staStatus = nullptr;
    ImageList imgPicture;

    QMenu* mnuFile = nullptr;
    QAction* mnuInternet = nullptr;
    QAction* mnuFileBar = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuContent = nullptr;
    QAction* mnuMode = nullptr;
    QAction* mnuHelpBar = nullptr;
    QAction* mnuAbount = nullptr;

    // --- window-owned data ----------------------------------------------------
    QStringList ListingNames;           // names of the last server listing
    QList<quint32> ListingAttributes;   // their attribute words, in parallel
    QList<ServerTree::Facts> ListingFacts;  // their size and time of change, in parallel, until added as nodes
    QString SavedUserName;              // kept while anonymous log-in is ticked
    QString LoginDirectory = QStringLiteral("/");  // where the server put the session

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createConnectionBand(QWidget* central);
    void createServerBand(QWidget* central);
    void createOptionBand(QWidget* central);
    void createLocalBand(QWidget* central);
    void createWebBand(QWidget* central);
    void createMenus();
    void createImages();
    void connectHandlers();
    // Connects a control's signal to a handler that runs through the command gate.
    template <typename Sender, typename Signal>
    void gated(Sender* sender, Signal signal, void (frmMain::*handler)());
    void connectKeys();
    // Enter in a box of the connection band presses 连接 while it is enabled.
    void pressConnect();
    // F10 opens the menu bar, as on most desktops.
    void openMenuBar();
    // Size and place the window on its screen, then lay out the controls.
    void placeOnScreen();
    void layoutControls();
    void layoutLocalBand(const QRect& inside);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QPointer<frmInternet> m_frmInternet;
    CommandGate* m_gate = nullptr;
    bool m_unloading = false;
};
