#pragma once
// The server tree control: nodes addressed by unique string keys, each with
// a text and an image key, added as last children and removed with their
// subtrees. A child's key is its parent's key, "/" and the child's name; a
// node's text is its key unless it was given another. The user cannot
// expand or collapse nodes; the program does.

#include <QHash>
#include <QList>
#include <QStringList>
#include <QTreeView>

#include <functional>
#include <memory>

class ImageList;
class ServerTreeModel;

// What a node's tooltip tells of its entry besides the text.
struct ServerTreeFacts {
    qint64 size = -1;     // in bytes; -1 when not told (folders)
    quint64 changed = 0;  // time of change in 100 ns ticks since 1601, UTC; 0 when unknown
};

// One node. It keeps only its name, its place and the facts of its entry,
// so that a folder of tens of thousands of entries stays small; its key is
// put together when asked.
class ServerTreeNode {
public:
    ServerTreeNode(const ServerTreeNode&) = delete;
    ServerTreeNode& operator=(const ServerTreeNode&) = delete;
    ~ServerTreeNode();

    int childCount() const { return m_children ? int(m_children->size()) : 0; }
    ServerTreeNode* child(int index) const { return m_children ? m_children->value(index) : nullptr; }
    ServerTreeNode* parent() const { return m_parent; }

private:
    friend class ServerTree;
    friend class ServerTreeModel;
    ServerTreeNode(const QString& name, ServerTreeNode* parent, quint8 image, const ServerTreeFacts& facts)
        : m_name(name), m_parent(parent), m_facts(facts), m_image(image)
    {
    }

    QString m_name;  // a top-level node's whole key
    ServerTreeNode* m_parent;
    // Owned; most nodes are files and never have a list.
    std::unique_ptr<QList<ServerTreeNode*>> m_children;
    ServerTreeFacts m_facts;
    int m_row = 0;  // its place among its parent's children
    quint8 m_image;  // index into the tree's image keys
    bool m_ownText = false;  // shown with a text other than its key
};

class ServerTree : public QTreeView {
    Q_OBJECT
public:
    using Node = ServerTreeNode;
    using Facts = ServerTreeFacts;

    // A child to add: its name (the last part of its key) and image key.
    struct NewNode {
        QString name;
        QString image;
        Facts facts;
    };

    explicit ServerTree(QWidget* parent = nullptr);

    void setImageList(const ImageList* images);

    // Adds a node as last child of relativeKey (top level when empty).
    // Returns nullptr for an existing key, a missing relative, or a key that
    // is not relativeKey, "/" and a name without "/".
    Node* addNode(const QString& relativeKey, const QString& key, const QString& text, const QString& image);
    // Adds count children made one by one by nodeAt(0 ... count - 1), in one
    // insertion; entries whose key exists are skipped. Returns the last node
    // added, or nullptr.
    Node* addChildren(const QString& parentKey, qsizetype count, const std::function<NewNode(qsizetype)>& nodeAt);
    // Removes a node and its whole subtree; false when there is no such node.
    bool removeNode(const QString& key);
    bool removeNode(Node* node);
    // Removes every child of a node, each with its subtree, in one step.
    void removeChildren(Node* node);

    Node* node(const QString& key) const;
    bool contains(const QString& key) const { return node(key) != nullptr; }
    int nodeCount() const;
    int topLevelCount() const;
    Node* selectedNode() const;
    // Makes a node the current one and selects it; nullptr clears both.
    void setCurrentNode(Node* node);
    Node* nodeAt(const QPoint& point) const;
    QRect nodeRect(const Node* node) const;
    QModelIndex indexOf(const Node* node) const;
    bool isNodeExpanded(const Node* node) const { return isExpanded(indexOf(node)); }

    static QString key(const Node* node);
    static QString text(const Node* node);
    QString imageKey(const Node* node) const;
    void setImageKey(Node* node, const QString& image);
    // The picture of an image key in the attached image list.
    QIcon icon(const QString& image) const;
    static Node* parentNode(const Node* node) { return node ? node->m_parent : nullptr; }
    // Expands every ancestor and scrolls the node into view.
    void ensureNodeVisible(Node* node);
    // The tooltip of a node: its whole text when the view cuts it off, and
    // its details; empty when there is nothing the row does not show.
    QString toolTipOf(const Node* node) const;

signals:
    void DblClick();

protected:
    // A double-click anywhere on the tree, the empty area too, is a DblClick.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // No expander buttons: folders open and close only through the program.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
    // Enter acts as a double-click; Right or + on a closed folder and Left
    // or - on an open one do the same, as tree users expect.
    void keyPressEvent(QKeyEvent* event) override;
    // Reached from the keyboard with nothing selected, the tree selects the
    // node it marks, as tree controls do, so that Enter has a node to open.
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // Focus and selection changes are announced with rows numbered as the
    // tree's accessible description numbers them, without the hidden header.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    static Node* nodeOf(const QModelIndex& index);

    const ImageList* m_images = nullptr;
    ServerTreeModel* m_model;
};
