#include "file_ops/frmFocus.h"

#include "app/FormScale.h"
#include "app/modWinInet.h"
#include "app/toolkit.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

using namespace modWinInet;
using toolkit::TwipsToPixels;

frmFocus::frmFocus(const QWidget* mainWindow)
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_main(mainWindow)
{
    setObjectName(QStringLiteral("frmFocus"));
    setFixedSize(TwipsToPixels(5310), TwipsToPixels(1890));

    frmOption = new QGroupBox(QStringLiteral("目标"), this);
    frmOption->setObjectName(QStringLiteral("frmOption"));
    frmOption->setGeometry(toolkit::TwipsRect(120, 120, 5100, 1080));
    optFTP = new QRadioButton(QStringLiteral("FTP服务器"), frmOption);
    optFTP->setObjectName(QStringLiteral("optFTP"));
    optFTP->setGeometry(toolkit::TwipsRect(480, 450, 1815, 375));
    optFTP->setChecked(true);
    optLocal = new QRadioButton(QStringLiteral("本地机"), frmOption);
    optLocal->setObjectName(QStringLiteral("optLocal"));
    optLocal->setGeometry(toolkit::TwipsRect(2880, 450, 1695, 375));

    cmdOption = new QPushButton(QStringLiteral("OK"), this);
    cmdOption->setObjectName(QStringLiteral("cmdOption"));
    cmdOption->setGeometry(toolkit::TwipsRect(720, 1440, 1695, 300));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(toolkit::TwipsRect(2880, 1440, 1695, 300));
    // Neither button is the default: Enter presses only the focused button.
    cmdOption->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    frmOption->setAccessibleName(QStringLiteral("目标"));
    optFTP->setAccessibleName(optFTP->text());
    optLocal->setAccessibleName(optLocal->text());
    cmdOption->setAccessibleName(cmdOption->text());  // voice control says what it sees
    cmdCancel->setAccessibleName(cmdCancel->text());
    setTabOrder(optFTP, optLocal);
    setTabOrder(optLocal, cmdOption);
    setTabOrder(cmdOption, cmdCancel);

    connect(cmdOption, &QPushButton::clicked, this, &frmFocus::cmdOption_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFocus::cmdCancel_Click);
    formscale::GrowUntilCaptionsFit(this);
}

void frmFocus::Form_Load()
{
    setWindowTitle(toolkit::AppTitle());
    if (!m_main)
        return;
    setWindowIcon(m_main->windowIcon());
    toolkit::CentreOver(this, m_main);
}

void frmFocus::cmdOption_Click()
{
    if (optFTP->isChecked())
        FocusTarget = TargetServer;
    if (optLocal->isChecked())
        FocusTarget = TargetLocal;
    accept();
}

void frmFocus::cmdCancel_Click()
{
    FocusTarget = TargetNone;
    reject();
}

void frmFocus::closeEvent(QCloseEvent* event)
{
    // The close box counts as Cancel.
    FocusTarget = TargetNone;
    QDialog::closeEvent(event);
}

void frmFocus::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->ignore();  // no cancel button: Escape means nothing here
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

namespace fileops {

int ChooseTarget(const QWidget* mainWindow)
{
    auto dialog = std::make_unique<frmFocus>(mainWindow);
    dialog->Form_Load();
    const int result = toolkit::ShowModal(dialog.get());
    // Only OK answers; anything else that ends the showing is a Cancel.
    if (result != QDialog::Accepted)
        FocusTarget = TargetNone;
    return FocusTarget;
}

}  // namespace fileops
