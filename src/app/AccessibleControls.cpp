#include "app/AccessibleControls.h"

#include "remote_tree/HeaderlessTreeAccessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace accessibility {
namespace {

// A drop-down list whose name is its accessible name and whose value is
// the entry it shows, where the toolkit names it by that entry alone.
class NamedDropDown : public QAccessibleWidget {
public:
    explicit NamedDropDown(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == box()->view() ? 0 : -1;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->view()->isVisible();
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            box()->showPopup();
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* describe(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("StatusPanels"))
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    if (className == QLatin1String("GroupPanel"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    if (className == QLatin1String("DriveListBox"))
        return new NamedDropDown(static_cast<QComboBox*>(widget));
    return nullptr;
}

}  // namespace

void InstallControlDescriptions()
{
    QAccessible::installFactory(describe);
    QAccessible::installFactory(remote_tree::DescribeServerTree);
}

}  // namespace accessibility
