#include "frame/TableClassFactory.h"

#include "frame/ClassTable.h"
#include "frame/ObjectCount.h"

namespace vq {

TableClassFactory::TableClassFactory(const QUuid &classId)
    : m_classId(classId)
{ }

QObject *TableClassFactory::CreateInstance(QWidget *parent)
{
    return ClassTable::create(m_classId, parent);
}

void TableClassFactory::LockServer(bool lock)
{
    objects::library().lock(lock);
}

} // namespace vq
