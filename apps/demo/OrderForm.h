#pragma once

#include <QWidget>

class VqComboBox;
class VqDTPicker;
class VqHelpList;
class VqHierarchyCombo;
class VqPortableListBox;
class VqTextBox;

namespace vq {
class CommandButton;
class Control;
} // namespace vq

// The order-entry form's controls, placed in twips, each with its caption to the left; what the controls
// do is the window's business (DemoWindow).
class OrderForm : public QWidget
{
    Q_OBJECT

public:
    explicit OrderForm(QWidget *parent = nullptr);
    ~OrderForm() override;

    // A control of the form by its name (txtCustomer, cmdSave …); null for a name the form lacks.
    vq::Control *control(const QString &name) const;
    template<class T>
    T *control(const QString &name) const
    {
        return qobject_cast<T *>(control(name));
    }

    // What the status line says while the named control has the focus; empty when there is nothing to say.
    static QString hint(const QString &name);

    VqTextBox *orderNo() const;
    VqDTPicker *orderDate() const;
    VqTextBox *customer() const;
    VqTextBox *customerName() const;
    VqPortableListBox *city() const;
    VqHierarchyCombo *category() const;
    VqTextBox *product() const;
    VqTextBox *productName() const;
    VqTextBox *quantity() const;
    VqTextBox *amount() const;
    VqComboBox *terms() const;
    VqHelpList *customerLookup() const;
    VqHelpList *productLookup() const;

private:
    void build();
    void addCaptions();
};
