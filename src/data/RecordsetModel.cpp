#include "data/RecordsetModel.h"

#include "data/Field.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "platform/Error.h"

#include <QPointer>

#include <limits>

namespace vq {

struct RecordsetModel::Private
{
    QPointer<Recordset> recordset;
    QMetaObject::Connection aboutToChange;
    QMetaObject::Connection changed;
    QMetaObject::Connection destroyed;
    // Depth of the record set's change brackets: Open closes first, which nests a second bracket.
    int changeDepth = 0;
    // Row and column counts as the views last heard them; fixed between the brackets.
    int rows = 0;
    int columns = 0;
    QStringList names;
    mutable quint64 textsMade = 0;
    mutable bool errorAnnounced = false;

    void takeShape()
    {
        rows = 0;
        columns = 0;
        names.clear();
        errorAnnounced = false;
        if (!recordset || recordset->State() != Recordset::adStateOpen)
            return;
        // A view addresses rows with int; rows past that cannot be shown and are not offered.
        rows = int(qMin<qsizetype>(recordset->rowCount(), std::numeric_limits<int>::max()));
        const Fields &fields = recordset->Fields();
        columns = fields.Count();
        for (int i = 0; i < columns; ++i)
            names.append(fields.Item(i).Name());
    }
};

RecordsetModel::RecordsetModel(QObject *parent)
    : QAbstractTableModel(parent)
    , d(std::make_unique<Private>())
{ }

RecordsetModel::~RecordsetModel() = default;

void RecordsetModel::setRecordset(Recordset *recordset)
{
    beginResetModel();
    disconnect(d->aboutToChange);
    disconnect(d->changed);
    disconnect(d->destroyed);
    d->recordset = recordset;
    d->changeDepth = 0;
    if (recordset) {
        d->aboutToChange = connect(recordset, &Recordset::aboutToChangeRows, this, [this] {
            if (d->changeDepth++ == 0)
                beginResetModel();
        });
        d->changed = connect(recordset, &Recordset::rowsChanged, this, [this] {
            if (d->changeDepth == 0 || --d->changeDepth > 0)
                return;
            d->takeShape();
            endResetModel();
        });
        d->destroyed = connect(recordset, &QObject::destroyed, this, [this] { setRecordset(nullptr); });
    }
    d->takeShape();
    endResetModel();
}

Recordset *RecordsetModel::recordset() const
{
    return d->recordset;
}

int RecordsetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->rows;
}

int RecordsetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->columns;
}

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return QVariant();
    // Between the brackets the record set may already hold other rows than the views know of.
    if (!index.isValid() || d->changeDepth > 0 || !d->recordset || index.row() >= d->rows ||
        index.column() >= d->columns)
        return QVariant();
    try {
        if (role == Qt::EditRole)
            return d->recordset->value(index.row(), index.column());
        ++d->textsMade;
        return d->recordset->text(index.row(), index.column());
    } catch (const Error &e) {
        if (!d->errorAnnounced) {
            d->errorAnnounced = true;
            Q_EMIT const_cast<RecordsetModel *>(this)->cellError(e.number(), e.description());
        }
        return QVariant();
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= d->names.size())
        return QVariant();
    return d->names.at(section);
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QStringList RecordsetModel::fieldNames() const
{
    return d->names;
}

quint64 RecordsetModel::textsMade() const
{
    return d->textsMade;
}

} // namespace vq
