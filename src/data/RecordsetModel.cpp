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
    // The window: the first record shown and how many at most (-1: all).
    int first = 0;
    int windowRows = -1;
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

    int shownFrom(int from, int most) const
    {
        const int left = qMax(0, rows - from);
        return most < 0 ? left : qMin(left, most);
    }
    int shown() const { return shownFrom(first, windowRows); }

    // The cell's text or value; a failure reads as nothing and is announced once.
    QVariant read(const RecordsetModel *model, int record, int column, int role) const
    {
        // Between the brackets the record set may already hold other rows than the views know of.
        if (changeDepth > 0 || !recordset || record < 0 || record >= rows || column < 0 || column >= columns)
            return QVariant();
        try {
            if (role == Qt::EditRole)
                return recordset->value(record, column);
            ++textsMade;
            return recordset->text(record, column);
        } catch (const Error &e) {
            if (!errorAnnounced) {
                errorAnnounced = true;
                Q_EMIT const_cast<RecordsetModel *>(model)->cellError(e.number(), e.description());
            }
            return QVariant();
        }
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
    d->first = 0;
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
    return parent.isValid() ? 0 : d->shown();
}

int RecordsetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->columns;
}

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return QVariant();
    if (!index.isValid() || index.row() >= d->shown())
        return QVariant();
    return d->read(this, d->first + index.row(), index.column(), role);
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return d->first + section + 1;
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

void RecordsetModel::setWindow(int first, int rows)
{
    // While the record set changes its rows the views wait for the reset, which takes the window as set.
    first = qBound(0, first, d->rows);
    if (d->changeDepth > 0) {
        d->first = first;
        d->windowRows = rows;
        return;
    }
    const int before = d->shown();
    const int after = d->shownFrom(first, rows);
    const bool moved = first != d->first;
    if (after < before) {
        beginRemoveRows(QModelIndex(), after, before - 1);
        d->first = first;
        d->windowRows = rows;
        endRemoveRows();
    } else if (after > before) {
        beginInsertRows(QModelIndex(), before, after - 1);
        d->first = first;
        d->windowRows = rows;
        endInsertRows();
    } else {
        d->first = first;
        d->windowRows = rows;
    }
    const int kept = qMin(before, after);
    if (moved && kept > 0) {
        if (d->columns > 0)
            Q_EMIT dataChanged(index(0, 0), index(kept - 1, d->columns - 1));
        Q_EMIT headerDataChanged(Qt::Vertical, 0, kept - 1);
    }
}

int RecordsetModel::windowFirst() const
{
    return d->first;
}

int RecordsetModel::recordCount() const
{
    return d->rows;
}

QString RecordsetModel::recordText(int record, int column) const
{
    return d->read(this, record, column, Qt::DisplayRole).toString();
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
