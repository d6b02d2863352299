#pragma once
// What assistive technology is told about the server tree: its folders and
// files, and not the column header the tree never shows. The toolkit lists
// a tree's header as its first child even when it is hidden, and numbers the
// rows from it in the events it sends; the tree sends its own focus and
// selection events instead, numbered as this description numbers them. Asked
// which rows are selected, the toolkit answers with a row's place among its
// siblings; here the answer is the row as shown.

#include <QAccessible>

class QTreeView;
class QModelIndex;

namespace remote_tree {

// The description of a ServerTree for QAccessible::installFactory.
QAccessibleInterface* DescribeServerTree(const QString& className, QObject* object);

// Tells assistive technology about a focus or selection change of `index`.
void AnnounceRow(QTreeView* tree, const QModelIndex& index, QAccessible::Event event);

}  // namespace remote_tree
