#pragma once

#include "frame/EntryControl.h"

#include <QFont>
#include <QVariant>

#include <memory>

// A drop-down pick list that fills itself from a database: an entry field (txtList, the edit part of a
// combo box) over a list (lstList). When the entry field gets the focus the list opens (the control grows
// to 2385 twips and the focus goes into the list); when the list loses the focus it closes (the control
// shrinks to 420 twips) and the entry field shows the list's text. ENTER in the list queues {TAB}, so the
// focus moves on and the list closes.
//
// RefreshData (and loading at run time) clears the list and fills it with the first column of every row of
// Query, run over the ODBC file data source whose path is DSNName (see vq::lists::fillFromFileDsn); any
// failure ends the fill silently with the rows read so far. Setting DSNName or Query never refills.
//
// Every other member passes straight through to lstList with its failures (see vq::ListBoxWidget);
// Text and ListIndex change the list's selection, not the entry field, until the list next closes. Click
// and KeyDown are raised from the list as the list box raises them; KeyPress, KeyUp and Validate are part
// of the event set and never raised. ENTER goes no further than the control, so that a dialog host does
// not press its default button as well.
class VqPortableListBox : public vq::EntryControl
{
    Q_OBJECT
    Q_PROPERTY(QFont Font READ Font WRITE setFontProperty)
    // Counts are run-time state: Designer does not show them.
    Q_PROPERTY(int ListCount READ ListCount DESIGNABLE false)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(int SelCount READ SelCount DESIGNABLE false)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString DSNName READ DSNName WRITE setDSNName)
    Q_PROPERTY(QString Query READ Query WRITE setQuery)

public:
    explicit VqPortableListBox(QWidget *parent = nullptr);
    ~VqPortableListBox() override;

    Q_INVOKABLE void AddItem(const QString &Item, const QVariant &Index = QVariant());
    Q_INVOKABLE void Clear();
    // The list's font (the entry field keeps its own).
    QFont Font() const;
    void setFontProperty(const QFont &font);
    int ListCount() const;
    int ListIndex() const;
    void setListIndex(int index);
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void RemoveItem(int Index);
    int SelCount() const;
    QString Text() const;
    void setText(const QString &text);
    // The path of the ODBC file data source.
    QString DSNName() const;
    void setDSNName(const QString &path);
    // The SQL text whose first column gives the items.
    QString Query() const;
    void setQuery(const QString &query);
    // Refills the list from DSNName and Query; returns false in every case, a successful fill included.
    Q_INVOKABLE bool RefreshData();
    Q_INVOKABLE QString List(int Index) const;
    Q_INVOKABLE void setList(int Index, const QString &text);
    Q_INVOKABLE bool Selected(int Index) const;
    Q_INVOKABLE void setSelected(int Index, bool selected);

    // Whether the list is open (shown under the entry field).
    bool isOpen() const;

    void InitProperties() override;
    const vq::PropertyTable &propertyTable() const override;

Q_SIGNALS:
    void Click();
    // KeyDown (declared by the base) is raised for the keys going down in the list.
    void KeyPress(short &KeyAscii);
    void KeyUp(short &KeyCode, short &Shift);
    void Validate(bool &Cancel);

protected:
    void Resize() override;
    bool focusNextPrevChild(bool next) override;

private:
    void focusMoved(QWidget *old, QWidget *now);
    void LoadList();
    void open();
    void close();

    struct Private;
    std::unique_ptr<Private> d;
};
