#include "session/SecureConnection.h"

#include "app/StatusPanels.h"
#include "app/toolkit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace session {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

QString reasonText(const inet::TrustQuestion& q)
{
    using Reason = inet::TrustQuestion::Reason;
    switch (q.reason) {
    case Reason::SelfSigned:
        return QStringLiteral("证书是自签名的");
    case Reason::UnknownIssuer:
        return QStringLiteral("证书的颁发者未知");
    case Reason::Expired:
        return QStringLiteral("证书已过期");
    case Reason::NotYetValid:
        return QStringLiteral("证书尚未生效");
    case Reason::WrongHost:
        return QStringLiteral("证书不属于此主机名");
    case Reason::Other:
        break;
    }
    return QStringLiteral("证书未通过验证（") + q.detail + QStringLiteral("）");
}

QString dateText(const QDateTime& time)
{
    return time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" UTC")
                          : QStringLiteral("?");
}

bool isSftp(const QString& serverText)
{
    return serverText.startsWith(QLatin1String("sftp://"), Qt::CaseInsensitive);
}

bool isFtpOverTls(const QString& serverText)
{
    return serverText.startsWith(QLatin1String("ftpes://"), Qt::CaseInsensitive) ||
           serverText.startsWith(QLatin1String("ftps://"), Qt::CaseInsensitive);
}

// A small closed padlock, drawn so that no theme is needed.
QPixmap lockPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 2));
    p.drawArc(QRectF(4, 1, 8, 10), 0, 180 * 16);
    p.drawLine(QPointF(4, 6), QPointF(4, 8));
    p.drawLine(QPointF(12, 6), QPointF(12, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC8, 0x96, 0x1E));
    p.drawRoundedRect(QRectF(2, 7, 12, 8), 1.5, 1.5);
    return picture;
}

QLabel* lockLabel(StatusPanels* statusBar)
{
    QLabel* panel = statusBar->panel(2);
    if (auto* existing = panel->findChild<QLabel*>(QStringLiteral("lblSecure")))
        return existing;
    auto* lock = new QLabel(panel);
    lock->setObjectName(QStringLiteral("lblSecure"));
    lock->setAccessibleName(QStringLiteral("加密连接"));
    lock->setPixmap(lockPicture());
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 2, 0);
    layout->addStretch();
    layout->addWidget(lock);
    return lock;
}

}  // namespace

QString TrustQuestionText(const inet::TrustQuestion& q)
{
    QStringList lines;
    if (q.kind == inet::TrustQuestion::Kind::UnknownHostKey) {
        lines << QStringLiteral("服务器 ") + q.server + QStringLiteral(" 的主机密钥未知（不在 known_hosts 中）。")
              << QStringLiteral("密钥类型：") + q.keyType << QStringLiteral("SHA-256 指纹：") + q.fingerprint
              << QStringLiteral("信任此主机密钥，将它记入 known_hosts 并继续连接吗？");
        return lines.join(kLineBreak);
    }
    lines << QStringLiteral("服务器 ") + q.server + QStringLiteral(" 的证书未通过验证：") + reasonText(q) +
                 QStringLiteral("。")
          << QStringLiteral("主题：") + q.subject << QStringLiteral("颁发者：") + q.issuer
          << QStringLiteral("有效期：") + dateText(q.validFrom) + QStringLiteral(" 至 ") + dateText(q.validUntil)
          << QStringLiteral("SHA-256 指纹：") + q.fingerprint
          << QStringLiteral("在本次运行中信任此证书并继续连接吗？");
    return lines.join(kLineBreak);
}

void InstallTrustQuestions()
{
    inet::SetTrustHandler([](const inet::TrustQuestion& question) {
        const int style = toolkit::vbYesNo | toolkit::vbExclamation | toolkit::vbDefaultButton2;
        return toolkit::MsgBox(TrustQuestionText(question), style) == toolkit::vbYes;
    });
}

std::optional<QString> SecureConnectHint(quint32 error, const QString& serverText)
{
    switch (error) {
    case inet::ERROR_FTP_ENCRYPTION_REQUIRED:
        return QStringLiteral("服务器要求加密连接，请使用 ftpes://") + serverText;
    case inet::ERROR_INTERNET_SEC_INVALID_CERT:
        return isSftp(serverText) ? QStringLiteral("服务器的主机密钥未被信任，未连接。")
                                  : QStringLiteral("服务器的证书未被信任，未连接。");
    case inet::ERROR_INTERNET_SEC_CERT_CHANGED:
        return isSftp(serverText)
                   ? QStringLiteral("警告：服务器的主机密钥已改变，可能有人冒充该服务器，连接被拒绝。")
                   : QStringLiteral("警告：服务器的证书与本次运行中信任的不同，可能有人冒充该服务器，连接被拒绝。");
    case inet::ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
        return QStringLiteral("无法与服务器建立加密连接。");
    case inet::ERROR_INTERNET_INVALID_OPERATION:
        // The library refuses active mode over TLS: passive is the user's fix.
        if (isFtpOverTls(serverText))
            return QStringLiteral("加密的FTP连接只能使用被动模式，请勾选“FTP反向对话”后再连接。");
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<QString> BinaryOnlyHint(bool connected, const QString& serverText, quint32 transferType)
{
    if (!connected || !isSftp(serverText) || transferType != inet::FTP_TRANSFER_TYPE_ASCII)
        return std::nullopt;
    return QStringLiteral("SFTP 只能按二进制方式传输，文件将按二进制传输。");
}

void ShowConnectionSecurity(StatusPanels* statusBar, const inet::SecurityInfo& info)
{
    QLabel* lock = lockLabel(statusBar);
    lock->setVisible(info.encrypted());
    if (!info.encrypted()) {
        lock->setToolTip(QString());
        return;
    }
    const bool ssh = info.protocol == QLatin1String("SSH");
    lock->setToolTip(QStringLiteral("已加密：") + info.protocol + kLineBreak +
                     (ssh ? QStringLiteral("主机密钥：") : QStringLiteral("证书：")) + info.identity + kLineBreak +
                     QStringLiteral("SHA-256：") + info.fingerprint);
}

}  // namespace session
