// The About box through the menu, the system-information start for each
// state of the key store, the value reading and the copyright line.
#include "help/KeyStore.h"
#include "help/SystemInfo.h"
#include "help/frmAbout.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

class AboutBox : public FakeWindowTest {
protected:
    AboutBox() { help::SetMachineKeys(&keys); }
    ~AboutBox() override { help::SetMachineKeys(nullptr); }

    void setPathKey(const QString& path)
    {
        keys.setValue(help::HKEY_LOCAL_MACHINE, help::SysInfoPathKey, help::SysInfoPathValue, {help::REG_SZ, path, 0});
    }
    void setFolderKey(const QString& folder)
    {
        keys.setValue(help::HKEY_LOCAL_MACHINE, help::SysInfoFolderKey, help::SysInfoFolderValue,
                      {help::REG_SZ, folder, 0});
    }
    // Opens the box from the menu and runs script while it is shown.
    void showAbout(const std::function<void(frmAbout*)>& script)
    {
        person.modalScripts.append([script](QDialog* dialog) {
            script(qobject_cast<frmAbout*>(dialog));
            dialog->hide();
        });
        window->mnuAbount->trigger();
    }

    help::KeyStore keys;
};

TEST_F(AboutBox, ShowsTitleAndVersionCentredOverTheMainWindowEachTime)
{
    window->show();
    QList<QPoint> centres;
    QList<QPoint> positions;
    for (int i = 0; i < 2; ++i) {
        showAbout([&](frmAbout* about) {
            ASSERT_NE(about, nullptr);
            EXPECT_EQ(about->windowTitle(), QStringLiteral("关于"));
            EXPECT_EQ(about->lblTitle->text(), window->windowTitle());
            EXPECT_EQ(about->lblVersion->text(), QStringLiteral("Version 2.0.0"));
            EXPECT_FALSE(about->picIcon->pixmap().isNull());
            centres.append(about->frameGeometry().center());
            positions.append(about->pos());
        });
        window->move(window->pos() + QPoint(37, 21));  // the box follows the window
    }
    EXPECT_EQ(person.modalShown, QStringList({QStringLiteral("frmAbout"), QStringLiteral("frmAbout")}));
    ASSERT_EQ(centres.size(), 2);
    const QPoint mainCentre = window->frameGeometry().center() - QPoint(37, 21);
    EXPECT_LE((centres[1] - mainCentre).manhattanLength(), 2);
    EXPECT_EQ(positions[1] - positions[0], QPoint(37, 21));
}

TEST_F(AboutBox, SystemInfoButtonStartsTheToolNamedByTheStore)
{
    QTemporaryDir folder;
    writeFile(folder.path() + QStringLiteral("/MSINFO32.EXE"), "tool");
    struct Row {
        const char* name;
        QString pathKey;    // null: absent
        QString folderKey;  // null: absent
        bool startable;
        QString started;    // the command tried; null: none
        bool message;
    };
    const QString named = QStringLiteral("/no/such/hardinfo");
    const QString inFolder = folder.path() + QStringLiteral("/MSINFO32.EXE");
    const Row rows[] = {
        {"first key, taken unchecked", named, {}, true, named, false},
        {"first key wins over second", named, folder.path(), true, named, false},
        {"first key, start fails", named, {}, false, named, true},
        {"second key with the tool there", {}, folder.path(), true, inFolder, false},
        {"second key without the tool", {}, QStringLiteral("/no/such/folder"), true, {}, true},
        {"neither key", {}, {}, true, {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        keys = help::KeyStore();
        if (!row.pathKey.isNull())
            setPathKey(row.pathKey);
        if (!row.folderKey.isNull())
            setFolderKey(row.folderKey);
        person.shellCommands.clear();
        person.msgBoxes.clear();
        person.shellResult = row.startable;
        showAbout([](frmAbout* about) { about->cmdSysInfo->click(); });

        EXPECT_EQ(person.shellCommands, row.started.isNull() ? QStringList() : QStringList{row.started});
        ASSERT_EQ(person.msgBoxes.size(), row.message ? 1 : 0);
        if (row.message) {
            EXPECT_EQ(person.msgBoxes[0].prompt, kUnavailable);
            EXPECT_EQ(person.msgBoxes[0].style, toolkit::vbOKOnly);
        }
    }
}

TEST_F(AboutBox, CopyrightLineLightsUnderTheMouseAndOpensTheHomePage)
{
    showAbout([&](frmAbout* about) {
        const auto colour = [about] { return about->lblCopyright->palette().color(QPalette::WindowText); };
        const auto move = [](QWidget* target, QPoint at) {
            QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
            QApplication::sendEvent(target, &event);
        };
        move(about->lblCopyright, QPoint(2, 2));
        EXPECT_EQ(colour(), QColor(0x00, 0xFF, 0x00));
        move(about, about->cmdOK->geometry().center());  // onto another control: stays lit
        EXPECT_EQ(colour(), QColor(0x00, 0xFF, 0x00));
        move(about, QPoint(2, about->height() - 2));  // the box's own surface
        EXPECT_EQ(colour(), QColor(0, 0, 0));

        const QPoint at(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, about->lblCopyright->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, {});
        QMouseEvent release(QEvent::MouseButtonRelease, at, about->lblCopyright->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(about->lblCopyright, &press);
        QApplication::sendEvent(about->lblCopyright, &release);
    });
    EXPECT_EQ(person.openedUrls, QList<QUrl>{QUrl(frmAbout::HomePageAddress)});
    EXPECT_TRUE(person.shellCommands.isEmpty());
}

TEST_F(AboutBox, OkClosesTheBox)
{
    bool hiddenByOk = false;
    person.modalScripts.append([&](QDialog* dialog) {
        ScriptedToolkit::click(dialog, "cmdOK");
        hiddenByOk = !dialog->isVisible();
    });
    window->mnuAbount->trigger();
    EXPECT_TRUE(hiddenByOk);
}

TEST(GetKeyValue, ReadsTextNumbersAndRefusesMissingOrOverlongValues)
{
    help::KeyStore keys;
    help::SetMachineKeys(&keys);
    const QString key = QStringLiteral("SOFTWARE\\Test");
    keys.setValue(help::HKEY_LOCAL_MACHINE, key, QStringLiteral("padded"),
                  {help::REG_SZ, QStringLiteral("C:\\Tools") + QString(1015, QChar(0)), 0});
    keys.setValue(help::HKEY_LOCAL_MACHINE, key, QStringLiteral("long"), {help::REG_SZ, QString(1024, u'x'), 0});
    keys.setValue(help::HKEY_LOCAL_MACHINE, key, QStringLiteral("fits"), {help::REG_SZ, QString(1023, u'x'), 0});
    keys.setValue(help::HKEY_LOCAL_MACHINE, key, QStringLiteral("number"), {help::REG_DWORD, {}, 0xFF});
    keys.setValue(help::HKEY_LOCAL_MACHINE, key, QStringLiteral("binary"), {help::REG_BINARY, QStringLiteral("ab"), 0});

    struct Row {
        const char* key;
        const char* value;
        bool found;
        QString expected;
    };
    const Row rows[] = {
        {"SOFTWARE\\Test", "padded", true, QStringLiteral("C:\\Tools")},
        {"software\\test", "PADDED", true, QStringLiteral("C:\\Tools")},  // names compare without case
        {"SOFTWARE\\Test", "fits", true, QString(1023, u'x')},
        {"SOFTWARE\\Test", "long", false, QString()},
        {"SOFTWARE\\Test", "number", true, QStringLiteral("&hFF")},
        {"SOFTWARE\\Test", "binary", true, QStringLiteral("as on entry")},
        {"SOFTWARE\\Test", "absent", false, QString()},
        {"SOFTWARE\\Absent", "padded", false, QString()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " " + row.value);
        QString text = QStringLiteral("as on entry");
        EXPECT_EQ(help::GetKeyValue(help::HKEY_LOCAL_MACHINE, QString::fromUtf8(row.key), QString::fromUtf8(row.value),
                                    text),
                  row.found);
        EXPECT_EQ(text, row.expected);
    }
    QString text;
    EXPECT_FALSE(help::GetKeyValue(0x80000001u, key, QStringLiteral("padded"), text));  // another root
    help::SetMachineKeys(nullptr);
}

}  // namespace
