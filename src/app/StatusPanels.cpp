#include "app/StatusPanels.h"

#include <QAccessible>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>

namespace {
constexpr int kFrameMs = 16;  // a screen frame at 60 Hz

// Tells assistive technology that a panel reads differently now, so that a
// screen reader can announce the new hint.
void announce(QLabel* label)
{
    QAccessibleEvent changed(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < 2; ++i) {
        // The sunken frame is drawn once; the label inside it repaints on
        // every hint, painting its own background so that the repaint stays
        // inside the label instead of reaching the frame or the window.
        QFrame*& frame = m_frames[i];
        frame = new QFrame(this);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        auto* inside = new QHBoxLayout(frame);
        const int border = frame->frameWidth();
        inside->setContentsMargins(border, border, border, border);
        QLabel*& label = m_panels[i];
        label = new QLabel(frame);
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(true);
        inside->addWidget(label);
        layout->addWidget(frame);
    }
    m_panels[0]->setObjectName(QStringLiteral("staStatusPanel1"));
    m_panels[1]->setObjectName(QStringLiteral("staStatusPanel2"));
    layout->addStretch(1);
    m_pending.setSingleShot(true);
    connect(&m_pending, &QTimer::timeout, this, &StatusPanels::paintPending);
}

QLabel* StatusPanels::panel(int index) const { return m_panels[slot(index)]; }
QString StatusPanels::text(int index) const { return panel(index)->text(); }

void StatusPanels::setText(int index, const QString& text)
{
    panel(index)->setText(text);
    announce(panel(index));
}

void StatusPanels::showHint(int index, const QString& text)
{
    QLabel* label = panel(index);
    const bool paintNow = !m_sincePaint.isValid() || m_sincePaint.elapsed() >= kFrameMs;
    if (!paintNow) {
        // Keeps the label from painting every hint from the event loop; the
        // text itself is current, for assistive technology too.
        label->setUpdatesEnabled(false);
        label->setText(text);
        announce(label);
        if (!m_pending.isActive())
            m_pending.start(kFrameMs);
        return;
    }
    m_pending.stop();
    label->setUpdatesEnabled(true);
    label->setText(text);
    announce(label);
    label->repaint();
    m_sincePaint.start();
}

void StatusPanels::paintPending()
{
    for (QLabel* label : m_panels) {
        if (!label->updatesEnabled()) {
            label->setUpdatesEnabled(true);
            label->repaint();
            m_sincePaint.start();
        }
    }
    m_pending.stop();
}

int StatusPanels::width(int index) const { return m_frames[slot(index)]->width(); }

void StatusPanels::setWidth(int index, int pixels)
{
    QFrame* frame = m_frames[slot(index)];
    frame->setFixedWidth(pixels);
    panel(index)->setFixedWidth(qMax(0, pixels - 2 * frame->frameWidth()));
}

// Panels of a fixed size in both directions: a new hint then only repaints
// its panel, where a label that may grow lays out the whole strip again on
// every hint, which a folder transfer gives for each file.
void StatusPanels::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (int i = 0; i < 2; ++i) {
        m_frames[i]->setFixedHeight(event->size().height());
        m_panels[i]->setFixedHeight(qMax(0, event->size().height() - 2 * m_frames[i]->frameWidth()));
    }
}
