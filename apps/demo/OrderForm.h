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

// The order-entry form: its controls, loaded from a form file (the one built into the program unless
// another is given), each with its caption to the left. What the controls do is the window's business
// (DemoWindow).
class OrderForm : public QWidget
{
    Q_OBJECT

public:
    // The form file built into the program.
    static QString builtInFormFile();

    // Loads the form file. Throws vq::FormFileError for a file that is no form of these controls (with its
    // line and column), vq::Error 53 or 75 when it cannot be read, and vq::Error 321 naming the first
    // control the order form needs that the file lacks (or has under another class).
    explicit OrderForm(const QString &formFile = builtInFormFile(), QWidget *parent = nullptr);
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
    void checkControls() const;
    void addCaptions();
};
