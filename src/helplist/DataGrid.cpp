#include "helplist/DataGrid.h"

#include "data/Adodc.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"
#include "helplist/RowWindow.h"
#include "platform/Error.h"
#include "platform/Twips.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <optional>

namespace vq {

namespace {

// Paints the selected columns as selected and marks the current row across all its cells, as a record
// selector would. The grid keeps the column selection itself: Qt's selection model would answer "is this
// column selected" by asking every row, on every repaint of the header.
class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(DataGrid *grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    { }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() >= m_grid->SelStartCol() && index.column() <= m_grid->SelEndCol()) {
            option->state |= QStyle::State_Selected;
        } else if (index.row() == m_grid->currentIndex().row()) {
            QColor c = option->palette.color(QPalette::Highlight);
            c.setAlpha(60);
            option->backgroundBrush = c;
        }
    }

private:
    DataGrid *m_grid;
};

class ColumnHeader : public QHeaderView
{
public:
    explicit ColumnHeader(DataGrid *grid)
        : QHeaderView(Qt::Horizontal, grid)
        , m_grid(grid)
    { }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        if (logicalIndex >= m_grid->SelStartCol() && logicalIndex <= m_grid->SelEndCol()) {
            QColor c = palette().color(QPalette::Highlight);
            c.setAlpha(110);
            painter->fillRect(rect, c);
        }
    }

private:
    DataGrid *m_grid;
};

short shiftMask(Qt::KeyboardModifiers m)
{
    return short(((m & Qt::ShiftModifier) ? 1 : 0) | ((m & Qt::ControlModifier) ? 2 : 0) |
        ((m & Qt::AltModifier) ? 4 : 0));
}

// The character code a key hands to KeyPress, 0 for keys that type nothing.
short asciiOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    default:
        break;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return 0;
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return 0;
    return short(text.at(0).unicode());
}

QKeyEvent *keyEventFor(short ascii, const QKeyEvent *original)
{
    int key = 0;
    switch (ascii) {
    case 13:
        key = Qt::Key_Return;
        break;
    case 27:
        key = Qt::Key_Escape;
        break;
    case 9:
        key = Qt::Key_Tab;
        break;
    case 8:
        key = Qt::Key_Backspace;
        break;
    default:
        key = QChar(char16_t(ascii)).toUpper().unicode();
        break;
    }
    return new QKeyEvent(QEvent::KeyPress, key, original->modifiers(), QString(QChar(char16_t(ascii))));
}

} // namespace

struct DataGrid::Private
{
    DataGrid *q;
    RecordsetModel *model;
    QPointer<Adodc> adodc;
    QMetaObject::Connection currentRecordConnection;
    QMetaObject::Connection adodcDestroyed;

    // The grid moving the record set: the record set's echo is not followed.
    bool pushing = false;
    // The grid re-aiming the view's current index at the current record (the window or the record set
    // moved): no move of the user's.
    bool aiming = false;
    // The grid, or the view's own geometry code counting in window rows, setting the vertical scroll bar:
    // not a scroll of the user's.
    bool settingBar = false;
    // A click is giving the grid the focus: the view must not pick and scroll to a current cell of its own
    // before the click picks one.
    bool mouseFocus = false;

    // The view's model holds only the rows in sight; the scroll bar and the keys count records.
    RowWindow window;
    // The current record, kept whether or not it is in sight; -1 without one.
    int currentRecord = -1;
    // The column the next current row takes while there is none.
    int wantedCol = 0;
    // Last row and column RowColChange told of; -2 forces the next one (after the rows changed).
    int reportedRow = -2;
    int reportedCol = -2;

    int selStart = -1;
    int selEnd = -1;
    int selAnchor = -1;

    // Widths of hidden columns (the header reports 0 for them), in pixels.
    QHash<int, int> hiddenWidths;

    // The layout saved across a change of rows.
    bool rebinding = false;
    QStringList savedNames;
    QList<int> savedWidths;
    QList<bool> savedHidden;
    int savedSelStart = -1;
    int savedSelEnd = -1;
    int savedSelAnchor = -1;

    Recordset *recordset() const { return model->recordset(); }

    int pixelWidth(int col) const
    {
        return q->isColumnHidden(col) ? hiddenWidths.value(col, q->horizontalHeader()->defaultSectionSize())
                                      : q->columnWidth(col);
    }

    // A record set that closes before it opens again (the data control's Refresh) passes through an empty
    // model; the layout saved before that waits for the fields to come back.
    void saveLayout()
    {
        if (model->columnCount() == 0)
            return;
        savedNames = model->fieldNames();
        savedWidths.clear();
        savedHidden.clear();
        for (int c = 0; c < model->columnCount(); ++c) {
            savedWidths.append(pixelWidth(c));
            savedHidden.append(q->isColumnHidden(c));
        }
        savedSelStart = selStart;
        savedSelEnd = selEnd;
        savedSelAnchor = selAnchor;
        if (q->currentIndex().isValid())
            wantedCol = q->currentIndex().column();
    }

    void restoreLayout()
    {
        hiddenWidths.clear();
        selStart = selEnd = selAnchor = -1;
        reportedRow = reportedCol = -2;
        if (model->columnCount() == 0)
            return;
        if (rebinding || savedNames != model->fieldNames()) {
            // The header keeps sizes and hidden flags by position across a reset; new fields start plain.
            wantedCol = 0;
            savedNames.clear();
            const int width = q->horizontalHeader()->defaultSectionSize();
            for (int c = 0; c < model->columnCount(); ++c) {
                q->setColumnHidden(c, false);
                q->setColumnWidth(c, width);
            }
            return;
        }
        for (int c = 0; c < savedWidths.size(); ++c) {
            q->setColumnWidth(c, savedWidths.at(c));
            if (savedHidden.at(c)) {
                hiddenWidths.insert(c, savedWidths.at(c));
                q->setColumnHidden(c, true);
            }
        }
        if (savedSelStart >= 0) {
            showColumnSelection(savedSelStart, savedSelEnd);
            selAnchor = savedSelAnchor;
        }
    }

    void showColumnSelection(int first, int last)
    {
        selStart = first;
        selEnd = last;
        selAnchor = first;
        repaintSelection();
    }

    void clearColumnSelection()
    {
        if (selStart < 0)
            return;
        selStart = selEnd = selAnchor = -1;
        repaintSelection();
    }

    void repaintSelection()
    {
        q->viewport()->update();
        q->horizontalHeader()->viewport()->update();
    }

    int pageRows() const
    {
        const int rowHeight = qMax(1, q->verticalHeader()->defaultSectionSize());
        return qMax(1, q->viewport()->height() / rowHeight);
    }

    // Puts the model's rows, the scroll bar and the view's current index in line with `window`.
    void applyWindow()
    {
        window = window.clamped();
        // Rows leaving the model take the view's current index along; it is aimed again below.
        const QScopedValueRollback guard(aiming, true);
        model->setWindow(window.top, window.page + 1);
        syncScrollBar();
        aimCurrent();
    }

    void moveTop(int top)
    {
        if (top == window.top)
            return;
        window.top = top;
        applyWindow();
        q->viewport()->update();
    }

    void syncScrollBar()
    {
        const QScopedValueRollback guard(settingBar, true);
        QScrollBar *bar = q->verticalScrollBar();
        bar->setRange(0, window.maxTop());
        bar->setPageStep(window.page);
        bar->setValue(window.top);
        // The view's own geometry code sets its row header's offset from the bar it left in window rows;
        // the rows never scroll inside the viewport.
        if (q->verticalHeader()->offset() != 0) {
            q->verticalHeader()->setOffset(0);
            q->viewport()->update();
        }
    }

    // The view's current index: the current record's cell while it is in the window, none otherwise.
    void aimCurrent()
    {
        const int row = window.rowOf(currentRecord);
        const int columns = model->columnCount();
        const QModelIndex target =
            row >= 0 && columns > 0 ? model->index(row, qBound(0, wantedCol, columns - 1)) : QModelIndex();
        if (target == q->currentIndex())
            return;
        const QScopedValueRollback guard(aiming, true);
        q->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    }

    // Brings the current record into sight, or the first one without a current record.
    void showCurrent() { moveTop(window.topFor(qMax(0, currentRecord), RowWindow::Place::Visible)); }

    // Moves the grid's current cell to the record set's current record. Following a record moves through
    // rows only: the columns in view stay (Order has just put its column at the left edge).
    void followRecord()
    {
        if (pushing)
            return;
        Recordset *rs = recordset();
        const qsizetype row = rs && rs->State() == Recordset::adStateOpen ? rs->currentRow() : -1;
        if (row >= 0 && row < window.count && model->columnCount() > 0) {
            currentRecord = int(row);
            // A jump shows the found row at the top, with the rows that follow it in order below; a row
            // already in sight is only brought wholly into view.
            const bool inSight = window.rowOf(currentRecord) >= 0;
            window.top =
                window.topFor(currentRecord, inSight ? RowWindow::Place::Visible : RowWindow::Place::Top);
        } else {
            currentRecord = -1;
        }
        applyWindow();
        q->viewport()->update();
        reportRowCol();
    }

    // The first or last column that is not hidden, -1 without one.
    int edgeColumn(bool last) const
    {
        const QHeaderView *header = q->horizontalHeader();
        const int count = header->count();
        for (int i = 0; i < count; ++i) {
            const int logical = header->logicalIndex(last ? count - 1 - i : i);
            if (!header->isSectionHidden(logical))
                return logical;
        }
        return -1;
    }

    void reportRowCol()
    {
        const int row = q->Row();
        const int col = q->Col();
        if (row == reportedRow && col == reportedCol)
            return;
        reportedRow = row;
        reportedCol = col;
        Q_EMIT q->RowColChange();
    }

    void reportMouseUp(const QMouseEvent *event, const QWidget *from)
    {
        short button = 0;
        switch (event->button()) {
        case Qt::LeftButton:
            button = 1;
            break;
        case Qt::RightButton:
            button = 2;
            break;
        case Qt::MiddleButton:
            button = 4;
            break;
        default:
            break;
        }
        const QPoint p = from->mapTo(q, event->position().toPoint());
        Q_EMIT q->MouseUp(button, shiftMask(event->modifiers()), float(twips::fromPixelsX(p.x(), q)),
            float(twips::fromPixelsY(p.y(), q)));
    }

    void headerPressed(int column)
    {
        const bool extend = (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) && selAnchor >= 0;
        if (!extend)
            selAnchor = column;
        selStart = qMin(selAnchor, column);
        selEnd = qMax(selAnchor, column);
        repaintSelection();
    }

    void headerEntered(int column)
    {
        if (selAnchor < 0 || !(QGuiApplication::mouseButtons() & Qt::LeftButton))
            return;
        selStart = qMin(selAnchor, column);
        selEnd = qMax(selAnchor, column);
        repaintSelection();
    }
};

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent)
    , d(std::make_unique<Private>())
{
    d->q = this;
    d->model = new RecordsetModel(this);
    setModel(d->model);
    setHorizontalHeader(new ColumnHeader(this));
    setItemDelegate(new GridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Cells are not selected; columns are, by their headers, and the grid keeps that range itself.
    setSelectionMode(QAbstractItemView::NoSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSortingEnabled(false);
    // Per-row sizes would be measured over every row; a fixed height keeps a million rows instant.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);

    // Header clicks select columns the grid's way instead of the view's.
    disconnect(horizontalHeader(), &QHeaderView::sectionPressed, this, nullptr);
    disconnect(horizontalHeader(), &QHeaderView::sectionEntered, this, nullptr);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this](int c) { d->headerPressed(c); });
    connect(horizontalHeader(), &QHeaderView::sectionEntered, this, [this](int c) { d->headerEntered(c); });
    connect(d->model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { d->saveLayout(); });
    connect(d->model, &QAbstractItemModel::modelReset, this, [this] {
        d->restoreLayout();
        d->window.count = d->model->recordCount();
        if (d->rebinding)
            d->window.top = 0;
        d->followRecord();
    });
    connect(d->model, &RecordsetModel::cellError, this, [this](int number, const QString &description) {
        short response = 1;
        Q_EMIT Error(short(number), response);
        if (response != 0)
            reportError(vq::Error(number, description));
    });
}

DataGrid::~DataGrid()
{
    disconnect(d->currentRecordConnection);
    disconnect(d->adodcDestroyed);
}

void DataGrid::setDataSource(Adodc *adodc)
{
    disconnect(d->currentRecordConnection);
    disconnect(d->adodcDestroyed);
    d->adodc = adodc;
    if (adodc) {
        d->currentRecordConnection =
            connect(adodc->Recordset(), &Recordset::currentRowChanged, this, [this] { d->followRecord(); });
        d->adodcDestroyed = connect(adodc, &QObject::destroyed, this, [this] { setDataSource(nullptr); });
    }
    ReBind();
}

Adodc *DataGrid::dataSource() const
{
    return d->adodc;
}

void DataGrid::ReBind()
{
    d->rebinding = true;
    d->savedNames.clear();
    d->model->setRecordset(d->adodc ? d->adodc->Recordset() : nullptr);
    d->rebinding = false;
}

int DataGrid::Row() const
{
    return d->currentRecord;
}

int DataGrid::Col() const
{
    const int columns = d->model->columnCount();
    if (columns == 0)
        return -1;
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : qBound(0, d->wantedCol, columns - 1);
}

void DataGrid::setCol(int col)
{
    checkColumn(col);
    if (d->currentRecord < 0) {
        d->wantedCol = col;
        d->reportRowCol();
        return;
    }
    // The current cell comes into view, as it does when the view moves it.
    d->showCurrent();
    selectionModel()->setCurrentIndex(
        d->model->index(d->window.rowOf(d->currentRecord), col), QItemSelectionModel::NoUpdate);
}

QString DataGrid::Text() const
{
    return d->currentRecord < 0 ? QString() : d->model->recordText(d->currentRecord, Col());
}

int DataGrid::RowCount() const
{
    return d->window.count;
}

int DataGrid::FirstRow() const
{
    return d->window.count > 0 ? d->window.top : -1;
}

void DataGrid::setFirstRow(int row)
{
    d->moveTop(qBound(0, row, d->window.maxTop()));
}

int DataGrid::VisibleRows() const
{
    const int rowHeight = qMax(1, verticalHeader()->defaultSectionSize());
    return qMin(d->window.size(), (viewport()->height() + rowHeight - 1) / rowHeight);
}

QRect DataGrid::cellRect(int row, int col) const
{
    const int windowRow = d->window.rowOf(row);
    if (windowRow < 0 || col < 0 || col >= d->model->columnCount())
        return QRect();
    return visualRect(d->model->index(windowRow, col));
}

int DataGrid::ColumnCount() const
{
    return d->model->columnCount();
}

DataGridColumn DataGrid::Columns(int i)
{
    checkColumn(i);
    return DataGridColumn(this, i);
}

void DataGrid::checkColumn(int col) const
{
    if (col < 0 || col >= d->model->columnCount())
        throw vq::Error(vq::Error::InvalidColumnIndex);
}

int DataGrid::SelStartCol() const
{
    return d->selStart;
}

int DataGrid::SelEndCol() const
{
    return d->selEnd;
}

void DataGrid::selectColumns(int first, int last)
{
    checkColumn(first);
    checkColumn(last);
    d->showColumnSelection(qMin(first, last), qMax(first, last));
    d->selAnchor = first;
}

void DataGrid::clearColumnSelection()
{
    d->clearColumnSelection();
}

int DataGrid::LeftCol() const
{
    if (d->model->columnCount() == 0)
        return -1;
    const_cast<DataGrid *>(this)->updateGeometries();
    return horizontalHeader()->logicalIndexAt(0);
}

void DataGrid::setLeftCol(int col)
{
    checkColumn(col);
    // The horizontal scroll value counts the visible columns left of the one at the edge.
    const QHeaderView *header = horizontalHeader();
    const int visual = header->visualIndex(col);
    int before = 0;
    for (int v = 0; v < visual; ++v)
        before += header->isSectionHidden(header->logicalIndex(v)) ? 0 : 1;
    updateGeometries();
    horizontalScrollBar()->setValue(before);
}

void DataGrid::updateGeometries()
{
    // The horizontal range reaches the last visible column, so that any column can stand at the left;
    // the base class would clamp the position to the columns that fill the view.
    QScrollBar *bar = horizontalScrollBar();
    const int left = bar->value();
    {
        // The view sets the vertical bar in window rows; the grid sets it in records below.
        const QScopedValueRollback guard(d->settingBar, true);
        QTableView::updateGeometries();
    }
    // The window is what the viewport's height holds; a change of height is rows added or taken at its end.
    d->window.page = d->pageRows();
    d->applyWindow();
    const QHeaderView *header = horizontalHeader();
    const int shown = header->count() - header->hiddenSectionCount();
    if (shown > 0 && bar->maximum() < shown - 1)
        bar->setRange(0, shown - 1);
    if (bar->value() != left && left <= bar->maximum())
        bar->setValue(left);
}

void DataGrid::scrollContentsBy(int dx, int dy)
{
    if (dx != 0) {
        QTableView::scrollContentsBy(dx, 0);
        // At the end of the range the base class lines the last column up with the right edge; here the
        // position always names the column at the left edge.
        if (horizontalScrollMode() == QAbstractItemView::ScrollPerItem) {
            QHeaderView *header = horizontalHeader();
            const int before = header->offset();
            header->setOffsetToSectionPosition(horizontalScrollBar()->value());
            if (header->offset() != before)
                viewport()->update();
        }
    }
    // Up and down the view never scrolls: the vertical bar's value is the first record in sight, and the
    // window moves under the view instead (the wheel and the bar's drag come here too).
    if (dy != 0 && !d->settingBar)
        d->moveTop(verticalScrollBar()->value());
}

void DataGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // Re-aiming the current index at a record moves nothing: whoever moved the window placed it.
    if (d->aiming || !index.isValid() || index.model() != d->model)
        return;
    const int record = d->window.recordAt(index.row());
    if (record < 0)
        return;
    {
        // Across, the view scrolls as it would; up and down it would count in window rows.
        const QScopedValueRollback guard(d->settingBar, true);
        QTableView::scrollTo(index, hint);
    }
    RowWindow::Place place = RowWindow::Place::Visible;
    switch (hint) {
    case PositionAtTop:
        place = RowWindow::Place::Top;
        break;
    case PositionAtBottom:
        place = RowWindow::Place::Bottom;
        break;
    case PositionAtCenter:
        place = RowWindow::Place::Center;
        break;
    case EnsureVisible:
        break;
    }
    d->moveTop(d->window.topFor(record, place));
    // The view's own scrolling left the bar in window rows.
    d->syncScrollBar();
}

QModelIndex DataGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    using Move = RowWindow::Move;
    const bool ctrl = modifiers & Qt::ControlModifier;
    std::optional<Move> move;
    switch (action) {
    case MoveUp:
        move = Move::Up;
        break;
    case MoveDown:
        move = Move::Down;
        break;
    case MovePageUp:
        move = Move::PageUp;
        break;
    case MovePageDown:
        move = Move::PageDown;
        break;
    case MoveHome:
        move = ctrl ? std::optional(Move::First) : std::nullopt;
        break;
    case MoveEnd:
        move = ctrl ? std::optional(Move::Last) : std::nullopt;
        break;
    default:
        break;
    }
    if (d->window.count == 0 || d->model->columnCount() == 0 || d->mouseFocus)
        return QModelIndex();
    if (!move) {
        // Across the row, the view's own moves, in the current row brought into sight first (without a
        // current row the view starts from the first record).
        d->showCurrent();
        return QTableView::moveCursor(action, modifiers);
    }
    const int target = d->window.recordAfter(d->currentRecord, *move);
    // Ctrl+Home and Ctrl+End go to a corner, and a first current row starts in the first column.
    int col = Col();
    if (d->currentRecord < 0 || *move == Move::First)
        col = d->edgeColumn(false);
    else if (*move == Move::Last)
        col = d->edgeColumn(true);
    if (col < 0)
        return QModelIndex();
    d->moveTop(d->window.topFor(target, RowWindow::Place::Visible));
    return d->model->index(d->window.rowOf(target), col);
}

int DataGrid::VisibleCols() const
{
    const int left = LeftCol();
    if (left < 0)
        return 0;
    const QHeaderView *header = horizontalHeader();
    const int width = viewport()->width();
    int count = 0;
    for (int v = header->visualIndex(left); v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (header->isSectionHidden(logical))
            continue;
        if (header->sectionViewportPosition(logical) >= width)
            break;
        ++count;
    }
    return count;
}

void DataGrid::Refresh()
{
    d->followRecord();
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

RecordsetModel *DataGrid::recordsetModel() const
{
    return d->model;
}

void DataGrid::keyboardSearch(const QString &search)
{
    Q_UNUSED(search);
}

void DataGrid::focusInEvent(QFocusEvent *event)
{
    // A current row scrolled out of sight comes back with the focus; a click chooses its own row.
    if (event->reason() != Qt::MouseFocusReason && d->currentRecord >= 0 &&
        d->window.rowOf(d->currentRecord) < 0)
        d->showCurrent();
    const QScopedValueRollback guard(d->mouseFocus, event->reason() == Qt::MouseFocusReason);
    QTableView::focusInEvent(event);
    Q_EMIT GotFocus();
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    try {
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::ControlModifier) {
            // The keyboard's way to select a column, which otherwise takes a header click.
            if (const int col = Col(); col >= 0)
                selectColumns(col, col);
            event->accept();
            return;
        }
        const short original = asciiOf(event);
        short ascii = original;
        if (ascii != 0)
            Q_EMIT KeyPress(ascii);
        if (original != 0 && ascii == 0) {
            event->accept();
            return;
        }
        if (ascii != original) {
            std::unique_ptr<QKeyEvent> replaced(keyEventFor(ascii, event));
            QTableView::keyPressEvent(replaced.get());
            // What the grid leaves goes on to its window as the replaced key, as the original would have.
            if (!replaced->isAccepted() && parentWidget() && !isWindow()) {
                replaced->accept();
                QCoreApplication::sendEvent(parentWidget(), replaced.get());
            }
            event->accept();
            return;
        }
        QTableView::keyPressEvent(event);
    } catch (const vq::Error &e) {
        reportError(e);
    }
}

void DataGrid::mousePressEvent(QMouseEvent *event)
{
    // The right button opens the window's menu on release; it must not move the current cell or drop the
    // columns just selected for a command of that menu.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    // A click on a cell, the current one included, ends the column selection.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        d->clearColumnSelection();
    QTableView::mousePressEvent(event);
}

void DataGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton)
        QTableView::mouseReleaseEvent(event);
    d->reportMouseUp(event, viewport());
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event)
{
    // A release over the column headers is a release over the grid as well.
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease)
        d->reportMouseUp(static_cast<QMouseEvent *>(event), horizontalHeader()->viewport());
    return QTableView::eventFilter(watched, event);
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // Taken first: the base class scrolls to the new cell, and the window moving re-aims the index at the
    // current record.
    if (!d->aiming && current.isValid()) {
        d->wantedCol = current.column();
        d->currentRecord = d->window.recordAt(current.row());
    }
    QTableView::currentChanged(current, previous);
    // The marked row spans every cell of both rows.
    viewport()->update();
    // The grid re-aiming the index at the current record (the window or the record set moved) is no move.
    if (d->aiming)
        return;
    // Moving the current cell (keys, clicks, Col) ends the column selection; the record set moving does not.
    d->clearColumnSelection();
    if (current.isValid()) {
        Recordset *rs = d->recordset();
        if (rs && rs->State() == Recordset::adStateOpen && rs->currentRow() != d->currentRecord) {
            const QScopedValueRollback guard(d->pushing, true);
            try {
                rs->setAbsolutePosition(d->currentRecord + 1);
            } catch (const vq::Error &e) {
                reportError(e);
            }
        }
    }
    d->reportRowCol();
}

int DataGrid::columnPixelWidth(int col) const
{
    checkColumn(col);
    return d->pixelWidth(col);
}

void DataGrid::setColumnPixelWidth(int col, int pixels)
{
    checkColumn(col);
    if (isColumnHidden(col))
        d->hiddenWidths.insert(col, pixels);
    setColumnWidth(col, pixels);
}

void DataGrid::setColumnVisible(int col, bool visible)
{
    checkColumn(col);
    if (visible == !isColumnHidden(col))
        return;
    if (!visible)
        d->hiddenWidths.insert(col, columnWidth(col));
    setColumnHidden(col, !visible);
    // The header forgets a width set while hidden; give it back.
    if (visible)
        setColumnWidth(col, d->hiddenWidths.take(col));
}

} // namespace vq
