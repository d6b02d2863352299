#pragma once
// The two-panel status bar: plain labels in sunken frames side by side, so
// that each panel has exactly its width and its text is readable by
// assistive technology.

#include <QElapsedTimer>
#include <QTimer>
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
    // Sets the text and paints it at once, unless a hint was painted less
    // than a screen frame ago: then it is painted within the frame, from the
    // event loop or from paintPending(). A folder walk gives a hint for each
    // file, far more than a screen shows.
    void showHint(int index, const QString& text);
    // Paints a hint still waiting for its frame; called while work blocks
    // the event loop.
    void paintPending();
    int width(int index) const;
    void setWidth(int index, int pixels);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static int slot(int index) { return index == 2 ? 1 : 0; }

    QFrame* m_frames[2];  // the sunken border around each label
    QLabel* m_panels[2];
    QElapsedTimer m_sincePaint;  // since a hint was last painted
    QTimer m_pending;            // a hint waiting for its frame
};
