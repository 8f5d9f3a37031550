#include "data/Fields.h"

#include "platform/Error.h"

namespace vq {

static Error itemNotFound()
{
    return Error(Error::ItemNotFound);
}

Field &Fields::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw itemNotFound();
    return *m_fields[size_t(index)];
}

Field &Fields::Item(const QString &name) const
{
    const int index = indexOf(name);
    if (index < 0)
        throw itemNotFound();
    return *m_fields[size_t(index)];
}

int Fields::indexOf(const QString &name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i]->Name().compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

} // namespace vq
