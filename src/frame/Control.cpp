#include "frame/Control.h"

#include "frame/ObjectCount.h"
#include "platform/Error.h"
#include "platform/Twips.h"

#include <QShowEvent>

namespace vq {

struct Control::Private
{
    AmbientProperties ambient;
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

void Control::ReadProperties(PropertyBag &) { }

void Control::WriteProperties(PropertyBag &) { }

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
