#pragma once

#include <QAbstractTableModel>

#include <memory>

namespace vq {

class Recordset;

// A table model over a record set for views: rows and columns are the record set's rows in its current
// sort and filter order and its fields in field order; horizontal header texts are the field names.
//
// Nothing is copied: a cell's text is made from the record set only when a view asks for it, so a view
// that shows thirty rows of a million reads thirty rows. The model follows the record set's
// aboutToChangeRows()/rowsChanged() brackets with a model reset (nested brackets, as Open gives when it
// closes first, make one reset). A closed record set, or none, is an empty model.
//
// Cells are read-only. A failure reading a cell (vq::Error from the record set) shows as an empty cell and
// is announced once per reset through cellError(), because a view's paint event must never throw.
//
// Window: a view keeps some state for every row of its model (a table view's row header keeps an entry per
// row), so a view over a million records would hold a million entries whatever it shows. setWindow() makes
// the model's rows a window of the records instead: model row r is record first + r. Moving the window
// tells the views of the rows it kept with dataChanged and of those it gained or lost at its end with row
// insertions or removals, never with a reset, so it costs what the window holds.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordsetModel(QObject *parent = nullptr);
    ~RecordsetModel() override;

    // The record set shown, or nullptr. The model does not own it and lets go of it when it is destroyed.
    // Another record set starts the window at its first record.
    void setRecordset(vq::Recordset *recordset);
    vq::Recordset *recordset() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: the record set's text of the cell; EditRole: its value (an invalid QVariant for a null).
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Horizontal: the field name; vertical: the 1-based row number.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Shows the records first.. (at most `rows` of them, fewer at the end) as the model's rows; rows < 0
    // shows every record (the default). `first` is taken within 0..recordCount() and kept across the record
    // set's changes of rows, which may leave the window short or empty until it is set again.
    void setWindow(int first, int rows);
    int windowFirst() const;
    // The record set's rows as the views last heard of them, whatever the window.
    int recordCount() const;
    // The text the model shows for a cell addressed by record row, inside or outside the window ("" for
    // a cell outside the records or one that cannot be read, which is announced as data() does).
    QString recordText(int record, int column) const;

    // Field names in field order, as the model shows them (empty while closed).
    QStringList fieldNames() const;

    // How many cell texts data() has made since the model was created: lets a view or a benchmark check
    // that only what is shown is read.
    quint64 textsMade() const;

Q_SIGNALS:
    // A cell could not be read; number and description as vq::Error.
    void cellError(int number, const QString &description);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
