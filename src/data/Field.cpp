#include "data/Field.h"

#include "data/Recordset.h"
#include "platform/Error.h"

namespace vq {

QVariant Field::Value() const
{
    if (m_recordset->isBOF() || m_recordset->isEOF())
        throw Error(Error::NoCurrentRecord);
    return m_recordset->value(m_recordset->currentRow(), m_index);
}

} // namespace vq
