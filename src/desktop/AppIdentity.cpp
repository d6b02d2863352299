#include "desktop/AppIdentity.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QWidget>

#include <memory>
#include <optional>

// The resources live in a static library: pull them in by name.
static void initDesktopResources() { Q_INIT_RESOURCE(desktop); }

namespace desktop {

namespace {

QIcon decodedAppIcon()
{
    initDesktopResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/desktop/icons/quillon-%1.png").arg(size), QSize(size, size));
    return icon;
}

// The icon's eight pictures are decoded the first time one is asked for,
// not while the window is built: on many desktops nothing asks before the
// window is painted, and some never ask. Sizes and pictures are those of
// the decoded icon at one device pixel per pixel, as the icon engine sees them.
class DeferredIconEngine final : public QIconEngine {
public:
    DeferredIconEngine() : m_icon(std::make_shared<std::optional<QIcon>>()) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPaintDevice* device = painter->device();
        const qreal ratio = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // Its pictures are built into the program: never null, and asking
    // decodes nothing.
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& icon()
    {
        if (!*m_icon)
            *m_icon = decodedAppIcon();
        return **m_icon;
    }

    std::shared_ptr<std::optional<QIcon>> m_icon;  // shared by the clones
};

}  // namespace

QIcon AppIcon() { return QIcon(new DeferredIconEngine); }

void ApplyIdentity(QWidget* mainWindow)
{
    const QIcon icon = AppIcon();
    QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("quillon"));
    mainWindow->setWindowIcon(icon);
}

}  // namespace desktop
