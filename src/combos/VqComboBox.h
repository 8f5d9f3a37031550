#pragma once

#include "frame/EntryControl.h"

#include <QVariant>

#include <memory>

// A data-entry combo box (Combo1) that can insist that a typed entry is one of its items: with ValidateData
// on, leaving the field with an entry that matches no item (letter case aside) warns "Invalid Select" and
// keeps the user in the field. It refuses the apostrophe and the semicolon, stops taking characters once
// the whole entry is MaxLength long, turns ENTER into a move to the next field, and shows the focus marker
// (Image1) beside itself while it has the focus. The host adds the items at run time:
//
//     combo->AddItem("Apple");
//     combo->setValidateData(true);
//     connect(combo, &VqComboBox::Click, ...);    // an item picked
//
// A matching entry is accepted as typed: it does not select the item, so ListIndex stays as it was.
class VqComboBox : public vq::EntryControl
{
    Q_OBJECT
    // 16-bit properties are int to the meta-object, the type Designer, .ui files and uic know; the
    // accessors keep their own types. The count is run-time state: Designer does not show it.
    Q_PROPERTY(int ListCount READ ListCount DESIGNABLE false)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(bool ValidateData READ ValidateData WRITE setValidateData)
    Q_PROPERTY(bool EmptyCheck READ EmptyCheck WRITE setEmptyCheck)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)

public:
    explicit VqComboBox(QWidget *parent = nullptr);
    ~VqComboBox() override;

    // Adds Item at the 0-based Index, or at the end when Index is absent (an invalid variant). An Index
    // outside 0 to ListCount is refused with error 5.
    Q_INVOKABLE void AddItem(const QString &Item, const QVariant &Index = QVariant());
    short ListCount() const;
    // The selected item, -1 for none. Setting an index outside -1 to ListCount - 1 is refused with error 380.
    short ListIndex() const;
    void setListIndex(short index);
    Q_INVOKABLE void Refresh();
    // Error 5 for an index outside the list.
    Q_INVOKABLE void RemoveItem(short Index);
    QString Text() const;
    void setText(const QString &text);
    bool ValidateData() const;
    void setValidateData(bool validate);
    // Kept, saved and shown on the General page for the host; the control itself never acts on it.
    bool EmptyCheck() const;
    void setEmptyCheck(bool check);
    Q_INVOKABLE void Clear();
    // The longest entry that typing may make (25 by default); 0 or less allows no typing but BACKSPACE.
    // Pasted text and text set by the host are not limited.
    short MaxLength() const;
    void setMaxLength(short length);

    void InitProperties() override;
    void ReadProperties(vq::PropertyBag &bag) override;
    const vq::PropertyTable &propertyTable() const override;

Q_SIGNALS:
    // The entry's text changed: typed, deleted or pasted by the user, set by the host, or trimmed on leaving
    // (an item picked from the list raises Click instead).
    void Change();
    // The user picked an item from the list.
    void Click();
    // KeyDown (of the base): every key going down in Combo1, arrows and ENTER included.

protected:
    void Resize() override;
    void focusLeft() override;
    int filterCharacter(int code) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
