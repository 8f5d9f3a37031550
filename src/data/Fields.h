#pragma once

#include "data/Field.h"

#include <QString>

#include <memory>
#include <vector>

namespace vq {

class Recordset;

// The fields of a record set, in column order.
class Fields
{
public:
    int Count() const { return int(m_fields.size()); }
    // By ordinal, or by name without regard to case; an unknown one is vq::Error 3265.
    Field &Item(int index) const;
    Field &Item(const QString &name) const;
    Field &operator[](int index) const { return Item(index); }
    Field &operator[](const QString &name) const { return Item(name); }
    // The ordinal of a named field, -1 when there is none.
    int indexOf(const QString &name) const;

private:
    friend class Recordset;
    std::vector<std::unique_ptr<Field>> m_fields;
};

} // namespace vq
