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

namespace {
constexpr int KeyRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int DetailsRole = Qt::UserRole + 2;

// A node keeps its text, key and image key as plain strings (the image keys
// shared between nodes) and the facts of its entry as numbers; the picture,
// the description that assistive technology reads and the details of the
// tooltip are derived when asked. Tens of thousands of nodes are then cheap
// to add and to remove.
class NodeItem final : public QTreeWidgetItem {
public:
    explicit NodeItem(const ServerTree::NewNode& node)
        : m_text(node.text), m_key(node.key), m_image(node.image), m_facts(node.facts)
    {
    }

    QVariant data(int column, int role) const override
    {
        if (column != 0)
            return QTreeWidgetItem::data(column, role);
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_text;
        case KeyRole:
            return m_key;
        case ImageRole:
        case Qt::AccessibleDescriptionRole:
            return m_image;
        case DetailsRole:
            return remote_tree::DetailsOf(m_facts);
        case Qt::DecorationRole: {
            const auto* tree = static_cast<const ServerTree*>(treeWidget());
            return tree ? QVariant(tree->icon(m_image)) : QVariant();
        }
        default:
            return QTreeWidgetItem::data(column, role);
        }
    }

    void setData(int column, int role, const QVariant& value) override
    {
        QString* field = column != 0                                         ? nullptr
                         : role == Qt::DisplayRole || role == Qt::EditRole ? &m_text
                         : role == KeyRole                                   ? &m_key
                         : role == ImageRole                                 ? &m_image
                                                                             : nullptr;
        if (!field) {
            QTreeWidgetItem::setData(column, role, value);
            return;
        }
        const QString text = value.toString();
        if (*field == text)
            return;
        *field = text;
        emitDataChanged();
    }

private:
    QString m_text;
    QString m_key;
    QString m_image;
    ServerTree::Facts m_facts;
};

}  // namespace

ServerTree::ServerTree(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
}

void ServerTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);  // a node's DblClick comes from here
    if (!itemAt(event->position().toPoint()))
        emit DblClick();
}

void ServerTree::focusInEvent(QFocusEvent* event)
{
    QTreeWidget::focusInEvent(event);
    if (event->reason() == Qt::MouseFocusReason || !selectedItems().isEmpty())
        return;
    if (Node* marked = currentItem() ? currentItem() : topLevelItem(0))
        setCurrentItem(marked);  // selects it too
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

ServerTree::Node* ServerTree::makeNode(const NewNode& n)
{
    // Everything is set before the node joins the tree: a change to a node
    // in the tree looks up its row, which in a long folder is a linear search.
    auto* node = new NodeItem(n);
    m_byKey.insert(n.key, node);
    setImageKey(node, n.image);
    return node;
}

ServerTree::Node* ServerTree::addNode(const QString& relativeKey, const QString& key, const QString& text,
                                      const QString& image)
{
    if (m_byKey.contains(key))
        return nullptr;
    Node* parent = nullptr;
    if (!relativeKey.isEmpty()) {
        parent = m_byKey.value(relativeKey);
        if (!parent)
            return nullptr;
    }
    Node* node = makeNode({key, text, image, {}});
    if (parent)
        parent->addChild(node);
    else
        addTopLevelItem(node);
    return node;
}

ServerTree::Node* ServerTree::addChildren(const QString& parentKey, qsizetype count,
                                          const std::function<NewNode(qsizetype)>& nodeAt)
{
    Node* parent = m_byKey.value(parentKey);
    if (!parent)
        return nullptr;
    QList<QTreeWidgetItem*> batch;
    batch.reserve(count);
    m_byKey.reserve(m_byKey.size() + count);
    for (qsizetype i = 0; i < count; ++i) {
        const NewNode n = nodeAt(i);
        if (!m_byKey.contains(n.key))
            batch.append(makeNode(n));
    }
    parent->addChildren(batch);
    return batch.isEmpty() ? nullptr : batch.last();
}

void ServerTree::forgetSubtree(Node* node)
{
    m_byKey.remove(key(node));
    for (int i = 0; i < node->childCount(); ++i)
        forgetSubtree(node->child(i));
}

bool ServerTree::removeNode(Node* node)
{
    if (!node)
        return false;
    // The only top-level node holds every node: forget them all at once.
    if (!node->parent() && topLevelItemCount() == 1)
        m_byKey.clear();
    else
        forgetSubtree(node);
    delete node;  // detaches it from its parent and deletes the subtree
    return true;
}

void ServerTree::removeChildren(Node* node)
{
    if (!node)
        return;
    const QList<QTreeWidgetItem*> children = node->takeChildren();
    for (QTreeWidgetItem* child : children) {
        forgetSubtree(child);
        delete child;
    }
}

bool ServerTree::removeNode(const QString& key) { return removeNode(m_byKey.value(key)); }

ServerTree::Node* ServerTree::selectedNode() const
{
    const QList<QTreeWidgetItem*> items = selectedItems();
    if (!items.isEmpty())
        return items.first();
    return nullptr;
}

QString ServerTree::key(const Node* node) { return node ? node->data(0, KeyRole).toString() : QString(); }
QString ServerTree::text(const Node* node) { return node ? node->text(0) : QString(); }

QString ServerTree::imageKey(const Node* node) const
{
    return node ? node->data(0, ImageRole).toString() : QString();
}

void ServerTree::setImageKey(Node* node, const QString& image)
{
    node->setData(0, ImageRole, image);
    // A folder tells assistive technology that it opens, and whether it is open.
    const bool open = image == QLatin1String("open");
    const bool folder = open || image == QLatin1String("closed");
    node->setChildIndicatorPolicy(folder ? Node::ShowIndicator : Node::DontShowIndicatorWhenChildless);
    if (folder)
        node->setExpanded(open);
}

QIcon ServerTree::icon(const QString& image) const { return m_images ? m_images->image(image) : QIcon(); }

ServerTree::Node* ServerTree::parentNode(const Node* node) { return node ? node->parent() : nullptr; }

ServerTree::Node* ServerTree::firstChild(const Node* node)
{
    return node && node->childCount() > 0 ? node->child(0) : nullptr;
}

ServerTree::Node* ServerTree::nextSibling(const Node* node)
{
    if (!node)
        return nullptr;
    const Node* parent = node->parent();
    if (!parent)
        return nullptr;  // the tree has a single top-level node
    const int index = parent->indexOfChild(const_cast<Node*>(node));
    return index + 1 < parent->childCount() ? parent->child(index + 1) : nullptr;
}

void ServerTree::ensureNodeVisible(Node* node)
{
    for (Node* up = node ? node->parent() : nullptr; up; up = up->parent())
        up->setExpanded(true);
    if (node)
        scrollToItem(node);
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
        QTreeWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    emit DblClick();
}

QString ServerTree::toolTipOf(const Node* node) const
{
    if (!node)
        return {};
    const QModelIndex index = indexFromItem(node);
    const int needed = visualRect(index).left() + sizeHintForIndex(index).width();
    const bool cut = needed > viewport()->width();
    const QString details = node->data(0, DetailsRole).toString();
    if (details.isEmpty())
        return cut ? node->text(0) : QString();
    return node->text(0) + u'\n' + details;
}

bool ServerTree::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QTreeWidgetItem* node = itemAt(help->pos());
    const QString tip = toolTipOf(node);
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport(), visualItemRect(node));
    return true;
}

void ServerTree::clearNodes()
{
    m_byKey.clear();
    clear();
}
