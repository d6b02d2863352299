#pragma once
// Places controls in rows from their natural widths: groups of controls
// (a label and its box, say) stay side by side, a group that does not fit
// starts a new row, and the spare width of a row goes to the controls
// that stretch. Works on hidden windows too, unlike layouts, whose
// geometry waits for the first showing.

#include <QList>
#include <QRect>

class QWidget;

namespace flow {

struct Cell {
    QWidget* widget = nullptr;
    int width = 0;    // natural width, enough for the caption
    int stretch = 0;  // share of the row's spare width
};
using Group = QList<Cell>;

// A cell of the control's size hint (its caption and frame, from font metrics).
Cell Natural(QWidget* widget, int stretch = 0);
// A text box wide enough for `sample`.
Cell TextBox(QWidget* box, const QString& sample, int stretch);

// Places the groups inside `area`, row by row; returns the height used.
int Place(const QList<Group>& groups, const QRect& area, int spacing);
// The height Place would use, without moving anything.
int Height(const QList<Group>& groups, int width, int spacing);

}  // namespace flow
