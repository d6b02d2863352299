#pragma once
// A plain panel that assistive technology presents as a group of the
// controls inside it, named by its accessible name. The program places
// its controls; the panel is as large as they are.

#include <QWidget>

class GroupPanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    QSize sizeHint() const override
    {
        const QRect used = childrenRect();
        return {used.right() + 1, used.bottom() + 1};
    }
};
