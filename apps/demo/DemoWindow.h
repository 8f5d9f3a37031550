#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

class DemoLookup;
class VqTextBox;

namespace vq {
class PropertyPageDialog;
}

// A small data-entry form built from the library's controls, with a note beside each field saying what
// the field does and a status line that shows what the controls report.
class DemoWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DemoWindow(QWidget *parent = nullptr);
    ~DemoWindow() override;

    VqTextBox *field(const QString &name) const;
    // The customer lookup behind F1 on the Name field.
    DemoLookup *lookup() const { return m_lookup; }

    // The host's property dialog for a field, loaded and ready to show.
    std::unique_ptr<vq::PropertyPageDialog> propertiesDialog(VqTextBox *box);
    // Opens the property dialog for the field last used; when its pages were applied, the field shows
    // its stored value again under its new rules.
    void showProperties(VqTextBox *box = nullptr);

private:
    VqTextBox *addField(const QString &name, const QString &label, const QString &note);
    void reportLeft(QWidget *old);
    void addCommandButtons();
    void addDateField();
    void addSelectionCombos();
    void addLists();
    void addRow(const QString &label, QWidget *field, const QString &note);

    QPointer<VqTextBox> m_current;
    DemoLookup *m_lookup = nullptr;

    class QGridLayout *m_grid = nullptr;
    int m_row = 0;
};
