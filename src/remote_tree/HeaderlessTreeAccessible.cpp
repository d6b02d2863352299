#include "remote_tree/HeaderlessTreeAccessible.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace remote_tree {
namespace {

// The row of index among all rows shown, counted from the top.
int shownRow(const QTreeView* tree, const QModelIndex& index)
{
    int row = 0;
    for (QModelIndex above = tree->indexAbove(index); above.isValid(); above = tree->indexAbove(above))
        ++row;
    return row;
}

// The toolkit's own description of the tree with its header left out: child
// i here is child i + 1 there. Its table is the toolkit's but for the
// selected rows and cells, which the toolkit gives by their place among
// their siblings. Everything else is the toolkit's.
class HeaderlessTree final : public QAccessibleInterface, public QAccessibleTableInterface {
public:
    explicit HeaderlessTree(QAccessibleInterface* toolkits)
        : m_inner(toolkits), m_innerId(QAccessible::uniqueId(toolkits))
    {
    }
    ~HeaderlessTree() override { QAccessible::deleteAccessibleInterface(m_innerId); }

    bool isValid() const override { return m_inner->isValid(); }
    QObject* object() const override { return m_inner->object(); }
    QWindow* window() const override { return m_inner->window(); }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override
    {
        return m_inner->relations(match);
    }
    QAccessibleInterface* focusChild() const override { return shown(m_inner->focusChild()); }
    QAccessibleInterface* childAt(int x, int y) const override { return shown(m_inner->childAt(x, y)); }
    QAccessibleInterface* parent() const override { return m_inner->parent(); }
    QAccessibleInterface* child(int index) const override
    {
        return index < 0 ? nullptr : m_inner->child(index + headerCells());
    }
    int childCount() const override { return m_inner->childCount() - headerCells(); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const int index = m_inner->indexOfChild(child) - headerCells();
        return index < 0 ? -1 : index;
    }
    QString text(QAccessible::Text t) const override { return m_inner->text(t); }
    void setText(QAccessible::Text t, const QString& text) override { m_inner->setText(t, text); }
    QRect rect() const override { return m_inner->rect(); }
    QAccessible::Role role() const override { return m_inner->role(); }
    QAccessible::State state() const override { return m_inner->state(); }
    QColor foregroundColor() const override { return m_inner->foregroundColor(); }
    QColor backgroundColor() const override { return m_inner->backgroundColor(); }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface && table())
            return static_cast<QAccessibleTableInterface*>(this);
        return m_inner->interface_cast(type);
    }

    QList<int> selectedRows() const override
    {
        QList<int> rows;
        const auto* tree = qobject_cast<const QTreeView*>(object());
        if (!tree || !tree->selectionModel())
            return rows;
        for (const QModelIndex& index : tree->selectionModel()->selectedRows())
            rows << shownRow(tree, index);
        return rows;
    }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (int row : selectedRows()) {
            for (int column = 0; column < columnCount(); ++column)
                cells << cellAt(row, column);
        }
        return cells;
    }
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QAccessibleInterface* caption() const override { return table()->caption(); }
    QAccessibleInterface* summary() const override { return table()->summary(); }
    QAccessibleInterface* cellAt(int row, int column) const override { return table()->cellAt(row, column); }
    QString columnDescription(int column) const override { return table()->columnDescription(column); }
    QString rowDescription(int row) const override { return table()->rowDescription(row); }
    int selectedColumnCount() const override { return table()->selectedColumnCount(); }
    int columnCount() const override { return table()->columnCount(); }
    int rowCount() const override { return table()->rowCount(); }
    QList<int> selectedColumns() const override { return table()->selectedColumns(); }
    bool isColumnSelected(int column) const override { return table()->isColumnSelected(column); }
    bool isRowSelected(int row) const override { return table()->isRowSelected(row); }
    bool selectRow(int row) override { return table()->selectRow(row); }
    bool selectColumn(int column) override { return table()->selectColumn(column); }
    bool unselectRow(int row) override { return table()->unselectRow(row); }
    bool unselectColumn(int column) override { return table()->unselectColumn(column); }
    void modelChange(QAccessibleTableModelChangeEvent* event) override { table()->modelChange(event); }

private:
    QAccessibleTableInterface* table() const { return m_inner->tableInterface(); }

    int headerCells() const
    {
        QAccessibleInterface* first = m_inner->childCount() > 0 ? m_inner->child(0) : nullptr;
        return first && first->role() == QAccessible::ColumnHeader ? 1 : 0;
    }
    static QAccessibleInterface* shown(QAccessibleInterface* child)
    {
        return child && child->role() == QAccessible::ColumnHeader ? nullptr : child;
    }

    QAccessibleInterface* m_inner;
    QAccessible::Id m_innerId;
};

}  // namespace

QAccessibleInterface* DescribeServerTree(const QString& className, QObject* object)
{
    static bool askingTheToolkit = false;
    if (askingTheToolkit || className != QLatin1String("ServerTree") || !qobject_cast<QTreeView*>(object))
        return nullptr;
    // Asked again from here, this factory steps aside and the toolkit's
    // description of a tree view answers.
    askingTheToolkit = true;
    QAccessibleInterface* toolkits = QAccessible::queryAccessibleInterface(object);
    askingTheToolkit = false;
    return toolkits ? new HeaderlessTree(toolkits) : nullptr;
}

void AnnounceRow(QTreeView* tree, const QModelIndex& index, QAccessible::Event event)
{
    if (!QAccessible::isActive() || !index.isValid())
        return;
    QAccessibleEvent changed(tree, event);
    changed.setChild(shownRow(tree, index) * tree->model()->columnCount() + index.column());
    QAccessible::updateAccessibility(&changed);
}

}  // namespace remote_tree
