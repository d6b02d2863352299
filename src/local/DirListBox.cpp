#include "local/DirListBox.h"

#include "local/LocalEntries.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { setListIndex(indexOfRow(row(item))); });
    // The highlight the commands use is the one the user sees, however it moved.
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            m_listIndex = indexOfRow(row);
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { openRow(row(item)); });
}

void DirListBox::openRow(int row)
{
    const QString target = list(indexOfRow(row));
    if (!target.isEmpty())
        setPath(target);
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        event->accept();
        openRow(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

bool DirListBox::setPath(const QString& path)
{
    // By its bytes: a folder's name need not be UTF-8 (paths are shown paths).
    const QByteArray bytes = local::PathBytes(path);
    struct stat info {};
    if (path.isEmpty() || ::stat(bytes.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        ::access(bytes.constData(), R_OK | X_OK) != 0)
        return false;
    const QString cleaned = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const bool moved = cleaned != m_path;
    m_path = cleaned;
    fill();
    if (moved)
        emit Change();
    return true;
}

void DirListBox::refresh()
{
    if (!m_path.isEmpty())
        fill();
}

void DirListBox::fill()
{
    m_ancestors.clear();
    for (QString dir = m_path;;) {
        m_ancestors.prepend(dir);
        if (dir == QLatin1String("/"))
            break;
        const qsizetype slash = dir.lastIndexOf(u'/');
        dir = slash <= 0 ? QStringLiteral("/") : dir.left(slash);
    }
    m_subdirs.clear();
    for (const local::Entry& entry : local::ReadEntries(m_path)) {
        const bool folder = entry.kind == local::Entry::Kind::Folder || entry.kind == local::Entry::Kind::LinkedFolder;
        if (folder && !entry.name.startsWith(u'.'))
            m_subdirs.append(entry.name);
    }
    std::sort(m_subdirs.begin(), m_subdirs.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QSignalBlocker quiet(this);
    clear();
    for (int i = 0; i < m_ancestors.size(); ++i) {
        const QString name = i == 0 ? QStringLiteral("/") : QFileInfo(m_ancestors[i]).fileName();
        addItem(new QListWidgetItem(open, QString(i * 2, ' ') + name));
    }
    const QString indent(int(m_ancestors.size()) * 2, ' ');
    for (const QString& name : m_subdirs)
        addItem(new QListWidgetItem(closed, indent + name));
    m_listIndex = -1;
    setCurrentRow(rowOfIndex(-1));
}

int DirListBox::rowOfIndex(int index) const { return int(m_ancestors.size()) + index; }
int DirListBox::indexOfRow(int row) const { return row - int(m_ancestors.size()); }

void DirListBox::setListIndex(int index)
{
    if (list(index).isEmpty())
        return;
    m_listIndex = index;
    const QSignalBlocker quiet(this);
    setCurrentRow(rowOfIndex(index));
}

QString DirListBox::list(int index) const
{
    if (index < 0) {
        const int at = int(m_ancestors.size()) + index;  // -1 is the last ancestor
        return at >= 0 && at < m_ancestors.size() ? m_ancestors[at] : QString();
    }
    if (index >= m_subdirs.size())
        return QString();
    const QString parent = m_path == QLatin1String("/") ? QString() : m_path;
    return parent + '/' + m_subdirs[index];
}
