#pragma once

#include <QHash>
#include <QTreeWidget>
#include <QVariant>

#include <memory>

// A keyed tree, as hosts of the desktop tree widget use it:
//
//     vq::TreeView tree;
//     tree.Nodes().Add({}, vq::TreeNodes::tvwLast, "fruit", "Fruit");          // a top-level node
//     tree.Nodes().Add("fruit", vq::TreeNodes::tvwChild, "apple", "Apple");    // its last child
//     connect(&tree, &vq::TreeView::NodeClick, [](vq::TreeNode n) { use(n.Text()); });
//     connect(&tree, &vq::TreeView::KeyPress, [](short &KeyAscii) { if (KeyAscii == 13) ...; });
//
// Keys are case-sensitive and unique in the whole tree; a key lookup is a hash lookup, so building and
// searching large trees stays linear in the number of nodes.

namespace vq {

// A node of a TreeView. A handle: it stays valid while its node is in the tree, and a default-made one
// is the null node (no selection, no parent).
class TreeNode
{
public:
    TreeNode() = default;
    explicit TreeNode(QTreeWidgetItem *item)
        : m_item(item)
    { }

    bool isNull() const { return m_item == nullptr; }
    QString Key() const;
    QString Text() const;
    void setText(const QString &text);
    // The node this one hangs from; null for a top-level node.
    TreeNode Parent() const;
    // The number of direct children.
    int Children() const;
    // The direct child at a 0-based position; null past the end.
    TreeNode Child(int index) const;

    QTreeWidgetItem *item() const { return m_item; }
    bool operator==(const TreeNode &other) const = default;

private:
    QTreeWidgetItem *m_item = nullptr;
};

class TreeView;

// The node collection of a TreeView: adds, finds and removes nodes by key.
class TreeNodes
{
public:
    // Where Add places the new node, relative to the relative node.
    enum Relationship {
        tvwFirst = 0, // first among the relative's siblings (first top-level node without a relative)
        tvwLast = 1, // last among the relative's siblings (last top-level node without a relative)
        tvwNext = 2, // right after the relative
        tvwPrevious = 3, // right before the relative
        tvwChild = 4, // last child of the relative
    };

    // Adds a node with the key and text. relative is the key (a text) of an existing node, or an invalid
    // variant for none; without a relative the node is top-level, first for tvwFirst and last for every other
    // relationship. An empty key gives a node that cannot be found by key; an empty relative key finds none.
    // Errors (nothing is added then): 35602 the key is already in the tree; 35601 no node has the relative
    // key; 5 a relationship outside 0 to 4.
    TreeNode Add(const QVariant &relative, int relationship, const QString &key, const QString &text);

    // The number of nodes in the whole tree.
    int Count() const;
    // The node with the key; error 35601 when there is none.
    TreeNode Item(const QString &key) const;
    bool contains(const QString &key) const;
    // Removes the node with the key and every node under it; error 35601 when there is none.
    void Remove(const QString &key);
    void Clear();

private:
    friend class TreeView;
    explicit TreeNodes(TreeView *view)
        : m_view(view)
    { }
    void forget(QTreeWidgetItem *item);

    TreeView *m_view;
    QHash<QString, QTreeWidgetItem *> m_byKey;
    int m_count = 0;
};

// A one-column tree of keyed nodes over QTreeWidget, without a header.
class TreeView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TreeView(QWidget *parent = nullptr);
    ~TreeView() override;

    TreeNodes &Nodes();
    const TreeNodes &Nodes() const;

    // The selected node (the one last clicked or moved to); null when none is.
    TreeNode SelectedItem() const;
    void setSelectedItem(const TreeNode &node);

Q_SIGNALS:
    // The user picked a node: a mouse click on it, or a move onto it with the keyboard. Not raised when the
    // program changes the selection.
    void NodeClick(vq::TreeNode node);
    // A character typed in the tree (8 BACKSPACE, 13 ENTER, letters ...), before the tree acts on it; the
    // handler may change it, and 0 discards it.
    void KeyPress(short &KeyAscii);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TreeNodes m_nodes;
};

} // namespace vq
