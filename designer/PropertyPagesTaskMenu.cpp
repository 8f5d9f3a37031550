#include "PropertyPagesTaskMenu.h"

#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/PropertyPageDialog.h"
#include "platform/Error.h"

#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include <QAction>
#include <QDialog>
#include <QMetaProperty>

#include <algorithm>

namespace vq::designer {

PropertyPagesTaskMenu::PropertyPagesTaskMenu(Control *control, QObject *parent)
    : QObject(parent)
    , m_control(control)
    , m_action(new QAction(tr("Property Pages…"), this))
{
    m_action->setObjectName(QStringLiteral("actionPropertyPages"));
    connect(m_action, &QAction::triggered, this, [this] { openPages(); });
}

QAction *PropertyPagesTaskMenu::preferredEditAction() const
{
    return m_action;
}

QList<QAction *> PropertyPagesTaskMenu::taskActions() const
{
    return {m_action};
}

PropertyPageDialog *PropertyPagesTaskMenu::openPages()
{
    if (!m_control)
        return nullptr;
    // The dialog belongs to the form's window, so it closes with it and stays on top of it.
    auto *dialog = new PropertyPageDialog(m_control.data(), m_control->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    new PagePropertyCommitter(m_control.data(), dialog);
    dialog->open();
    return dialog;
}

bool PropertyPagesTaskMenu::hasPages(const QObject *control)
{
    const QStringList pages = PropertyPageDialog::listedPages(control);
    return std::any_of(
        pages.begin(), pages.end(), [](const QString &page) { return ClassTable::isAvailable(page); });
}

PropertyPagesTaskMenuFactory::PropertyPagesTaskMenuFactory(QExtensionManager *parent)
    : QExtensionFactory(parent)
{ }

QObject *PropertyPagesTaskMenuFactory::createExtension(
    QObject *object, const QString &iid, QObject *parent) const
{
    if (iid != Q_TYPEID(QDesignerTaskMenuExtension))
        return nullptr;
    auto *control = qobject_cast<Control *>(object);
    if (!control || !PropertyPagesTaskMenu::hasPages(control))
        return nullptr;
    return new PropertyPagesTaskMenu(control, parent);
}

PagePropertyCommitter::PagePropertyCommitter(Control *control, QDialog *dialog)
    : QObject(dialog)
    , m_control(control)
{
    // A closed dialog waits for the event loop to delete it; its committer is done at once.
    connect(dialog, &QDialog::finished, this, [this] { m_control = nullptr; });
    const QMetaObject *meta = control->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (p.isReadable() && p.isWritable())
            m_before.insert(QString::fromLatin1(p.name()), p.read(control));
    }
    connect(control, &Control::propertyChanged, this, &PagePropertyCommitter::commit);
}

void PagePropertyCommitter::commit(const QString &name)
{
    if (m_committing || !m_control || !m_before.contains(name))
        return;
    QDesignerFormWindowInterface *form = QDesignerFormWindowInterface::findFormWindow(m_control.data());
    QDesignerFormWindowCursorInterface *cursor = form ? form->cursor() : nullptr;
    const QByteArray key = name.toLatin1();
    const QVariant now = m_control->property(key.constData());
    // A page writes every setting it shows; only those that changed are edits of the form.
    if (now == m_before.value(name))
        return;
    m_committing = true;
    try {
        if (cursor) {
            m_control->setProperty(key.constData(), m_before.value(name));
            cursor->setWidgetProperty(m_control.data(), name, now);
        }
    } catch (const Error &e) {
        reportError(e);
    }
    m_committing = false;
    if (m_control)
        m_before.insert(name, m_control->property(key.constData()));
}

} // namespace vq::designer
