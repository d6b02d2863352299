#pragma once
// The two-panel status bar: plain labels in sunken frames side by side, so
// that each panel has exactly its width and its text is readable by
// assistive technology.

#include <QWidget>

class QFrame;
class QLabel;

class StatusPanels : public QWidget {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    // Panels are numbered from 1.
    QLabel* panel(int index) const;
    QString text(int index) const;
    void setText(int index, const QString& text);
    int width(int index) const;
    void setWidth(int index, int pixels);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QFrame* m_frames[2];  // the sunken border around each label
    QLabel* m_panels[2];
};
