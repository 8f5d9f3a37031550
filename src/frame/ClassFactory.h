#pragma once

#include <QUuid>

class QObject;
class QWidget;

namespace vq {

// A class object: makes instances of one class. What DllGetClassObject hands out, and what a process may
// register for itself with Registry::registerClassObject.
class ClassFactory
{
public:
    virtual ~ClassFactory() = default;

    virtual QObject *CreateInstance(QWidget *parent = nullptr) = 0;
    // Keeps the library loaded while locked, whether or not objects are alive.
    virtual void LockServer(bool lock) = 0;
};

} // namespace vq
