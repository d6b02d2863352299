// Status hints, the progress bar and the error report.
#include "app/frmMain.h"

#include "app/StatusPanels.h"
#include "app/modWinInet.h"
#include "app/toolkit.h"
#include "session/SecureConnection.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

using namespace modWinInet;

namespace {

constexpr int kFullBar = 67;

// A text the number conversion accepts as a whole, blanks around allowed.
bool readsAsNumber(const QString& text, double& value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    value = trimmed.toDouble(&ok);
    return ok && std::isfinite(value);
}

QString progressBar(double value)
{
    const double clamped = std::clamp(value, 0.0, 100.0);
    const int squares = int(std::nearbyint(clamped * kFullBar / 100.0));  // halves to even
    return QStringLiteral("进度: ") + QString(squares, QChar(0x25A0));
}

// Control characters as \xHH, so that a name holding CR LF or a tab
// cannot split or stretch a one-line text.
QString visibleControls(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            shown += QString::asprintf("\\x%02X", unsigned(c.unicode()));
        else
            shown += c;
    }
    return shown;
}

}  // namespace

void frmMain::ShowStatus(const QString& value)
{
    double number = 0;
    const QString text =
        readsAsNumber(value, number) ? progressBar(number) : QStringLiteral("提示: ") + visibleControls(value);
    staStatus->showHint(1, text);
}

void frmMain::ReportInternetError(qint32 number, const QString& label)
{
    if (quint32(number) == inet::ERROR_INTERNET_EXTENDED_ERROR) {
        quint32 code = 0;
        quint32 length = 0;
        inet::Library().InternetGetLastResponseInfoA(code, nullptr, length);
        QString response;
        length += 1;
        inet::Library().InternetGetLastResponseInfoA(code, &response, length);
        ShowStatus(label + QStringLiteral(" Extd Err: ") + QString::number(code) + ' ' + response);
    } else if (quint32(number) == inet::ERROR_INTERNET_SEC_CERT_CHANGED) {
        // A reconnect met another certificate or host key: say why it was refused.
        ShowStatus(*session::SecureConnectHint(quint32(number), txtServer->text()));
    }
    const QString question = visibleControls(label) + QStringLiteral(" Err: ") + QString::number(number) +
                             QStringLiteral("\r\n关闭连接及进程?");
    // Enter answers No: a stray key press must not end the program.
    if (toolkit::MsgBox(question, toolkit::vbYesNo | toolkit::vbDefaultButton2) != toolkit::vbYes)
        return;

    CloseHandles();
    FolderTransferActive = 0;
    if (IsConnected)
        tvwServer->removeNode(txtServer->text());
    IsConnected = false;
    ClearConnectionFields();
    EnableFileCommands(false);
    close();
}
