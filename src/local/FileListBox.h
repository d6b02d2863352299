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
    // The highlighted file's index; -1 when none. Only a highlight chooses a
    // file: focus arriving by Tab puts the current row on the first file
    // without highlighting it.
    int listIndex() const;
    void setListIndex(int index) { setCurrentRow(index); }
    // The highlighted file's name; empty when none.
    QString fileName() const;
    // Re-reads the directory, keeping the highlighted name where it still exists.
    void refresh();

private:
    QString m_path;
};
