#pragma once
// The session dialog: opens the Internet session, directly or through a
// proxy, and closes it (connection first). It stays loaded and hidden
// between showings; its close box unloads it.

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class frmMain;

class frmInternet : public QDialog {
    Q_OBJECT
public:
    explicit frmInternet(frmMain* main);

    void Form_Load();
    void cmdInternetOpen_Click();
    void cmdInternetClose_Click();

    // True once the close box has unloaded the dialog.
    bool isUnloaded() const { return m_unloaded; }

    QGroupBox* fraInternet = nullptr;
    QPushButton* cmdInternetOpen = nullptr;
    QPushButton* cmdInternetClose = nullptr;
    QGroupBox* fraProxy = nullptr;
    QLabel* lblProxy = nullptr;
    QLineEdit* txtProxy = nullptr;
    QLabel* lblProxyPort = nullptr;
    QLineEdit* txtProxyPort = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setSessionButtons();
    void setPanel2(const QString& text);

    frmMain* m_main;
    bool m_unloaded = false;
};
