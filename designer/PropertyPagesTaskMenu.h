#pragma once

#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariant>

class QAction;
class QDialog;
class QDesignerFormWindowInterface;

namespace vq {
class Control;
class PropertyPageDialog;
} // namespace vq

namespace vq::designer {

// The "Property Pages…" entry of a control's context menu in Designer: it opens the control's listed
// property pages (vq::PropertyPageDialog) over the form. What a page applies reaches the form through the
// form window's cursor, as an edit in the property editor does, so the form is marked modified and each
// change can be undone. Controls whose class lists no page this library provides get no entry.
class PropertyPagesTaskMenu : public QObject, public QDesignerTaskMenuExtension
{
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    PropertyPagesTaskMenu(Control *control, QObject *parent = nullptr);

    QAction *preferredEditAction() const override;
    QList<QAction *> taskActions() const override;

    // Opens the dialog (window-modal, deleted when closed) and returns it.
    PropertyPageDialog *openPages();

    // Whether the control's class lists a page that this library provides.
    static bool hasPages(const QObject *control);

private:
    QPointer<Control> m_control;
    QAction *m_action = nullptr;
};

// Hands Designer a PropertyPagesTaskMenu for each of the library's controls that has pages.
class PropertyPagesTaskMenuFactory : public QExtensionFactory
{
    Q_OBJECT

public:
    explicit PropertyPagesTaskMenuFactory(QExtensionManager *parent = nullptr);

protected:
    QObject *createExtension(QObject *object, const QString &iid, QObject *parent) const override;
};

// Turns the property changes a page makes directly on a control into form-window edits while a page dialog
// is open: the control goes back to the value it had, and the new value is set through the form window's
// cursor, which records the edit for undo (with the old value) and marks the form modified. Without a form
// window around the control the change simply stays. It ends when its dialog closes.
class PagePropertyCommitter : public QObject
{
    Q_OBJECT

public:
    PagePropertyCommitter(Control *control, QDialog *dialog);

private:
    void commit(const QString &name);

    QPointer<Control> m_control;
    QHash<QString, QVariant> m_before;
    bool m_committing = false;
};

} // namespace vq::designer
