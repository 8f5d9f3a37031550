#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

// The property is named EOF, which the C library defines as a macro; moc must see the name.
#ifdef Q_MOC_RUN
#undef EOF
#endif

namespace vq {

class Connection;
class Fields;

// A record set over a connection.
//
// Two cursors:
// - adOpenForwardOnly: rows stream from the driver in blocks; only MoveNext goes on (MoveFirst runs the
//   query again once the first block is gone), RecordCount is -1, Sort, Filter and Find are refused;
// - every other cursor type is a client-side static cursor: Open fetches every row into columnar storage
//   and all navigation, Sort, Filter and Find work on those rows without asking the database again.
//
// Sort, Filter and Find texts: see SortOrder.h and Criteria.h. Text is compared and sorted by the
// collation of the user's locale (QLocale(); see Collation.h): case is ignored, accents are ordered as the
// locale orders them, and LIKE 'x%' ignores accents as well ('emi%' finds "Émile"). Numbers are ordered
// with NaN above every other number. Integer and decimal columns compare with every digit of a criterion's
// number, however many it has ("= 9007199254740993" does not find 2^53); double columns compare as doubles.
// Nulls sort before every value (after them with DESC) and match only "= NULL".
// A Find whose criterion is an equality or a prefix LIKE on the first sort field positions by binary
// search; other criteria scan the rows in the current order.
//
// Values come as QVariant: integers as int or qlonglong (bool for booleans), numeric and decimal values (131,
// 14) as vq::AutomationDecimal with every digit (a column holding one that no decimal holds, such as NaN or
// 1E+40, comes as double), other numbers as double,
// dates (133) as QDate, times (134) as QTime, timestamps and automation dates as QDateTime (in UTC: stored
// times have no zone), text as QString, binary values as QByteArray, nulls as an invalid QVariant.
//
// For views such as a table model, rowCount(), value(row, column) and text(row, column) address rows by
// their position in the current sort and filter order (a row or column outside it is vq::Error 3001);
// aboutToChangeRows() and rowsChanged() bracket every change of that order or of the rows themselves.
class Recordset : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool BOF READ isBOF)
    Q_PROPERTY(bool EOF READ isEOF)
    Q_PROPERTY(qsizetype RecordCount READ RecordCount)
    Q_PROPERTY(qsizetype AbsolutePosition READ AbsolutePosition WRITE setAbsolutePosition)
    Q_PROPERTY(QString Sort READ Sort WRITE setSort)
    Q_PROPERTY(QString Filter READ Filter WRITE setFilter)
    Q_PROPERTY(QString Source READ Source)
    Q_PROPERTY(int State READ State)
    Q_PROPERTY(qsizetype MaxRecords READ MaxRecords WRITE setMaxRecords)

public:
    enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
    enum LockType {
        adLockReadOnly = 1,
        adLockPessimistic = 2,
        adLockOptimistic = 3,
        adLockBatchOptimistic = 4
    };
    enum SearchDirection { adSearchBackward = -1, adSearchForward = 1 };
    enum PositionEnum { adPosUnknown = -1, adPosBOF = -2, adPosEOF = -3 };
    enum ObjectState { adStateClosed = 0, adStateOpen = 1 };

    explicit Recordset(QObject *parent = nullptr);
    ~Recordset() override;

    // Runs `source` (an SQL statement, or a bare table name meaning all its rows) over the open
    // connection. Lock type and options are accepted; the record set never writes. A failure while
    // fetching throws after the record set has been opened with the rows fetched so far.
    Q_INVOKABLE void Open(const QString &source, vq::Connection *activeConnection,
        int cursorType = adOpenForwardOnly, int lockType = adLockReadOnly, int options = -1);
    Q_INVOKABLE void Close();
    // Runs the source again; Sort and Filter stay and apply to the new rows.
    Q_INVOKABLE void Requery();

    // Rows Open and Requery fetch at most; 0 (the default) for all. Negative values are refused (3001).
    qsizetype MaxRecords() const;
    void setMaxRecords(qsizetype maxRecords);

    // Stops the fetch of Open or Requery: from a FetchProgress handler, or from any other thread while
    // Open or Requery runs (or a forward-only MoveNext fetches its next block). The fetch then returns
    // without an error, with the rows fetched so far as an ordinary open record set, and wasCancelled() is
    // true until the next Open or Requery. A forward-only record set ends at the current block and
    // releases its statement. At any other time nothing happens: a Cancel before Open has begun or after
    // it has returned is not held over for the next fetch.
    // A Cancel while the statement still runs towards its first row (a long sort, a slow server query)
    // stops the statement itself where the database library allows it (below): Open returns an open
    // record set without rows (BOF and EOF, RecordCount 0) and without fields, since the statement never
    // said what it returns; Sort and Filter stay for the next Requery. Where it cannot be stopped, the
    // statement runs to its first row, and Open returns with its fields and no rows.
    // How soon: SQLite statements stop within microseconds, running or fetching; between blocks of rows
    // (a few milliseconds apart) the record set stops in any case. ODBC statements are sent SQLCancel from
    // another thread only for psqlODBC, which asks the server to stop; the server drops a cancel that
    // comes in the instant before the statement reaches it. Other ODBC drivers are not sent SQLCancel
    // from another thread: ODBC allows it, but drivers differ in what they free (the SQLite ODBC driver
    // frees the statement under the fetch running), and none offers a way to tell.
    Q_INVOKABLE void Cancel();
    bool wasCancelled() const;

    int State() const;
    QString Source() const;
    bool isForwardOnly() const;

    vq::Fields &Fields();
    const vq::Fields &Fields() const;

    bool isBOF() const;
    bool isEOF() const;
    Q_INVOKABLE void MoveFirst();
    Q_INVOKABLE void MoveNext();
    Q_INVOKABLE void MovePrevious();
    Q_INVOKABLE void MoveLast();
    // Moves by `records` from the current row (negative goes back); past either end stops at BOF or EOF.
    Q_INVOKABLE void Move(qsizetype records);

    // Rows that pass the filter; -1 for a forward-only cursor.
    qsizetype RecordCount() const;
    // 1-based position of the current row in the current order; adPosBOF, adPosEOF or adPosUnknown.
    qsizetype AbsolutePosition() const;
    void setAbsolutePosition(qsizetype position);
    // A row's fetch number, stable across Sort and Filter.
    qsizetype Bookmark() const;
    void setBookmark(qsizetype bookmark);

    QString Sort() const;
    // Sorts the rows (stably) and moves to the first one. An empty text restores fetch order.
    void setSort(const QString &sort);
    QString Filter() const;
    // Keeps only the rows that meet the criteria and moves to the first one; an empty text shows every
    // row. Refused criteria (vq::Error 3001) leave the previous filter in force.
    void setFilter(const QString &criteria);

    // Looks for the first row meeting one criterion, starting `skipRecords` rows away from the current
    // row (or from the row with bookmark `start` when it is not -1), forwards or backwards. With no match
    // the record set stands at EOF (forwards) or BOF (backwards). Returns whether a row was found.
    Q_INVOKABLE bool Find(const QString &criteria, qsizetype skipRecords = 0,
        int searchDirection = adSearchForward, qsizetype start = -1);

    // Rows in the current order, for views.
    qsizetype rowCount() const;
    int columnCount() const;
    QVariant value(qsizetype row, int column) const;
    bool isNull(qsizetype row, int column) const;
    // The value converted to text for display (an empty text for a null).
    QString text(qsizetype row, int column) const;
    // The current row's position in the current order (-1 at BOF, rowCount() at EOF).
    qsizetype currentRow() const;

    // Bytes held by the fetched values (the columnar storage, reserve included) and by what is made from
    // them: the sort order, the rows shown, the filter bits and the caches of searches (a prefix word a
    // row for each text column searched with like, the distinct texts of a number or date column). None
    // once the record set is closed.
    size_t storageBytes() const;

Q_SIGNALS:
    // While Open or Requery fetch a static cursor, after the first block and then every 50 ms or so (a
    // block takes a few milliseconds): rows fetched so far, and the rows
    // expected (MaxRecords, or the driver's count where it knows one; else -1). The handler may call
    // Cancel; Open, Requery and Close are refused (3251) until the fetch returns.
    void FetchProgress(qsizetype progress, qsizetype maxProgress);
    void aboutToChangeRows();
    void rowsChanged();
    void currentRowChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
