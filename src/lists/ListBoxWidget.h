#pragma once

#include <QListView>
#include <QStringList>
#include <QVariant>

namespace vq {

// The platform's list box as the list controls use it: a single-selection list view with the members
// a host knows (AddItem, List, Selected, ListIndex, Text ...) and the failures that widget gives, so that
// the controls can pass every call straight through and add no checks of their own.
//
// Indices and counts are int, not the original 16-bit integers, so that lists beyond 32,767 rows (a
// query's result) stay addressable. Failures (vq::Error):
// - List(i), setList(i), Selected(i), setSelected(i): 381 "Invalid property array index" for i outside
//   0 .. ListCount - 1;
// - setListIndex(i): 380 "Invalid property value" for i below -1 or not below ListCount (-1 clears);
// - AddItem at an Index outside 0 .. ListCount, RemoveItem(i) for i outside the list: 5 "Invalid procedure
//   call or argument"; an Index that is not a number: 13.
// A failed call leaves the list as it was.
//
// The items are plain texts in a model of the list's own (no item object per row), laid out as rows of one
// height (uniform sizes), so that a list of a hundred thousand rows fills and opens without measuring or
// allocating each; appendItems adds many rows in one model change.
//
// Click is raised when the user picks or clicks an item with the mouse, or moves the selection with a key;
// a selection changed from code raises nothing. KeyDown is raised for every key the list receives (TAB,
// which moves the focus, excepted); the handler may change both values and the list goes on with what it
// leaves there: KeyCode 0 swallows the key, another code is handled as that key.
class ListBoxWidget : public QListView
{
    Q_OBJECT

public:
    explicit ListBoxWidget(QWidget *parent = nullptr);
    ~ListBoxWidget() override;

    // Index: an empty (invalid) variant appends; otherwise the position the new item takes.
    void AddItem(const QString &item, const QVariant &index = QVariant());
    void appendItems(QStringList &&items);
    void Clear();
    int ListCount() const;
    // The selected item's index, -1 when none is selected.
    int ListIndex() const;
    void setListIndex(int index);
    void RemoveItem(int index);
    // Items selected: 0 or 1, as the list selects one item at a time.
    int SelCount() const;
    bool Selected(int index) const;
    // Selecting an item replaces the selection; deselecting the selected item leaves none.
    void setSelected(int index, bool selected);
    // The selected item's text, the empty string when none is selected.
    QString Text() const;
    // Selects the first item whose whole text equals text without regard to case; with no such item
    // nothing is selected.
    void setText(const QString &text);
    QString List(int index) const;
    void setList(int index, const QString &text);
    void Refresh();

Q_SIGNALS:
    void Click();
    void KeyDown(short &KeyCode, short &Shift);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void checkIndex(int index) const;
    void handleKey(QKeyEvent *event);

    class Model;
    Model *m_model;
};

} // namespace vq
