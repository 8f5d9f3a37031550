#include "platform/TreeView.h"

#include "platform/Error.h"
#include "platform/KeyCodes.h"

#include <QKeyEvent>

namespace vq {

namespace {
// The key lives in the item itself: a role in the item's data would cost a variant per node.
class KeyedItem : public QTreeWidgetItem
{
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 0x5651;
    KeyedItem(const QString &text, const QString &key)
        : QTreeWidgetItem(QStringList(text), Type)
        , key(key)
    { }
    const QString key;
};

QString keyOf(const QTreeWidgetItem *item)
{
    return item && item->type() == KeyedItem::Type ? static_cast<const KeyedItem *>(item)->key : QString();
}

int nodesIn(const QTreeWidgetItem *item)
{
    int n = 1;
    for (int i = 0; i < item->childCount(); ++i)
        n += nodesIn(item->child(i));
    return n;
}
} // namespace

QString TreeNode::Key() const
{
    return keyOf(m_item);
}

QString TreeNode::Text() const
{
    return m_item ? m_item->text(0) : QString();
}

void TreeNode::setText(const QString &text)
{
    if (!m_item)
        throw Error(Error::InvalidProcedureCall);
    m_item->setText(0, text);
}

TreeNode TreeNode::Parent() const
{
    return TreeNode(m_item ? m_item->parent() : nullptr);
}

int TreeNode::Children() const
{
    return m_item ? m_item->childCount() : 0;
}

TreeNode TreeNode::Child(int index) const
{
    return TreeNode(m_item ? m_item->child(index) : nullptr);
}

TreeNode TreeNodes::Add(const QVariant &relative, int relationship, const QString &key, const QString &text)
{
    if (relationship < tvwFirst || relationship > tvwChild)
        throw Error(Error::InvalidProcedureCall);
    if (!key.isEmpty() && m_byKey.contains(key))
        throw Error(Error::KeyNotUnique);
    QTreeWidgetItem *anchor = nullptr;
    if (relative.isValid()) {
        anchor = m_byKey.value(relative.toString());
        if (!anchor)
            throw Error(Error::ElementNotFound);
    }

    auto *item = new KeyedItem(text, key);
    if (!anchor) {
        if (relationship == tvwFirst)
            m_view->insertTopLevelItem(0, item);
        else
            m_view->addTopLevelItem(item);
    } else if (relationship == tvwChild) {
        anchor->addChild(item);
    } else {
        // A sibling of the relative: under its parent, or among the top-level nodes.
        QTreeWidgetItem *parent = anchor->parent();
        const int count = parent ? parent->childCount() : m_view->topLevelItemCount();
        int at = count;
        if (relationship == tvwFirst)
            at = 0;
        else if (relationship == tvwNext || relationship == tvwPrevious) {
            const int index = parent ? parent->indexOfChild(anchor) : m_view->indexOfTopLevelItem(anchor);
            at = relationship == tvwNext ? index + 1 : index;
        }
        if (parent)
            parent->insertChild(at, item);
        else
            m_view->insertTopLevelItem(at, item);
    }
    if (!key.isEmpty())
        m_byKey.insert(key, item);
    ++m_count;
    return TreeNode(item);
}

int TreeNodes::Count() const
{
    return m_count;
}

TreeNode TreeNodes::Item(const QString &key) const
{
    QTreeWidgetItem *item = m_byKey.value(key);
    if (!item)
        throw Error(Error::ElementNotFound);
    return TreeNode(item);
}

bool TreeNodes::contains(const QString &key) const
{
    return m_byKey.contains(key);
}

void TreeNodes::forget(QTreeWidgetItem *item)
{
    const QString key = keyOf(item);
    if (!key.isEmpty())
        m_byKey.remove(key);
    for (int i = 0; i < item->childCount(); ++i)
        forget(item->child(i));
}

void TreeNodes::Remove(const QString &key)
{
    QTreeWidgetItem *item = m_byKey.value(key);
    if (!item)
        throw Error(Error::ElementNotFound);
    m_count -= nodesIn(item);
    forget(item);
    delete item;
}

void TreeNodes::Clear()
{
    m_view->QTreeWidget::clear();
    m_byKey.clear();
    m_count = 0;
}

TreeView::TreeView(QWidget *parent)
    : QTreeWidget(parent)
    , m_nodes(this)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QTreeWidget::itemClicked, this,
        [this](QTreeWidgetItem *item) { Q_EMIT NodeClick(TreeNode(item)); });
}

TreeView::~TreeView() = default;

TreeNodes &TreeView::Nodes()
{
    return m_nodes;
}

const TreeNodes &TreeView::Nodes() const
{
    return m_nodes;
}

TreeNode TreeView::SelectedItem() const
{
    return TreeNode(currentItem());
}

void TreeView::setSelectedItem(const TreeNode &node)
{
    setCurrentItem(node.item());
}

void TreeView::keyPressEvent(QKeyEvent *event)
{
    QTreeWidgetItem *before = currentItem();
    try {
        const int code = keys::characterCode(event);
        if (code >= 0 && code <= 0x7fff) {
            short keyAscii = short(code);
            Q_EMIT KeyPress(keyAscii);
            if (keyAscii == 0) {
                event->accept();
                return;
            }
            if (keyAscii != code) {
                QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(QChar(keyAscii)));
                QTreeWidget::keyPressEvent(&changed);
                event->setAccepted(changed.isAccepted());
            } else {
                QTreeWidget::keyPressEvent(event);
            }
        } else {
            QTreeWidget::keyPressEvent(event);
        }
        if (currentItem() && currentItem() != before)
            Q_EMIT NodeClick(TreeNode(currentItem()));
    } catch (const Error &e) {
        reportError(e);
    }
}

} // namespace vq
