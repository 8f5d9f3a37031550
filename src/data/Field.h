#pragma once

#include <QString>
#include <QVariant>

namespace vq {

class Recordset;

// A field of a record set: its name, ADO type code (see FieldType.h) and DefinedSize, and its value in the
// current row.
class Field
{
public:
    Field(Recordset *recordset, int index, QString name, int type, qint64 definedSize)
        : m_recordset(recordset)
        , m_index(index)
        , m_name(std::move(name))
        , m_type(type)
        , m_definedSize(definedSize)
    { }

    QString Name() const { return m_name; }
    int Type() const { return m_type; }
    qint64 DefinedSize() const { return m_definedSize; }
    int index() const { return m_index; }
    // The value in the current row (an invalid QVariant for a null); vq::Error 3021 without a current row.
    QVariant Value() const;

private:
    Recordset *m_recordset;
    int m_index;
    QString m_name;
    int m_type;
    qint64 m_definedSize;
};

} // namespace vq
