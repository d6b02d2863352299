// The connection-state dialog through the menu on the in-memory library:
// flags to boxes, the frame's caption, a fresh query at each opening.
#include "app/toolkit.h"
#include "session/frmMode.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>

using namespace testsupport;

namespace {

// Which boxes are checked, in table order: Modem LAN Proxy RAS Offline Configured.
QString checkedBoxes(const frmMode* mode)
{
    QString marks;
    for (const QCheckBox* box : {mode->chkModem, mode->chkLan, mode->chkProxy, mode->chkRASInstalled,
                                 mode->chkOffline, mode->chkConfigured})
        marks += box->isChecked() ? u'x' : u'.';
    return marks;
}

class ConnectionStateDialog : public FakeWindowTest {
protected:
    // Opens the dialog from the menu; returns the boxes and the frame caption seen while shown.
    std::pair<QString, QString> showMode()
    {
        std::pair<QString, QString> seen;
        person.modalScripts.append([&seen](QDialog* dialog) {
            const auto* mode = qobject_cast<frmMode*>(dialog);
            ASSERT_NE(mode, nullptr);
            seen = {checkedBoxes(mode), mode->fraConnection->title()};
            dialog->hide();
        });
        window->mnuMode->trigger();
        return seen;
    }
};

TEST_F(ConnectionStateDialog, FlagsCheckTheirBoxes)
{
    struct Row {
        bool connected;
        quint32 flags;
        const char* name;
        const char* boxes;
        const char* caption;
    };
    const Row rows[] = {
        {true, 0x02 | 0x04 | 0x10, "Office LAN", ".xxx..", "联网方式：Office LAN"},
        {true, 0x01, "ppp0", "x.....", "联网方式：ppp0"},
        {true, 0x77, "all", "xxxxxx", "联网方式：all"},
        {true, 0x08 | 0x80 | 0x100, "eth0", "......", "联网方式：eth0"},  // bits with no box
        {true, 0x42, "", ".x...x", "联网方式："},
        {true, 0x02, "wlan0\0garbage", ".x....", "联网方式：wlan0"},
        {false, 0x20 | 0x10, "eth0", "......", ""},  // offline or RAS alone check nothing
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        net.connected = row.connected;
        net.stateFlags = row.flags;
        net.connectionName = QString::fromUtf8(row.name, row.name[0] == 'w' ? 13 : -1);
        const auto [boxes, caption] = showMode();
        EXPECT_EQ(boxes, QString::fromUtf8(row.boxes));
        EXPECT_EQ(caption, QString::fromUtf8(row.caption));
    }
}

TEST_F(ConnectionStateDialog, EachOpeningQueriesAgainAndCentresOverTheWindow)
{
    window->show();
    QPoint centre;
    QString title;
    person.modalScripts.append([&](QDialog* dialog) {
        centre = dialog->frameGeometry().center();
        title = dialog->windowTitle();
        dialog->hide();
    });
    net.stateFlags = 0x02;
    window->mnuMode->trigger();
    EXPECT_LE((centre - window->frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(title, toolkit::AppTitle());

    net.connected = false;
    EXPECT_EQ(showMode(), std::make_pair(QStringLiteral("......"), QString()));
    net.connected = true;
    net.stateFlags = 0x01;
    net.connectionName = QStringLiteral("modem");
    EXPECT_EQ(showMode(), std::make_pair(QStringLiteral("x....."), QStringLiteral("联网方式：modem")));
    EXPECT_EQ(net.calls.count(QStringLiteral("InternetGetConnectedStateEx")), 3);
    EXPECT_EQ(person.modalShown.count(QStringLiteral("frmMode")), 3);
}

}  // namespace
