#include "app/FlowRows.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

namespace flow {
namespace {

int groupWidth(const Group& group, int spacing)
{
    int width = spacing * (int(group.size()) - 1);
    for (const Cell& cell : group)
        width += cell.width;
    return width;
}

// Splits the groups into rows of at most `width`.
QList<Group> rowsOf(const QList<Group>& groups, int width, int spacing)
{
    QList<Group> rows;
    int used = 0;
    for (const Group& group : groups) {
        const int needed = groupWidth(group, spacing);
        if (rows.isEmpty() || used + spacing + needed > width) {
            rows.append(group);
            used = needed;
        } else {
            rows.last().append(group);
            used += spacing + needed;
        }
    }
    return rows;
}

int rowHeight(const Group& row)
{
    int height = 0;
    for (const Cell& cell : row)
        height = qMax(height, cell.widget->sizeHint().height());
    return height;
}

// Widths that fill the row: spare width goes to the stretching cells. A
// row wider than the area takes the shortfall from the stretching cells
// first, then from all evenly, so that nothing leaves the area.
QList<int> fitWidths(const Group& row, int width, int spacing)
{
    int stretches = 0;
    int stretchWidth = 0;
    for (const Cell& cell : row) {
        stretches += cell.stretch;
        stretchWidth += cell.stretch ? cell.width : 0;
    }
    const int spare = width - groupWidth(row, spacing);
    const int fromStretch = spare < 0 ? qMin(-spare, stretchWidth / 2) : 0;
    const int room = width - spacing * (int(row.size()) - 1);
    const int natural = groupWidth(row, spacing) - spacing * (int(row.size()) - 1) - fromStretch;
    QList<int> widths;
    for (const Cell& cell : row) {
        int w = cell.width;
        if (spare >= 0 && stretches)
            w += spare * cell.stretch / stretches;
        if (fromStretch && cell.stretch)
            w -= fromStretch * cell.width / stretchWidth;
        if (spare < 0 && natural > room)
            w = w * room / natural;
        widths.append(w);
    }
    return widths;
}

}  // namespace

Cell Natural(QWidget* widget, int stretch) { return {widget, widget->sizeHint().width(), stretch}; }

Cell TextBox(QWidget* box, const QString& sample, int stretch)
{
    QStyleOptionFrame option;
    option.initFrom(box);
    const QSize text(box->fontMetrics().horizontalAdvance(sample), box->fontMetrics().height());
    const QSize frame = box->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text + QSize(8, 4), box);
    return {box, frame.width(), stretch};
}

int Height(const QList<Group>& groups, int width, int spacing)
{
    const QList<Group> rows = rowsOf(groups, width, spacing);
    int height = spacing * (int(rows.size()) - 1);
    for (const Group& row : rows)
        height += rowHeight(row);
    return qMax(0, height);
}

int Place(const QList<Group>& groups, const QRect& area, int spacing)
{
    int top = area.top();
    for (const Group& row : rowsOf(groups, area.width(), spacing)) {
        const int height = rowHeight(row);
        const QList<int> widths = fitWidths(row, area.width(), spacing);
        int left = area.left();
        for (int i = 0; i < row.size(); ++i) {
            const int own = qMin(height, row[i].widget->sizeHint().height());
            row[i].widget->setGeometry(left, top + (height - own) / 2, widths[i], own);
            left += widths[i] + spacing;
        }
        top += height + spacing;
    }
    return qMax(0, top - spacing - area.top());
}

}  // namespace flow
