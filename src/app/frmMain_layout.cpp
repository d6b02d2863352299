// The window's size and place on its screen, and the five bands laid out
// from the controls' font metrics, so that every caption fits at any font
// size and the window fits any screen.
#include "app/frmMain.h"

#include "app/FlowRows.h"
#include "app/StatusPanels.h"
#include "app/toolkit.h"
#include "local/DirListBox.h"
#include "local/DriveListBox.h"
#include "local/FileListBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

using toolkit::TwipsToPixels;

namespace {

constexpr int kMargin = 3;   // between the window's edge and the bands
constexpr int kGap = 2;      // between bands
constexpr int kPad = 4;      // inside a band
constexpr int kSpacing = 6;  // between controls
// The server tree and the local panes share the height left by the other
// bands in the proportion of their design heights.
constexpr int kServerShare = 4530;
constexpr int kLocalShare = 4290;
constexpr int kDriveColumnShare = 6000;  // of the local band's 15420
constexpr int kStatusPanel2 = 3000;

// Room taken by a band's frame, title and padding.
QMargins chrome(const QWidget* band)
{
    return band->contentsMargins() + QMargins(kPad, kPad, kPad, kPad);
}

QRect inside(const QWidget* band) { return band->rect().marginsRemoved(chrome(band)); }

int bandHeight(const QWidget* band, const QList<flow::Group>& rows, int width)
{
    const QMargins m = chrome(band);
    return m.top() + m.bottom() + flow::Height(rows, width - m.left() - m.right(), kSpacing);
}

}  // namespace

void frmMain::placeOnScreen()
{
    const QSize design(TwipsToPixels(DesignWidthTwips), TwipsToPixels(DesignHeightTwips));
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect whole = screen->geometry();
    const QRect available = screen->availableGeometry();
    const QMargins frame(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    const QSize outerDesign = design.grownBy(frame);
    QRect outer(whole.topLeft() + QPoint((whole.width() - design.width()) / 2, (whole.height() - design.height()) / 2),
                outerDesign);
    QSize client = design;
    if (!available.contains(outer)) {
        // The largest size that fits, centred in the area the desktop leaves free.
        client = design.boundedTo(available.size().shrunkBy(frame));
        const QSize size = client.grownBy(frame);
        outer = QRect(available.topLeft() + QPoint((available.width() - size.width()) / 2,
                                                   (available.height() - size.height()) / 2),
                      size);
    }
    move(outer.topLeft());
    setFixedSize(client);
    layoutControls();
}

void frmMain::layoutControls()
{
    const int width = this->width();
    const int height = this->height() - menuBar()->sizeHint().height();
    const int bandWidth = width - 2 * kMargin;

    const int statusHeight = qMax(TwipsToPixels(330), staStatus->panel(1)->sizeHint().height() + 4);
    staStatus->setGeometry(0, height - statusHeight, width, statusHeight);
    staStatus->setWidth(1, width - TwipsToPixels(kStatusPanel2));
    staStatus->setWidth(2, TwipsToPixels(kStatusPanel2));

    const QList<flow::Group> connection = {
        {flow::Natural(lblServer), flow::TextBox(txtServer, QStringLiteral("ftp.example.org"), 4)},
        {flow::Natural(lblPort), flow::TextBox(txtPort, QStringLiteral("65535"), 1)},
        {flow::Natural(lblUser), flow::TextBox(txtUser, QStringLiteral("anonymous"), 3)},
        {flow::Natural(lblPassword), flow::TextBox(txtPassword, QStringLiteral("********"), 3)},
        {flow::Natural(chkPassive)},
        {flow::Natural(chkAnon)},
        {flow::Natural(cmdConnect, 1), flow::Natural(cmdDisConnect, 1)},
    };
    // The options sit side by side inside their group, which flows as one.
    flow::Place({{flow::Natural(lblMode), flow::Natural(optBin), flow::Natural(optAscii)}}, QRect(0, 0, 1 << 20, 0),
                kSpacing);
    QList<flow::Group> options = {{flow::Natural(fraMode)}};
    for (QPushButton* button : {cmdPutFolder, cmdGetFolder, cmdPutFile, cmdGetFile, cmdNameDir, cmdNameFile, cmdMdDir,
                                cmdDelDir, cmdDelFile, cmdCancel})
        options.append({flow::Natural(button, 1)});
    const QList<flow::Group> web = {
        {flow::TextBox(txtWeb, QStringLiteral("http://www.example.com/"), 1), flow::Natural(cmdWeb)}};

    const int connectionHeight = bandHeight(fraConnect, connection, bandWidth);
    const int optionHeight = bandHeight(fraOption, options, bandWidth);
    const int webHeight = bandHeight(fraWeb, web, bandWidth);
    const int rest = qMax(0, height - statusHeight - connectionHeight - optionHeight - webHeight - 5 * kGap);
    const int serverHeight = rest * kServerShare / (kServerShare + kLocalShare);

    int top = 0;
    const auto band = [&](QWidget* frame, int own) {
        frame->setGeometry(kMargin, top, bandWidth, own);
        top += own + kGap;
    };
    band(fraConnect, connectionHeight);
    band(fraServer, serverHeight);
    band(fraOption, optionHeight);
    band(fraLocal, rest - serverHeight);
    band(fraWeb, webHeight);

    flow::Place(connection, inside(fraConnect), kSpacing);
    tvwServer->setGeometry(inside(fraServer));
    flow::Place(options, inside(fraOption), kSpacing);
    layoutLocalBand(inside(fraLocal));
    flow::Place(web, inside(fraWeb), kSpacing);
}

void frmMain::layoutLocalBand(const QRect& area)
{
    const int left = area.width() * kDriveColumnShare / 15420;
    const int driveHeight =
        flow::Place({{flow::Natural(lblDrive), flow::TextBox(drvLocal, QStringLiteral("/media/usb"), 1)}},
                    QRect(area.topLeft(), QSize(left, 0)), kSpacing);
    const int dirTop = area.top() + driveHeight + kSpacing;
    dirLocal->setGeometry(area.left(), dirTop, left, qMax(0, area.bottom() + 1 - dirTop));
    filLocal->setGeometry(area.left() + left + kSpacing, area.top(), area.width() - left - kSpacing, area.height());
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The controls learn the new font first; the bands follow once they have.
    if (event->type() == QEvent::FontChange)
        QMetaObject::invokeMethod(this, &frmMain::layoutControls, Qt::QueuedConnection);
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A window manager's frame is known only now; a window it pushed off
    // the free area is fitted again.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const QScreen* screen = this->screen();
            if (screen && !screen->availableGeometry().contains(frameGeometry()))
                placeOnScreen();
        },
        Qt::QueuedConnection);
}
