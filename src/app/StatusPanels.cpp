#include "app/StatusPanels.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>

StatusPanels::StatusPanels(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QLabel*& label : m_panels) {
        label = new QLabel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        // Panels repaint on every hint: painting their own background keeps
        // each repaint to the panel instead of the window behind it.
        label->setAutoFillBackground(true);
        label->setAttribute(Qt::WA_OpaquePaintEvent);
        layout->addWidget(label);
    }
    m_panels[0]->setObjectName(QStringLiteral("staStatusPanel1"));
    m_panels[1]->setObjectName(QStringLiteral("staStatusPanel2"));
    layout->addStretch(1);
}

QLabel* StatusPanels::panel(int index) const { return m_panels[index == 2 ? 1 : 0]; }
QString StatusPanels::text(int index) const { return panel(index)->text(); }

void StatusPanels::setText(int index, const QString& text)
{
    panel(index)->setText(text);
}

int StatusPanels::width(int index) const { return panel(index)->width(); }

void StatusPanels::setWidth(int index, int pixels)
{
    panel(index)->setFixedWidth(pixels);
}

// Panels of a fixed size in both directions: a new hint then only repaints
// its panel, where a label that may grow lays out the whole strip again on
// every hint, which a folder transfer gives for each file.
void StatusPanels::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (QLabel* label : m_panels)
        label->setFixedHeight(event->size().height());
}
