#include "local/FileListBox.h"

#include <QDir>

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileListBox::setPath(const QString& path)
{
    m_path = path;
    clear();
    refresh();
    setCurrentRow(-1);
}

QString FileListBox::list(int index) const
{
    const QListWidgetItem* entry = item(index);
    return entry ? entry->text() : QString();
}

QString FileListBox::fileName() const { return list(listIndex()); }

void FileListBox::refresh()
{
    const QString kept = fileName();
    const QSignalBlocker quiet(this);
    clear();
    if (m_path.isEmpty())
        return;
    addItems(QDir(m_path).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    const QList<QListWidgetItem*> again = findItems(kept, Qt::MatchExactly);
    setCurrentRow(kept.isEmpty() || again.isEmpty() ? -1 : row(again.first()));
}
