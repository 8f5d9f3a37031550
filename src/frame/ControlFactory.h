#pragma once

#include <QString>
#include <QUuid>

class QWidget;

namespace vq {

class Control;
class PropertyPage;

// The public way for a host to create the library's controls and pages, by class name or class id.
// Throws vq::Error ("Class not registered") for an unknown class or one this build does not provide.
Control *CreateControl(const QString &className, QWidget *parent = nullptr);
Control *CreateControl(const QUuid &classId, QWidget *parent = nullptr);

} // namespace vq
