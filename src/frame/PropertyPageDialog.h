#pragma once

#include <QDialog>
#include <QList>

#include <memory>

class QPushButton;
class QTabWidget;

namespace vq {

class PropertyPage;

// The host's property dialog: the pages that the selected control's class lists, in order, as tabs, with
// OK (apply the changed pages and close), Cancel (close) and Apply (apply, enabled only while a page is
// changed). Escape closes like Cancel. Listed pages that this library does not provide are skipped.
//
// A page that fails to load is reported through vq::reportError and shown disabled, so that it cannot
// write a half-loaded state back into the control.
class PropertyPageDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PropertyPageDialog(QObject *control, QWidget *parent = nullptr);
    // The pages of the first control's class; every page acts on the first control only.
    explicit PropertyPageDialog(const QList<QObject *> &selectedControls, QWidget *parent = nullptr);
    ~PropertyPageDialog() override;

    // The page names a control's class lists (empty for a class the library does not know).
    static QStringList listedPages(const QObject *control);

    // Creates the named pages through the class table, in order, skipping names this library lacks.
    static QList<PropertyPage *> createPages(const QStringList &names);

    // Adds a page as a further tab, hands it the selection and loads it. The dialog owns the page.
    void addPage(PropertyPage *page);
    QList<PropertyPage *> pages() const;
    QTabWidget *tabs() const;

    QPushButton *okButton() const;
    QPushButton *cancelButton() const;
    QPushButton *applyButton() const;

    // Applies every changed page in tab order. Stops at a page that refuses (its error is reported and its
    // tab shown) and returns false; the pages applied before it stay applied.
    bool apply();

private:
    void updateApplyButton();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
