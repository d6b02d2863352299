#pragma once
// The connection-state dialog: how the machine reaches the Internet, as the
// Internet library reports it. It only displays; it is created and queried
// afresh for each showing and closed with its close box.

#include <QDialog>

class QCheckBox;
class QGroupBox;

class frmMode : public QDialog {
    Q_OBJECT
public:
    // main: the window the dialog takes its icon from and centres over.
    explicit frmMode(QWidget* main);

    void Form_Load();
    // Queries the machine's connection state and shows it.
    void ShowConnectionState();

    QGroupBox* fraConnection = nullptr;
    QWidget* picConnection = nullptr;
    QCheckBox* chkModem = nullptr;
    QCheckBox* chkLan = nullptr;
    QCheckBox* chkProxy = nullptr;
    QCheckBox* chkRASInstalled = nullptr;
    QCheckBox* chkOffline = nullptr;
    QCheckBox* chkConfigured = nullptr;

private:
    QCheckBox* addFlagBox(const char* objectName, const QString& caption, int row);

    QWidget* m_main;
};
