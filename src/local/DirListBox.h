#pragma once
// The directory list: the open directory (index -1), its ancestors up to
// "/" (-2, -3, ...) and its subdirectories (0, 1, ...). A single click or
// the arrow keys highlight an entry; a double-click or Enter opens it.

#include <QListWidget>

class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Opens a directory; false (and nothing changes) when it cannot be read.
    bool setPath(const QString& path);
    // The highlighted entry's index; -1 is the open directory.
    int listIndex() const { return m_listIndex; }
    void setListIndex(int index);
    // Full path of the entry at an index; empty when there is none.
    QString list(int index) const;
    int listCount() const { return int(m_subdirs.size()); }
    // The full path of the highlighted entry.
    QString highlightedPath() const { return list(m_listIndex); }
    // Re-reads the open directory; the highlight returns to it.
    void refresh();

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openRow(int row);
    void fill();
    int rowOfIndex(int index) const;
    int indexOfRow(int row) const;

    QString m_path;
    QStringList m_ancestors;  // from "/" down to the open directory itself
    QStringList m_subdirs;    // names
    int m_listIndex = -1;
};
