#include "local/FileListBox.h"

#include "local/LocalEntries.h"

#include <algorithm>

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

int FileListBox::listIndex() const
{
    const QList<QListWidgetItem*> highlighted = selectedItems();
    return highlighted.isEmpty() ? -1 : row(highlighted.first());
}

QString FileListBox::fileName() const { return list(listIndex()); }

void FileListBox::refresh()
{
    const QString kept = fileName();
    const QSignalBlocker quiet(this);
    clear();
    if (m_path.isEmpty())
        return;
    // Every file: dot files too, and names that are not UTF-8 in their shown form.
    QStringList names;
    for (const local::Entry& entry : local::ReadEntries(m_path)) {
        if (entry.kind == local::Entry::Kind::File)
            names.append(entry.name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    addItems(names);
    const QList<QListWidgetItem*> again = findItems(kept, Qt::MatchExactly);
    setCurrentRow(kept.isEmpty() || again.isEmpty() ? -1 : row(again.first()));
}
