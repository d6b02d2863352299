// The connection-state dialog on the real Internet library: it shows what
// the library reports for this machine at the moment it opens.
#include "session/frmMode.h"
#include "session/inet/internet_api.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>

using namespace testsupport;

namespace {

class ConnectionStateLive : public WindowTest {};

TEST_F(ConnectionStateLive, DialogShowsTheLibrarysAnswer)
{
    quint32 flags = 0;
    QString name;
    const bool connected = inet::Library().InternetGetConnectedStateEx(flags, name, 256, 0);

    QString caption;
    QList<bool> checked;
    person.modalScripts.append([&](QDialog* dialog) {
        const auto* mode = qobject_cast<frmMode*>(dialog);
        ASSERT_NE(mode, nullptr);
        caption = mode->fraConnection->title();
        for (const QCheckBox* box : {mode->chkModem, mode->chkLan, mode->chkProxy, mode->chkRASInstalled,
                                     mode->chkOffline, mode->chkConfigured})
            checked.append(box->isChecked());
        dialog->hide();
    });
    window->mnuMode->trigger();

    const quint32 bits[] = {0x01, 0x02, 0x04, 0x10, 0x20, 0x40};
    ASSERT_EQ(checked.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(checked[i], connected && (flags & bits[i]) != 0) << "bit " << bits[i];
    EXPECT_EQ(caption, connected ? QStringLiteral("联网方式：") + name : QString());
    if (connected && (flags & inet::INTERNET_CONNECTION_LAN)) {
        EXPECT_FALSE(flags & inet::INTERNET_CONNECTION_CONFIGURED) << "a plain LAN link is not a configured one";
    }
}

}  // namespace
