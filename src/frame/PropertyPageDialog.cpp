#include "frame/PropertyPageDialog.h"

#include "frame/ClassTable.h"
#include "frame/PropertyPage.h"
#include "platform/Error.h"

#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vq {

struct PropertyPageDialog::Private
{
    QList<QPointer<QObject>> selection;
    QTabWidget *tabs = nullptr;
    QDialogButtonBox *buttons = nullptr;
    QList<PropertyPage *> pages;
};

PropertyPageDialog::PropertyPageDialog(QObject *control, QWidget *parent)
    : PropertyPageDialog(QList<QObject *> {control}, parent)
{ }

PropertyPageDialog::PropertyPageDialog(const QList<QObject *> &selectedControls, QWidget *parent)
    : QDialog(parent)
    , d(std::make_unique<Private>())
{
    for (QObject *c : selectedControls)
        d->selection.append(c);

    d->tabs = new QTabWidget(this);
    d->tabs->setObjectName(QStringLiteral("tabPages"));
    d->buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, Qt::Horizontal, this);
    okButton()->setObjectName(QStringLiteral("cmdOK"));
    cancelButton()->setObjectName(QStringLiteral("cmdCancel"));
    applyButton()->setObjectName(QStringLiteral("cmdApply"));
    applyButton()->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(d->tabs);
    layout->addWidget(d->buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(okButton(), &QPushButton::clicked, this, [this] {
        if (apply())
            accept();
    });
    connect(cancelButton(), &QPushButton::clicked, this, &QDialog::reject);
    connect(applyButton(), &QPushButton::clicked, this, [this] { apply(); });

    QObject *first = selectedControls.isEmpty() ? nullptr : selectedControls.first();
    if (first) {
        const QString name = first->objectName().isEmpty()
            ? QString::fromLatin1(first->metaObject()->className())
            : first->objectName();
        setWindowTitle(tr("%1 Properties").arg(name));
    }
    for (PropertyPage *page : createPages(listedPages(first)))
        addPage(page);
}

PropertyPageDialog::~PropertyPageDialog() = default;

QStringList PropertyPageDialog::listedPages(const QObject *control)
{
    if (!control)
        return {};
    const ClassTable::ClassInfo *info =
        ClassTable::find(QString::fromLatin1(control->metaObject()->className()));
    return info ? info->pages : QStringList();
}

QList<PropertyPage *> PropertyPageDialog::createPages(const QStringList &names)
{
    QList<PropertyPage *> pages;
    for (const QString &name : names) {
        if (!ClassTable::isAvailable(name))
            continue;
        QObject *object = ClassTable::create(name);
        if (auto *page = qobject_cast<PropertyPage *>(object))
            pages.append(page);
        else
            delete object;
    }
    return pages;
}

void PropertyPageDialog::addPage(PropertyPage *page)
{
    d->pages.append(page);
    d->tabs->addTab(page, page->windowTitle());
    connect(page, &PropertyPage::changedChanged, this, &PropertyPageDialog::updateApplyButton);
    QList<QObject *> selection;
    for (const QPointer<QObject> &p : d->selection) {
        if (p)
            selection.append(p.data());
    }
    try {
        page->setSelectedControls(selection);
    } catch (const Error &e) {
        reportError(e);
    }
    updateApplyButton();
}

QList<PropertyPage *> PropertyPageDialog::pages() const
{
    return d->pages;
}

QTabWidget *PropertyPageDialog::tabs() const
{
    return d->tabs;
}

QPushButton *PropertyPageDialog::okButton() const
{
    return d->buttons->button(QDialogButtonBox::Ok);
}

QPushButton *PropertyPageDialog::cancelButton() const
{
    return d->buttons->button(QDialogButtonBox::Cancel);
}

QPushButton *PropertyPageDialog::applyButton() const
{
    return d->buttons->button(QDialogButtonBox::Apply);
}

bool PropertyPageDialog::apply()
{
    for (PropertyPage *page : std::as_const(d->pages)) {
        if (!page->Changed() || !page->isEnabled())
            continue;
        try {
            page->ApplyChanges();
            page->setChanged(false);
        } catch (const Error &e) {
            d->tabs->setCurrentWidget(page);
            reportError(e);
            return false;
        }
    }
    return true;
}

void PropertyPageDialog::updateApplyButton()
{
    bool changed = false;
    for (const PropertyPage *page : std::as_const(d->pages))
        changed = changed || (page->Changed() && page->isEnabled());
    applyButton()->setEnabled(changed);
}

} // namespace vq
