#pragma once

#include "frame/Control.h"

#include <QVariant>

namespace vq {
class ListBoxWidget;
}

// A thin list control: one list box (List1) that fills the control, whose items, selection and text are
// the control's own members, and whose clicks and key-downs reach the host as Click and KeyDown.
//
// Every member acts on List1 and passes its failures on unchanged (see vq::ListBoxWidget for the numbers),
// with one exception: setting ListIndex to an index the list cannot take leaves the selection as it was,
// raises nothing, and still tells the host that "ListIndex" changed.
//
// Saved properties ("ListIndex", "Selected0", "Text", "List0") are read and written only while the list
// holds items; a control being loaded starts with an empty list, so in practice it always loads empty.
class VqListBox : public vq::Control
{
    Q_OBJECT
    // Counts are run-time state: Designer does not show them.
    Q_PROPERTY(int ListCount READ ListCount DESIGNABLE false)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(int SelCount READ SelCount DESIGNABLE false)
    Q_PROPERTY(QString Text READ Text WRITE setText)

public:
    explicit VqListBox(QWidget *parent = nullptr);
    ~VqListBox() override;

    // Adds Item at Index, or at the end when Index is left out (an invalid variant).
    Q_INVOKABLE void AddItem(const QString &Item, const QVariant &Index = QVariant());
    Q_INVOKABLE void Clear();
    int ListCount() const;
    // -1 when no item is selected.
    int ListIndex() const;
    void setListIndex(int index);
    // Repaints the list at once.
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void RemoveItem(int Index);
    int SelCount() const;
    Q_INVOKABLE bool Selected(int Index) const;
    Q_INVOKABLE void setSelected(int Index, bool selected);
    // The selected item's text (empty when none); setting it selects the item with that text.
    QString Text() const;
    void setText(const QString &text);
    Q_INVOKABLE QString List(int Index) const;
    Q_INVOKABLE void setList(int Index, const QString &text);

    const vq::PropertyTable &propertyTable() const override;

Q_SIGNALS:
    void Click();
    // The list's own key code and shift state; what the handler leaves there is what the list handles.
    void KeyDown(short &KeyCode, short &Shift);

protected:
    void Resize() override;

private:
    vq::ListBoxWidget *m_list1 = nullptr;
};
