#pragma once
// The file list: the names of all files in one directory, in their shown
// form (inet::ShownName).

#include <QListWidget>

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString& path);
    int listCount() const { return count(); }
    QString list(int index) const;
    // The highlighted file's index; -1 when none.
    int listIndex() const { return currentRow(); }
    void setListIndex(int index) { setCurrentRow(index); }
    // The highlighted file's name; empty when none.
    QString fileName() const;
    // Re-reads the directory, keeping the highlighted name where it still exists.
    void refresh();

private:
    QString m_path;
};
