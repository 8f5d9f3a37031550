#include "platform/Twips.h"

#include "platform/Error.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace vq::twips {

namespace {
constexpr double TwipsPerInch = 1440.0;

double dpiX(const QWidget *w)
{
    if (w)
        return w->logicalDpiX();
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchX() : 96.0;
}

double dpiY(const QWidget *w)
{
    if (w)
        return w->logicalDpiY();
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchY() : 96.0;
}
} // namespace

int toPixelsX(int t, const QWidget *w)
{
    return int(std::lround(t * dpiX(w) / TwipsPerInch));
}

int toPixelsY(int t, const QWidget *w)
{
    return int(std::lround(t * dpiY(w) / TwipsPerInch));
}

int fromPixelsX(int p, const QWidget *w)
{
    return int(std::lround(p * TwipsPerInch / dpiX(w)));
}

int fromPixelsY(int p, const QWidget *w)
{
    return int(std::lround(p * TwipsPerInch / dpiY(w)));
}

QRect geometry(const QWidget *w)
{
    const QRect g = w->geometry();
    return {
        fromPixelsX(g.x(), w), fromPixelsY(g.y(), w), fromPixelsX(g.width(), w), fromPixelsY(g.height(), w)};
}

void setGeometry(QWidget *w, int left, int top, int width, int height)
{
    if (width < 0 || height < 0)
        throw Error(Error::InvalidPropertyValue);
    w->setGeometry(toPixelsX(left, w), toPixelsY(top, w), toPixelsX(width, w), toPixelsY(height, w));
}

void setWidth(QWidget *w, int width)
{
    const QRect g = geometry(w);
    setGeometry(w, g.x(), g.y(), width, g.height());
}

void setLeft(QWidget *w, int left)
{
    const QRect g = geometry(w);
    setGeometry(w, left, g.y(), g.width(), g.height());
}

} // namespace vq::twips
