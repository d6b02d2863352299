#pragma once
// The About box: icon, title, version, a short description, and a button
// that starts the system-information tool. Created for each showing.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The address a click on the copyright line opens.
    static const QString HomePageAddress;

    // main: the window the box takes its icon and title from and centres over.
    explicit frmAbout(QWidget* main);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Starts the system-information tool, or says it is unavailable.
    void StartSysInfo();
    void Form_MouseMove();
    void lblCopyright_MouseMove();
    void lblCopyright_Click();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QFrame* Line1[2] = {nullptr, nullptr};  // [1] grey above [0] white
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblCopyright = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createLabels();
    void createSeparator();
    void setCopyrightColour(QColor colour);

    QWidget* m_main;
};
