// What a screen reader or voice control learns through the toolkit's
// accessibility interface: roles, names, states, actions and events.
#include "app/StatusPanels.h"
#include "file_ops/frmFocus.h"
#include "help/frmAbout.h"
#include "local/DriveListBox.h"
#include "session/frmMode.h"
#include "support/window_fixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;

namespace {

QAccessibleInterface* face(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
QString nameOf(QObject* object) { return face(object)->text(QAccessible::Name); }

class Accessibility : public FakeWindowTest {};

TEST_F(Accessibility, EveryButtonAndFrameIsNamedByItsVisibleCaption)
{
    frmFocus chooser(window.get());
    frmMode mode(window.get());
    frmAbout about(window.get());
    for (QWidget* top : std::initializer_list<QWidget*>{window.get(), &chooser, window->LoadInternetDialog(), &mode,
                                                        &about}) {
        for (QAbstractButton* button : top->findChildren<QAbstractButton*>()) {
            if (!button->text().isEmpty()) {
                EXPECT_EQ(nameOf(button), QString(button->text()).remove('&')) << button->objectName().toStdString();
            }
        }
        for (QGroupBox* frame : top->findChildren<QGroupBox*>()) {
            if (!frame->title().isEmpty()) {
                EXPECT_EQ(nameOf(frame), frame->title()) << frame->objectName().toStdString();
            }
        }
    }
    EXPECT_EQ(nameOf(chooser.cmdOption), "OK");
    EXPECT_EQ(nameOf(chooser.cmdCancel), "Cancel");
}

TEST_F(Accessibility, OptionsAreGroupedAndTheDriveListIsNamedByItsPurpose)
{
    QAccessibleInterface* group = face(window->optBin)->parent();
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), "传输方式");
    EXPECT_EQ(face(window->optAscii)->parent()->object(), group->object());

    QAccessibleInterface* drive = face(window->drvLocal);
    EXPECT_EQ(drive->role(), QAccessible::ComboBox);
    EXPECT_EQ(drive->text(QAccessible::Name), "驱动器");
    EXPECT_EQ(drive->text(QAccessible::Value), window->drvLocal->currentText());
    EXPECT_TRUE(drive->actionInterface()->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
}

TEST_F(Accessibility, FoldersAreExpandableAndExpandedWhenOpen)
{
    net.addDir("/pub");
    net.addFile("/pub/a.txt");
    net.addFile("/readme.txt");
    connectFake();
    QAccessibleInterface* tree = face(window->tvwServer);
    const auto itemNamed = [tree](const QString& name) -> QAccessibleInterface* {
        for (int i = 0; i < tree->childCount(); ++i) {
            QAccessibleInterface* child = tree->child(i);
            if (child && child->role() == QAccessible::TreeItem && child->text(QAccessible::Name) == name)
                return child;
        }
        return nullptr;
    };
    // The rows, in the order shown and numbered from 0, and no hidden header.
    const auto rows = [tree] {
        QStringList names;
        for (int i = 0; i < tree->childCount(); ++i) {
            QAccessibleInterface* child = tree->child(i);
            EXPECT_EQ(child->role(), QAccessible::TreeItem);
            EXPECT_EQ(tree->indexOfChild(child), i);
            EXPECT_EQ(child->parent()->object(), tree->object());
            names << child->text(QAccessible::Name);
        }
        return names;
    };
    EXPECT_EQ(rows(), (QStringList{"srv", "srv/pub", "srv/readme.txt"}));

    ASSERT_NE(itemNamed("srv/pub"), nullptr);
    EXPECT_TRUE(itemNamed("srv/pub")->state().expandable);
    EXPECT_FALSE(itemNamed("srv/pub")->state().expanded);
    EXPECT_FALSE(itemNamed("srv/readme.txt")->state().expandable);
    doubleClickNode("srv/pub");
    EXPECT_TRUE(itemNamed("srv/pub")->state().expanded);
    EXPECT_EQ(rows(), (QStringList{"srv", "srv/pub", "srv/pub/a.txt", "srv/readme.txt"}));
    // A selected row inside a folder is told by its place as shown.
    selectNode("srv/pub/a.txt");
    QAccessibleTableInterface* table = tree->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->selectedRows(), QList<int>{2});
    ASSERT_EQ(table->selectedCells().size(), 1);
    EXPECT_EQ(table->selectedCells().first()->text(QAccessible::Name), "srv/pub/a.txt");
    EXPECT_TRUE(table->isRowSelected(2));
    doubleClickNode("srv/pub");
    EXPECT_FALSE(itemNamed("srv/pub")->state().expanded);
    EXPECT_TRUE(itemNamed("srv/pub")->state().expandable);
}

TEST_F(Accessibility, ConnectionStateBoxesReadButNeverChange)
{
    net.stateFlags = 0x02;
    net.connectionName = "eth0";
    frmMode mode(window.get());
    mode.Form_Load();
    mode.show();
    EXPECT_EQ(nameOf(mode.fraConnection), "联网方式：eth0");
    for (QCheckBox* box : {mode.chkLan, mode.chkModem}) {
        const bool was = box->isChecked();
        QAccessibleInterface* boxFace = face(box);
        EXPECT_EQ(boxFace->state().checked, was);
        for (const QString& action : boxFace->actionInterface()->actionNames())
            boxFace->actionInterface()->doAction(action);
        QTest::keyClick(box, Qt::Key_Space);
        QTest::mouseClick(box, Qt::LeftButton);
        box->click();
        EXPECT_EQ(box->isChecked(), was) << box->objectName().toStdString();
        EXPECT_TRUE(box->focusPolicy() & Qt::TabFocus);
    }
}

// (The change events that let a screen reader announce a hint reach no one
// on the offscreen platform, which has no accessibility bridge.)
TEST_F(Accessibility, TheStatusPanelsAreAStatusBarWhosePanelsReadTheirText)
{
    QAccessibleInterface* bar = face(window->staStatus);
    EXPECT_EQ(bar->role(), QAccessible::StatusBar);
    window->ShowStatus("一");
    window->staStatus->setText(2, "会话中");
    QStringList texts;
    for (int i = 0; i < bar->childCount(); ++i)
        texts << bar->child(i)->child(0)->text(QAccessible::Name);
    EXPECT_EQ(texts, (QStringList{"提示: 一", "会话中"}));
    EXPECT_TRUE(window->staStatus->panel(1)->accessibleName().isEmpty());
    window->ShowStatus("二");
    window->ShowStatus("三");  // within the same screen frame: painted later, readable now
    EXPECT_EQ(bar->child(0)->child(0)->text(QAccessible::Name), "提示: 三");
}

}  // namespace
