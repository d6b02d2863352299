// The target chooser as the commands meet it: its answer, its fresh state on
// every showing, its place over the main window and its unloading.
#include "app/modWinInet.h"
#include "file_ops/frmFocus.h"
#include "support/window_fixture.h"

#include <QKeyEvent>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;

namespace {

ScriptedToolkit::ModalScript press(const char* button)
{
    return [button](QDialog* dialog) { ScriptedToolkit::click(dialog, button); };
}

ScriptedToolkit::ModalScript chooseLocal()
{
    return [](QDialog* dialog) {
        ScriptedToolkit::click(dialog, "optLocal");
        ScriptedToolkit::click(dialog, "cmdOption");
    };
}

class ChooserTest : public FakeWindowTest {
protected:
    int choose() { return fileops::ChooseTarget(window.get()); }
};

TEST_F(ChooserTest, AnswersServerLocalOrNothing)
{
    person.modalScripts = {press("cmdOption"), chooseLocal(), press("cmdOption"), press("cmdCancel"),
                           press("cmdOption"), [](QDialog* dialog) { dialog->close(); }};
    EXPECT_EQ(choose(), 1) << "OK untouched";
    EXPECT_EQ(choose(), 2) << "本地机 then OK";
    EXPECT_EQ(choose(), 1);
    EXPECT_EQ(choose(), 0) << "Cancel after an earlier OK";
    EXPECT_EQ(choose(), 1);
    EXPECT_EQ(choose(), 0) << "close box after an earlier OK";
    EXPECT_EQ(modWinInet::FocusTarget, 0);
    EXPECT_EQ(person.modalShown, QStringList(6, QStringLiteral("frmFocus")));
}

TEST_F(ChooserTest, EveryShowingStartsOnTheServerAndIsUnloadedAfterwards)
{
    QPointer<QDialog> first;
    bool ftpChecked = false;
    bool localChecked = true;
    person.modalScripts = {[&](QDialog* dialog) {
                               first = dialog;
                               chooseLocal()(dialog);
                           },
                           [&](QDialog* dialog) {
                               ftpChecked = dialog->findChild<QRadioButton*>("optFTP")->isChecked();
                               localChecked = dialog->findChild<QRadioButton*>("optLocal")->isChecked();
                               ScriptedToolkit::click(dialog, "cmdCancel");
                           }};
    EXPECT_EQ(choose(), 2);
    EXPECT_TRUE(first.isNull()) << "the dialog is unloaded after use";
    EXPECT_EQ(choose(), 0);
    EXPECT_TRUE(ftpChecked);
    EXPECT_FALSE(localChecked);
}

TEST_F(ChooserTest, CentredOverTheMovedMainWindowWithTheAppTitle)
{
    window->move(-300, 40);  // partly off the screen: the dialog may follow
    QPoint centre;
    QString title;
    QWidget* owner = window.get();
    person.modalScripts = {[&](QDialog* dialog) {
        centre = dialog->frameGeometry().center();
        title = dialog->windowTitle();
        owner = dialog->parentWidget();
        ScriptedToolkit::click(dialog, "cmdCancel");
    }};
    choose();
    const QPoint expected = window->frameGeometry().center();
    EXPECT_LE((centre - expected).manhattanLength(), 2) << centre.x() << "," << centre.y();
    EXPECT_EQ(title, toolkit::AppTitle());
    EXPECT_EQ(owner, nullptr);
}

TEST_F(ChooserTest, EscapeIsNoCancelAndEnterPressesTheFocusedButton)
{
    bool stillShown = false;
    person.modalScripts = {[&](QDialog* dialog) {
        QTest::keyClick(dialog, Qt::Key_Escape);
        stillShown = dialog->isVisible();
        QWidget* ok = dialog->findChild<QWidget*>("cmdOption");
        ok->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(dialog, &enter);
    }};
    EXPECT_EQ(choose(), 1);
    EXPECT_TRUE(stillShown);
}

}  // namespace
