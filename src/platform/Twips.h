#pragma once

#include <QRect>

class QWidget;

namespace vq {

// Positions and sizes of the controls are in twips (1440 per inch). Conversions use the logical DPI of the
// widget's screen (of the primary screen when no widget is given): 15 twips a pixel at 96 dots per inch.
namespace twips {

int toPixelsX(int twips, const QWidget *widget = nullptr);
int toPixelsY(int twips, const QWidget *widget = nullptr);
int fromPixelsX(int pixels, const QWidget *widget = nullptr);
int fromPixelsY(int pixels, const QWidget *widget = nullptr);

// The widget's geometry relative to its parent, in twips.
QRect geometry(const QWidget *widget);
// Moves and sizes a widget in twips. A negative width or height is refused with error 380 and the widget
// keeps its geometry.
void setGeometry(QWidget *widget, int left, int top, int width, int height);
void setWidth(QWidget *widget, int width);
void setLeft(QWidget *widget, int left);

} // namespace twips
} // namespace vq
