#pragma once
// The target chooser: asks whether a file command acts on the FTP server or
// on the local machine and leaves the answer in modWinInet::FocusTarget.
// It is loaded for one question and unloaded afterwards, so every showing
// starts on the server.

#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;

class frmFocus : public QDialog {
    Q_OBJECT
public:
    // mainWindow is only the window to centre over; the dialog has no owner.
    explicit frmFocus(const QWidget* mainWindow);

    void Form_Load();
    void cmdOption_Click();
    void cmdCancel_Click();

    QGroupBox* frmOption = nullptr;
    QRadioButton* optFTP = nullptr;
    QRadioButton* optLocal = nullptr;
    QPushButton* cmdOption = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const QWidget* m_main;
};

namespace fileops {

// Loads the chooser, shows it modally, unloads it and returns FocusTarget:
// 0 cancelled (Cancel or the close box), 1 the server, 2 the local machine.
int ChooseTarget(const QWidget* mainWindow);

}  // namespace fileops
