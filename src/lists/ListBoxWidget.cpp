#include "lists/ListBoxWidget.h"

#include "platform/Error.h"
#include "platform/KeyCodes.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace vq {

ListBoxWidget::ListBoxWidget(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

QListWidgetItem *ListBoxWidget::checkedItem(int index) const
{
    if (index < 0 || index >= count())
        throw Error(Error::InvalidPropertyArrayIndex);
    return item(index);
}

void ListBoxWidget::AddItem(const QString &text, const QVariant &index)
{
    if (!index.isValid() || index.isNull()) {
        addItem(text);
        return;
    }
    bool ok = false;
    const int at = index.toInt(&ok);
    if (!ok)
        throw Error(Error::TypeMismatch);
    if (at < 0 || at > count())
        throw Error(Error::InvalidProcedureCall);
    insertItem(at, text);
}

void ListBoxWidget::appendItems(const QStringList &items)
{
    addItems(items);
}

void ListBoxWidget::Clear()
{
    clear();
}

int ListBoxWidget::ListCount() const
{
    return count();
}

int ListBoxWidget::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBoxWidget::setListIndex(int index)
{
    if (index < -1 || index >= count())
        throw Error(Error::InvalidPropertyValue);
    if (index == -1) {
        clearSelection();
        setCurrentItem(nullptr);
    } else {
        setCurrentRow(index);
    }
}

void ListBoxWidget::RemoveItem(int index)
{
    if (index < 0 || index >= count())
        throw Error(Error::InvalidProcedureCall);
    delete takeItem(index);
}

int ListBoxWidget::SelCount() const
{
    return int(selectionModel()->selectedIndexes().size());
}

bool ListBoxWidget::Selected(int index) const
{
    return checkedItem(index)->isSelected();
}

void ListBoxWidget::setSelected(int index, bool selected)
{
    QListWidgetItem *it = checkedItem(index);
    if (selected)
        setCurrentItem(it);
    else if (it->isSelected())
        clearSelection();
}

QString ListBoxWidget::Text() const
{
    const int index = ListIndex();
    return index < 0 ? QString() : item(index)->text();
}

void ListBoxWidget::setText(const QString &text)
{
    for (int i = 0, n = count(); i < n; ++i) {
        if (item(i)->text().compare(text, Qt::CaseInsensitive) == 0) {
            setCurrentRow(i);
            return;
        }
    }
    setListIndex(-1);
}

QString ListBoxWidget::List(int index) const
{
    return checkedItem(index)->text();
}

void ListBoxWidget::setList(int index, const QString &text)
{
    checkedItem(index)->setText(text);
}

void ListBoxWidget::Refresh()
{
    viewport()->repaint();
}

void ListBoxWidget::handleKey(QKeyEvent *event)
{
    // With nothing chosen yet, the first DOWN or UP chooses the row the list stands on (the first, when it
    // has just taken the focus) instead of stepping past it.
    if (ListIndex() < 0 && count() > 0 && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        setCurrentRow(qMax(currentRow(), 0));
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
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
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()))
        Q_EMIT Click();
}

} // namespace vq
