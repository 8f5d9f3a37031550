#include "lists/ListBoxWidget.h"

#include "platform/Error.h"
#include "platform/KeyCodes.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace vq {

// The items: one text per row, nothing else.
class ListBoxWidget::Model : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(texts.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return QVariant();
        return texts.at(index.row());
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                               : Qt::NoItemFlags;
    }

    void insert(int row, const QStringList &added)
    {
        if (added.isEmpty())
            return;
        beginInsertRows(QModelIndex(), row, row + int(added.size()) - 1);
        if (row == texts.size())
            texts.append(added);
        else
            for (qsizetype i = 0; i < added.size(); ++i)
                texts.insert(row + i, added.at(i));
        endInsertRows();
    }

    void append(QStringList &&added)
    {
        if (added.isEmpty())
            return;
        beginInsertRows(QModelIndex(), int(texts.size()), int(texts.size() + added.size()) - 1);
        if (texts.isEmpty())
            texts = std::move(added);
        else
            texts.append(std::move(added));
        endInsertRows();
    }

    void remove(int row)
    {
        beginRemoveRows(QModelIndex(), row, row);
        texts.removeAt(row);
        endRemoveRows();
    }

    void clear()
    {
        beginResetModel();
        texts.clear();
        endResetModel();
    }

    void setText(int row, const QString &text)
    {
        texts[row] = text;
        const QModelIndex at = index(row);
        Q_EMIT dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
    }

    QStringList texts;
};

ListBoxWidget::ListBoxWidget(QWidget *parent)
    : QListView(parent)
    , m_model(new Model(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

ListBoxWidget::~ListBoxWidget() = default;

void ListBoxWidget::checkIndex(int index) const
{
    if (index < 0 || index >= ListCount())
        throw Error(Error::InvalidPropertyArrayIndex);
}

void ListBoxWidget::AddItem(const QString &text, const QVariant &index)
{
    if (!index.isValid() || index.isNull()) {
        m_model->insert(ListCount(), {text});
        return;
    }
    bool ok = false;
    const int at = index.toInt(&ok);
    if (!ok)
        throw Error(Error::TypeMismatch);
    if (at < 0 || at > ListCount())
        throw Error(Error::InvalidProcedureCall);
    m_model->insert(at, {text});
}

void ListBoxWidget::appendItems(QStringList &&items)
{
    m_model->append(std::move(items));
}

void ListBoxWidget::Clear()
{
    m_model->clear();
}

int ListBoxWidget::ListCount() const
{
    return int(m_model->texts.size());
}

int ListBoxWidget::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBoxWidget::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        throw Error(Error::InvalidPropertyValue);
    if (index == -1)
        selectionModel()->clear();
    else
        setCurrentIndex(m_model->index(index));
}

void ListBoxWidget::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount())
        throw Error(Error::InvalidProcedureCall);
    m_model->remove(index);
}

int ListBoxWidget::SelCount() const
{
    return int(selectionModel()->selectedIndexes().size());
}

bool ListBoxWidget::Selected(int index) const
{
    checkIndex(index);
    return selectionModel()->isSelected(m_model->index(index));
}

void ListBoxWidget::setSelected(int index, bool selected)
{
    checkIndex(index);
    if (selected)
        setCurrentIndex(m_model->index(index));
    else if (Selected(index))
        selectionModel()->clearSelection();
}

QString ListBoxWidget::Text() const
{
    const int index = ListIndex();
    return index < 0 ? QString() : m_model->texts.at(index);
}

void ListBoxWidget::setText(const QString &text)
{
    const QStringList &texts = m_model->texts;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (texts.at(i).compare(text, Qt::CaseInsensitive) == 0) {
            setListIndex(int(i));
            return;
        }
    }
    setListIndex(-1);
}

QString ListBoxWidget::List(int index) const
{
    checkIndex(index);
    return m_model->texts.at(index);
}

void ListBoxWidget::setList(int index, const QString &text)
{
    checkIndex(index);
    m_model->setText(index, text);
}

void ListBoxWidget::Refresh()
{
    viewport()->repaint();
}

void ListBoxWidget::handleKey(QKeyEvent *event)
{
    // With nothing chosen yet, the first DOWN or UP chooses the row the list stands on (the first, when it
    // has just taken the focus) instead of stepping past it.
    if (ListIndex() < 0 && ListCount() > 0 && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        setListIndex(qMax(currentIndex().row(), 0));
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void ListBoxWidget::keyPressEvent(QKeyEvent *event)
{
    using namespace vq::keys;
    short keyCode = virtualKey(event->key());
    short shift = shiftState(event->modifiers());
    const short pressed = keyCode;
    const int before = ListIndex();
    Q_EMIT KeyDown(keyCode, shift);
    if (keyCode == pressed) {
        handleKey(event);
    } else if (keyCode == 0) {
        event->accept();
    } else {
        // The key the handler asked for, with the character it types where it has one (the list's
        // type-ahead search reads it).
        const Qt::KeyboardModifiers mods = modifiers(shift);
        QString text;
        if (keyCode >= 'A' && keyCode <= 'Z')
            text = QChar(mods & Qt::ShiftModifier ? keyCode : keyCode + 32);
        else if ((keyCode >= '0' && keyCode <= '9') || keyCode == VkSpace)
            text = QChar(keyCode);
        QKeyEvent changed(event->type(), qtKey(keyCode), mods, text);
        handleKey(&changed);
        event->setAccepted(changed.isAccepted());
    }
    if (ListIndex() != before)
        Q_EMIT Click();
}

void ListBoxWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        Q_EMIT Click();
}

} // namespace vq
