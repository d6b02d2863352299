#pragma once
// The server tree control: nodes addressed by unique string keys, each with
// a text and an image key, added as last children and removed with their
// subtrees. The user cannot expand or collapse nodes; the program does.

#include <QHash>
#include <QTreeWidget>

#include <functional>

class ImageList;

class ServerTree : public QTreeWidget {
    Q_OBJECT
public:
    using Node = QTreeWidgetItem;

    // What a node's tooltip tells of its entry besides the text.
    struct Facts {
        qint64 size = -1;     // in bytes; -1 when not told (folders)
        quint64 changed = 0;  // time of change in 100 ns ticks since 1601, UTC; 0 when unknown
    };

    struct NewNode {
        QString key;
        QString text;
        QString image;
        Facts facts;
    };

    explicit ServerTree(QWidget* parent = nullptr);

    void setImageList(const ImageList* images);

    // Adds a node as last child of relativeKey (top level when empty).
    // Returns nullptr for an existing key or a missing relative.
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

    Node* node(const QString& key) const { return m_byKey.value(key); }
    bool contains(const QString& key) const { return m_byKey.contains(key); }
    int nodeCount() const { return int(m_byKey.size()); }
    Node* selectedNode() const;

    static QString key(const Node* node);
    static QString text(const Node* node);
    QString imageKey(const Node* node) const;
    void setImageKey(Node* node, const QString& image);
    // The picture of an image key in the attached image list.
    QIcon icon(const QString& image) const;
    static Node* parentNode(const Node* node);
    static Node* firstChild(const Node* node);
    static Node* nextSibling(const Node* node);
    // Expands every ancestor and scrolls the node into view.
    void ensureNodeVisible(Node* node);
    // The tooltip of a node: its whole text when the view cuts it off, and
    // its details; empty when there is nothing the row does not show.
    QString toolTipOf(const Node* node) const;

    // Removes every node.
    void clearNodes();

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
    Node* makeNode(const NewNode& node);
    void forgetSubtree(Node* node);

    const ImageList* m_images = nullptr;
    QHash<QString, Node*> m_byKey;
};
