#include "desktop/AppIdentity.h"

#include <QGuiApplication>
#include <QWidget>

// The resources live in a static library: pull them in by name.
static void initDesktopResources() { Q_INIT_RESOURCE(desktop); }

namespace desktop {

QIcon AppIcon()
{
    initDesktopResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/desktop/icons/quillon-%1.png").arg(size), QSize(size, size));
    return icon;
}

void ApplyIdentity(QWidget* mainWindow)
{
    const QIcon icon = AppIcon();
    QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("quillon"));
    mainWindow->setWindowIcon(icon);
}

}  // namespace desktop
