#include "frame/PropertyPage.h"

#include "platform/Error.h"
#include "platform/Twips.h"

#include <QMetaObject>

namespace vq {

namespace {
// setProperty would quietly add a dynamic property for a name the control lacks; refuse it instead.
void requireProperty(const QObject *object, const char *name)
{
    const QMetaObject *meta = object->metaObject();
    if (meta->indexOfProperty(name) < 0)
        throw Error(Error::PropertyNotSupported,
            QStringLiteral("Object doesn't support this property or method: %1 has no property \"%2\"")
                .arg(QString::fromLatin1(meta->className()), QString::fromLatin1(name)));
}
} // namespace

struct PropertyPage::Private
{
    QList<QPointer<QObject>> selected;
    bool changed = false;
};

PropertyPage::PropertyPage(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>())
{ }

PropertyPage::~PropertyPage() = default;

QList<QObject *> PropertyPage::SelectedControls() const
{
    QList<QObject *> list;
    for (const QPointer<QObject> &p : d->selected) {
        if (p)
            list.append(p.data());
    }
    return list;
}

void PropertyPage::setSelectedControls(const QList<QObject *> &controls)
{
    d->selected.clear();
    for (QObject *c : controls)
        d->selected.append(c);
    // A load that fails stops at that step; what the steps before it did (marking the page changed, as a
    // user's clicks would) stands.
    SelectionChanged();
}

void PropertyPage::SelectionChanged() { }

void PropertyPage::ApplyChanges() { }

bool PropertyPage::Changed() const
{
    return d->changed;
}

void PropertyPage::setChanged(bool changed)
{
    if (d->changed == changed)
        return;
    d->changed = changed;
    Q_EMIT changedChanged(changed);
}

void PropertyPage::setPageSize(int widthTwips, int heightTwips)
{
    setFixedSize(twips::toPixelsX(widthTwips, this), twips::toPixelsY(heightTwips, this));
}

QObject *PropertyPage::firstSelected() const
{
    if (d->selected.isEmpty() || !d->selected.first())
        throw Error(Error::InvalidProcedureCall,
            QStringLiteral("Invalid procedure call or argument: the page has no selected control"));
    return d->selected.first().data();
}

QVariant PropertyPage::readProperty(const char *name) const
{
    const QObject *control = firstSelected();
    requireProperty(control, name);
    return control->property(name);
}

void PropertyPage::writeProperty(const char *name, const QVariant &value)
{
    QObject *control = firstSelected();
    requireProperty(control, name);
    if (!control->setProperty(name, value))
        throw Error(Error::TypeMismatch,
            QStringLiteral("Type mismatch: property \"%1\" cannot take %2 \"%3\"")
                .arg(QString::fromLatin1(name), QString::fromLatin1(value.typeName()), value.toString()));
}

} // namespace vq
