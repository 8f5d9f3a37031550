#pragma once

#include "frame/ClassFactory.h"

namespace vq {

// The class object that DllGetClassObject hands out for a class of the library's class table: it creates
// instances through ClassTable::create, and its locks keep the library loaded.
class TableClassFactory : public ClassFactory
{
public:
    explicit TableClassFactory(const QUuid &classId);

    QUuid classId() const { return m_classId; }

    // Throws vq::Error ("Class not registered") when this build does not provide the class.
    QObject *CreateInstance(QWidget *parent = nullptr) override;
    void LockServer(bool lock) override;

private:
    QUuid m_classId;
};

} // namespace vq
