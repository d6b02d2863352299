#include "remote_tree/ServerTree.h"

#include "app/ImageList.h"
#include "remote_tree/HeaderlessTreeAccessible.h"
#include "remote_tree/Listing.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <vector>

namespace {

bool isFolderImage(QStringView image) { return image == u"open" || image == u"closed"; }

// Texts of the nodes shown with a text other than their key: none, as this
// program adds them, so none costs a node anything.
QHash<const ServerTreeNode*, QString>& ownTexts()
{
    static QHash<const ServerTreeNode*, QString> texts;
    return texts;
}

}  // namespace

ServerTreeNode::~ServerTreeNode()
{
    if (m_ownText)
        ownTexts().remove(this);
    if (m_children)
        qDeleteAll(*m_children);
}

// The nodes, and the item model through which the view shows them: one
// row per node, the node itself in the index. A node is found by walking
// the parts of its key through the children of each folder on the way: the
// commands look up a few nodes each, and an index of every node cost a
// folder of 30,000 entries more than a megabyte.
class ServerTreeModel final : public QAbstractItemModel {
public:
    using Node = ServerTreeNode;

    explicit ServerTreeModel(ServerTree* tree) : QAbstractItemModel(tree), m_tree(tree) {}
    ~ServerTreeModel() override { qDeleteAll(m_roots); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override
    {
        const QList<Node*>& list = children(parent);
        return column == 0 && row >= 0 && row < list.size() ? createIndex(row, 0, list[row]) : QModelIndex();
    }
    QModelIndex parent(const QModelIndex& child) const override
    {
        const Node* node = nodeOf(child);
        return node && node->m_parent ? indexOf(node->m_parent) : QModelIndex();
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.column() > 0 ? 0 : int(children(parent).size());
    }
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    // A folder can be opened even while it has no children.
    bool hasChildren(const QModelIndex& parent = {}) const override
    {
        const Node* node = nodeOf(parent);
        return rowCount(parent) > 0 || (node && isFolderImage(imageKey(node)));
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_tree->accessibleName();
        return {};
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const Node* node = nodeOf(index);
        if (!node)
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return ServerTree::text(node);
        case Qt::DecorationRole:
            return m_tree->icon(imageKey(node));
        case Qt::AccessibleDescriptionRole:
            return imageKey(node);
        default:
            return {};
        }
    }

    static Node* nodeOf(const QModelIndex& index) { return static_cast<Node*>(index.internalPointer()); }
    QModelIndex indexOf(const Node* node) const
    {
        return node ? createIndex(node->m_row, 0, const_cast<Node*>(node)) : QModelIndex();
    }
    const QList<Node*>& roots() const { return m_roots; }
    int nodeCount() const { return m_count; }

    Node* find(const QString& key) const
    {
        for (Node* root : m_roots) {
            if (!key.startsWith(root->m_name))
                continue;
            if (key.size() == root->m_name.size())
                return root;
            if (key.at(root->m_name.size()) != u'/')
                continue;
            Node* at = root;
            QStringView rest = QStringView(key).mid(root->m_name.size() + 1);
            while (at) {
                const qsizetype slash = rest.indexOf(u'/');
                at = childNamed(at, slash < 0 ? rest : rest.left(slash));
                if (slash < 0)
                    return at;
                rest = rest.mid(slash + 1);
            }
        }
        return nullptr;
    }

    QString imageKey(const Node* node) const { return m_imageKeys.value(node->m_image); }
    quint8 imageIndex(const QString& image)
    {
        qsizetype index = m_imageKeys.indexOf(image);
        if (index < 0) {
            index = m_imageKeys.size();
            m_imageKeys.append(image);
        }
        return quint8(index);
    }
    void setImage(Node* node, const QString& image)
    {
        const quint8 index = imageIndex(image);
        if (node->m_image == index)
            return;
        node->m_image = index;
        const QModelIndex at = indexOf(node);
        emit dataChanged(at, at);
    }

    // Adds nodes made by nodeAt under parent (top level when null); the
    // ones whose name is there already, or is no name, are left out.
    Node* add(Node* parent, qsizetype count, const std::function<ServerTree::NewNode(qsizetype)>& nodeAt)
    {
        QList<Node*> batch;
        batch.reserve(count);
        {
            SiblingNames taken(childrenOf(parent).size() + count);
            for (const Node* sibling : childrenOf(parent))
                taken.add(sibling);
            for (qsizetype i = 0; i < count; ++i) {
                const ServerTree::NewNode made = nodeAt(i);
                if (made.name.isEmpty() || (parent && made.name.contains(u'/')))
                    continue;
                auto* node = new Node(made.name, parent, imageIndex(made.image), made.facts);
                if (taken.add(node))
                    batch.append(node);
                else
                    delete node;
            }
        }
        if (batch.isEmpty())
            return nullptr;
        m_count += int(batch.size());
        QList<Node*>& list = childList(parent);
        const int first = int(list.size());
        list.reserve(list.size() + batch.size());
        beginInsertRows(indexOf(parent), first, first + int(batch.size()) - 1);
        for (Node* node : batch) {
            node->m_row = int(list.size());
            list.append(node);
        }
        endInsertRows();
        return batch.last();
    }

    void remove(Node* node)
    {
        QList<Node*>& list = childList(node->m_parent);
        beginRemoveRows(indexOf(node->m_parent), node->m_row, node->m_row);
        m_count -= subtreeSize(node);
        list.removeAt(node->m_row);
        for (qsizetype row = node->m_row; row < list.size(); ++row)
            list[row]->m_row = int(row);
        delete node;
        endRemoveRows();
    }

    void removeChildren(Node* node)
    {
        if (node->childCount() == 0)
            return;
        beginRemoveRows(indexOf(node), 0, node->childCount() - 1);
        const std::unique_ptr<QList<Node*>> children = std::move(node->m_children);
        for (Node* child : *children)
            m_count -= subtreeSize(child);
        qDeleteAll(*children);
        endRemoveRows();
    }

private:
    // The names among one folder's children while a batch goes in: a flat
    // table in one block, so that nothing of it stays between the nodes.
    class SiblingNames {
    public:
        explicit SiblingNames(qsizetype expected) : m_slots(qNextPowerOfTwo(quint64(expected) * 2 + 1), nullptr) {}
        // Takes a node unless one of its name is there; false then.
        bool add(const Node* node)
        {
            const size_t mask = m_slots.size() - 1;
            for (size_t i = qHash(node->m_name) & mask;; i = (i + 1) & mask) {
                if (!m_slots[i]) {
                    m_slots[i] = node;
                    return true;
                }
                if (m_slots[i]->m_name == node->m_name)
                    return false;
            }
        }

    private:
        std::vector<const Node*> m_slots;
    };

    const QList<Node*>& children(const QModelIndex& parent) const { return childrenOf(nodeOf(parent)); }
    const QList<Node*>& childrenOf(const Node* node) const
    {
        static const QList<Node*> none;
        return !node ? m_roots : node->m_children ? *node->m_children : none;
    }
    Node* childNamed(const Node* parent, QStringView name) const
    {
        for (Node* child : childrenOf(parent)) {
            if (child->m_name == name)
                return child;
        }
        return nullptr;
    }
    int subtreeSize(const Node* node) const
    {
        int size = 1;
        for (const Node* child : childrenOf(node))
            size += subtreeSize(child);
        return size;
    }
    QList<Node*>& childList(Node* parent)
    {
        if (!parent)
            return m_roots;
        if (!parent->m_children)
            parent->m_children = std::make_unique<QList<Node*>>();
        return *parent->m_children;
    }

    ServerTree* m_tree;
    QList<Node*> m_roots;
    int m_count = 0;
    QStringList m_imageKeys{QString()};
};

ServerTree::ServerTree(QWidget* parent) : QTreeView(parent), m_model(new ServerTreeModel(this))
{
    setModel(m_model);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeView::doubleClicked, this, [this] { emit DblClick(); });
}

void ServerTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);  // a node's DblClick comes from here
    if (!indexAt(event->position().toPoint()).isValid())
        emit DblClick();
}

void ServerTree::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    if (event->reason() == Qt::MouseFocusReason || selectedNode())
        return;
    const QModelIndex marked = currentIndex().isValid() ? currentIndex() : m_model->index(0, 0);
    if (marked.isValid())
        setCurrentIndex(marked);  // selects it too
}

void ServerTree::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);  // the tree view's own adds only its announcement
    if (hasFocus())
        remote_tree::AnnounceRow(this, current, QAccessible::Focus);
}

void ServerTree::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);  // likewise
    remote_tree::AnnounceRow(this, selected.indexes().value(0), QAccessible::SelectionAdd);
    remote_tree::AnnounceRow(this, deselected.indexes().value(0), QAccessible::SelectionRemove);
}

void ServerTree::setImageList(const ImageList* images)
{
    m_images = images;
    viewport()->update();
}

ServerTree::Node* ServerTree::nodeOf(const QModelIndex& index) { return ServerTreeModel::nodeOf(index); }

QModelIndex ServerTree::indexOf(const Node* node) const { return m_model->indexOf(node); }

ServerTree::Node* ServerTree::node(const QString& key) const { return m_model->find(key); }

int ServerTree::nodeCount() const { return m_model->nodeCount(); }

int ServerTree::topLevelCount() const { return int(m_model->roots().size()); }

ServerTree::Node* ServerTree::addNode(const QString& relativeKey, const QString& key, const QString& text,
                                      const QString& image)
{
    if (contains(key))
        return nullptr;
    Node* parent = nullptr;
    QString name = key;
    if (!relativeKey.isEmpty()) {
        parent = node(relativeKey);
        if (!parent || !key.startsWith(relativeKey + u'/'))
            return nullptr;
        name = key.mid(relativeKey.size() + 1);
    }
    Node* added = m_model->add(parent, 1, [&](qsizetype) { return NewNode{name, image, {}}; });
    if (!added)
        return nullptr;
    if (text != key) {
        added->m_ownText = true;
        ownTexts().insert(added, text);
    }
    setImageKey(added, image);
    return added;
}

ServerTree::Node* ServerTree::addChildren(const QString& parentKey, qsizetype count,
                                          const std::function<NewNode(qsizetype)>& nodeAt)
{
    Node* parent = node(parentKey);
    return parent ? m_model->add(parent, count, nodeAt) : nullptr;
}

bool ServerTree::removeNode(Node* node)
{
    if (!node)
        return false;
    m_model->remove(node);
    return true;
}

void ServerTree::removeChildren(Node* node)
{
    if (node)
        m_model->removeChildren(node);
}

bool ServerTree::removeNode(const QString& key) { return removeNode(node(key)); }

ServerTree::Node* ServerTree::selectedNode() const
{
    return selectionModel() ? nodeOf(selectionModel()->selectedIndexes().value(0)) : nullptr;
}

void ServerTree::setCurrentNode(Node* node)
{
    selectionModel()->setCurrentIndex(indexOf(node),
                                      node ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Clear);
}

ServerTree::Node* ServerTree::nodeAt(const QPoint& point) const { return nodeOf(indexAt(point)); }

QRect ServerTree::nodeRect(const Node* node) const { return node ? visualRect(indexOf(node)) : QRect(); }

QString ServerTree::key(const Node* node)
{
    if (!node)
        return {};
    qsizetype size = -1;
    for (const Node* up = node; up; up = up->m_parent)
        size += up->m_name.size() + 1;
    QString key(size, Qt::Uninitialized);
    QChar* end = key.data() + size;
    for (const Node* up = node; up; up = up->m_parent) {
        end -= up->m_name.size();
        std::copy(up->m_name.cbegin(), up->m_name.cend(), end);
        if (up->m_parent)
            *--end = u'/';
    }
    return key;
}

QString ServerTree::text(const Node* node)
{
    return node && node->m_ownText ? ownTexts().value(node) : key(node);
}

QString ServerTree::imageKey(const Node* node) const { return node ? m_model->imageKey(node) : QString(); }

void ServerTree::setImageKey(Node* node, const QString& image)
{
    m_model->setImage(node, image);
    // A folder tells assistive technology that it opens, and whether it is open.
    if (isFolderImage(image))
        setExpanded(indexOf(node), image == QLatin1String("open"));
}

QIcon ServerTree::icon(const QString& image) const { return m_images ? m_images->image(image) : QIcon(); }

void ServerTree::ensureNodeVisible(Node* node)
{
    for (Node* up = parentNode(node); up; up = up->m_parent)
        expand(indexOf(up));
    if (node)
        scrollTo(indexOf(node));
}

void ServerTree::keyPressEvent(QKeyEvent* event)
{
    const QString image = imageKey(selectedNode());
    bool opens = false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        opens = true;
        break;
    case Qt::Key_Right:
    case Qt::Key_Plus:
        opens = image == QLatin1String("closed");
        break;
    case Qt::Key_Left:
    case Qt::Key_Minus:
        opens = image == QLatin1String("open");
        break;
    default:
        break;
    }
    if (!opens) {
        QTreeView::keyPressEvent(event);
        return;
    }
    event->accept();
    emit DblClick();
}

QString ServerTree::toolTipOf(const Node* node) const
{
    if (!node)
        return {};
    const QModelIndex index = indexOf(node);
    const int needed = visualRect(index).left() + sizeHintForIndex(index).width();
    const bool cut = needed > viewport()->width();
    const QString text = ServerTree::text(node);
    const QString details = remote_tree::DetailsOf(node->m_facts);
    if (details.isEmpty())
        return cut ? text : QString();
    return text + u'\n' + details;
}

bool ServerTree::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const Node* node = nodeAt(help->pos());
    const QString tip = toolTipOf(node);
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport(), nodeRect(node));
    return true;
}
