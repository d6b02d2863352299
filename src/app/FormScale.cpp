#include "app/FormScale.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace {

const char* const kDesign = "quillonDesignGeometry";
constexpr double kStep = 1.06;
constexpr double kLargest = 3.0;

// The widgets placed by hand: the form's children and, inside plain frames
// and group boxes, theirs. Composite controls keep their own insides.
QList<QWidget*> placed(QWidget* parent)
{
    QList<QWidget*> found;
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        found << child;
        const bool container = qobject_cast<QGroupBox*>(child) || child->metaObject() == &QWidget::staticMetaObject ||
                               child->metaObject() == &QFrame::staticMetaObject;
        if (container)
            found << placed(child);
    }
    return found;
}

int textWidth(const QWidget* w, QString text) { return w->fontMetrics().horizontalAdvance(text.remove(u'&')); }

// The width the control needs for its whole caption; 0 when it has none.
int captionWidth(const QWidget* w)
{
    const QStyle* style = w->style();
    if (auto* b = qobject_cast<const QPushButton*>(w))
        return textWidth(w, b->text()) + style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) +
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
    if (auto* b = qobject_cast<const QCheckBox*>(w))
        return textWidth(w, b->text()) + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    if (auto* b = qobject_cast<const QRadioButton*>(w))
        return textWidth(w, b->text()) + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->wordWrap() || l->text().isEmpty() ? 0 : textWidth(w, l->text());
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return textWidth(w, g->title());
    return 0;
}

bool fits(const QWidget* w)
{
    if (w->width() < captionWidth(w))
        return false;
    if (auto* l = qobject_cast<const QLabel*>(w); l && l->wordWrap() && !l->text().isEmpty())
        return w->height() >= w->heightForWidth(w->width());
    if (qobject_cast<const QLineEdit*>(w))
        return w->height() >= w->minimumSizeHint().height();
    if (qobject_cast<const QAbstractButton*>(w) || (qobject_cast<const QLabel*>(w) && captionWidth(w) > 0))
        return w->height() >= w->fontMetrics().height();
    if (auto* box = qobject_cast<const QGroupBox*>(w)) {
        for (const QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->y() < box->contentsMargins().top())
                return false;
        }
    }
    return true;
}

QRect scaled(const QRect& r, double factor)
{
    const auto at = [factor](int v) { return int(std::lround(v * factor)); };
    // Edges are scaled, not sizes, so that neighbours stay apart.
    return QRect(QPoint(at(r.left()), at(r.top())), QPoint(at(r.right() + 1) - 1, at(r.bottom() + 1) - 1));
}

void applyFactor(QWidget* form, const QList<QWidget*>& widgets, double factor)
{
    const QSize design = form->property(kDesign).toRect().size();
    const QSize size(int(std::lround(design.width() * factor)), int(std::lround(design.height() * factor)));
    if (form->minimumSize() == form->maximumSize())
        form->setFixedSize(size);
    else
        form->resize(size);
    for (QWidget* w : widgets)
        w->setGeometry(scaled(w->property(kDesign).toRect(), factor));
}

}  // namespace

namespace formscale {

void GrowUntilCaptionsFit(QWidget* form)
{
    const QList<QWidget*> widgets = placed(form);
    for (QWidget* w : widgets + QList<QWidget*>{form}) {
        if (!w->property(kDesign).isValid())
            w->setProperty(kDesign, w->geometry());
    }
    const auto allFit = [&widgets] {
        return std::all_of(widgets.begin(), widgets.end(), [](const QWidget* w) { return fits(w); });
    };
    double factor = 1.0;
    applyFactor(form, widgets, factor);
    while (!allFit() && factor < kLargest) {
        factor *= kStep;
        applyFactor(form, widgets, factor);
    }
}

}  // namespace formscale
