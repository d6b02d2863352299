#include "session/frmMode.h"

#include "app/FormScale.h"
#include "app/toolkit.h"
#include "local/modCommon.h"
#include "session/inet/internet_api.h"

#include <QCheckBox>
#include <QGroupBox>

using toolkit::TwipsToPixels;

namespace {

constexpr quint32 kNameLength = 256;

// A tick box that shows a state and takes no change from any input: mouse,
// keys or assistive technology, which may toggle a box directly. Only
// display() changes it.
class StateBox : public QCheckBox {
public:
    StateBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent)
    {
        connect(this, &QCheckBox::toggled, this, [this](bool on) {
            if (on != m_shown)
                setChecked(m_shown);
        });
    }
    void display(bool on)
    {
        m_shown = on;
        setChecked(on);
    }

protected:
    void nextCheckState() override {}

private:
    bool m_shown = false;
};

void showState(QCheckBox* box, bool on) { static_cast<StateBox*>(box)->display(on); }

}  // namespace

frmMode::frmMode(QWidget* main)
    : QDialog(main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_main(main)
{
    setObjectName(QStringLiteral("frmMode"));
    setFixedSize(TwipsToPixels(4200), TwipsToPixels(2760));
    fraConnection = new QGroupBox(this);
    fraConnection->setObjectName(QStringLiteral("fraConnection"));
    fraConnection->setAccessibleName(QStringLiteral("联网方式"));
    fraConnection->setGeometry(toolkit::TwipsRect(120, 60, 3960, 2580));
    picConnection = new QWidget(fraConnection);
    picConnection->setObjectName(QStringLiteral("picConnection"));
    picConnection->setGeometry(toolkit::TwipsRect(90, 300, 3780, 2190));

    chkModem = addFlagBox("chkModem", QStringLiteral("Modem"), 0);
    chkLan = addFlagBox("chkLan", QStringLiteral("LAN"), 1);
    chkProxy = addFlagBox("chkProxy", QStringLiteral("Proxy"), 2);
    chkRASInstalled = addFlagBox("chkRASInstalled", QStringLiteral("RAS Installed"), 3);
    chkOffline = addFlagBox("chkOffline", QStringLiteral("Off Line"), 4);
    chkConfigured = addFlagBox("chkConfigured", QStringLiteral("Connection Configured"), 5);
    formscale::GrowUntilCaptionsFit(this);
}

QCheckBox* frmMode::addFlagBox(const char* objectName, const QString& caption, int row)
{
    auto* box = new StateBox(caption, picConnection);
    box->setObjectName(QLatin1String(objectName));
    box->setAccessibleName(caption);
    box->setGeometry(toolkit::TwipsRect(120, 60 + row * 345, 3540, 300));
    // Tab reaches each box so that a screen reader reads its state.
    box->setFocusPolicy(Qt::TabFocus);
    return box;
}

void frmMode::Form_Load()
{
    setWindowTitle(toolkit::AppTitle());
    setWindowIcon(m_main->windowIcon());
    ShowConnectionState();
    formscale::GrowUntilCaptionsFit(this);  // the frame's title now names the connection
    toolkit::CentreOver(this, m_main);
}

void frmMode::ShowConnectionState()
{
    quint32 flags = 0;
    QString name(int(kNameLength), u' ');
    const bool connected = inet::Library().InternetGetConnectedStateEx(flags, name, kNameLength, 0);
    for (QCheckBox* box : findChildren<QCheckBox*>())
        showState(box, false);
    if (!connected)
        return;
    fraConnection->setTitle(QStringLiteral("联网方式：") + modCommon::TrimAtNull(name));
    fraConnection->setAccessibleName(fraConnection->title());
    const std::pair<QCheckBox*, quint32> bits[] = {
        {chkModem, inet::INTERNET_CONNECTION_MODEM},         {chkLan, inet::INTERNET_CONNECTION_LAN},
        {chkProxy, inet::INTERNET_CONNECTION_PROXY},         {chkRASInstalled, inet::INTERNET_RAS_INSTALLED},
        {chkOffline, inet::INTERNET_CONNECTION_OFFLINE},     {chkConfigured, inet::INTERNET_CONNECTION_CONFIGURED},
    };
    for (const auto& [box, bit] : bits)
        showState(box, (flags & 0xFF & bit) != 0);
}
