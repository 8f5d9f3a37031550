#include "frame/Control.h"

#include "frame/ClassTable.h"
#include "frame/ObjectCount.h"
#include "frame/PropertyTable.h"
#include "platform/Error.h"
#include "platform/Twips.h"

#include <QScopedValueRollback>
#include <QShowEvent>

namespace vq {

struct Control::Private
{
    AmbientProperties ambient;
    bool loading = false;
};

Control::Control(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>())
{
    objects::library().add();
}

Control::~Control()
{
    objects::library().release();
}

void Control::InitProperties() { }

void Control::ReadProperties(PropertyBag &bag)
{
    const QScopedValueRollback loading(d->loading, true);
    propertyTable().read(*this, bag);
}

void Control::WriteProperties(PropertyBag &bag)
{
    propertyTable().write(*this, bag);
}

const PropertyTable &Control::propertyTable() const
{
    static const PropertyTable none;
    return none;
}

bool Control::Enabled() const
{
    // A parent's disabling sets WA_Disabled on the children too, but only the widget's own setEnabled(false)
    // sets WA_ForceDisabled.
    return !testAttribute(Qt::WA_ForceDisabled);
}

void Control::setEnabledProperty(bool enabled)
{
    setEnabled(enabled);
    PropertyChanged(QStringLiteral("Enabled"));
}

void Control::setDesignSize(const char *className)
{
    if (const ClassTable::ClassInfo *info = ClassTable::find(QString::fromLatin1(className)))
        resize(twips::toPixelsX(info->designSize.width(), this),
            twips::toPixelsY(info->designSize.height(), this));
}

AmbientProperties Control::ambientProperties() const
{
    return d->ambient;
}

void Control::setAmbientProperties(const AmbientProperties &ambient)
{
    d->ambient = ambient;
}

int Control::widthTwips() const
{
    return twips::fromPixelsX(width(), this);
}

int Control::heightTwips() const
{
    return twips::fromPixelsY(height(), this);
}

void Control::resizeTwips(int width, int height)
{
    if (width < 0 || height < 0)
        throw Error(Error::InvalidPropertyValue);
    resize(twips::toPixelsX(width, this), twips::toPixelsY(height, this));
    // A hidden widget gets its resize event only when shown; the host expects the layout now.
    if (!isVisible())
        runResize();
}

void Control::runResize()
{
    try {
        Resize();
    } catch (const Error &e) {
        reportError(e);
    }
}

void Control::PropertyChanged(const QString &name)
{
    if (d->loading)
        return;
    Q_EMIT propertyChanged(name);
}

void Control::Resize() { }

void Control::Show() { }

void Control::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    runResize();
}

void Control::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window coming back from being minimised is not the control becoming visible.
    if (event->spontaneous())
        return;
    try {
        Show();
    } catch (const Error &e) {
        reportError(e);
    }
}

} // namespace vq
