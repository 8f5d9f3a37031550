#include "helplist/DataGrid.h"

#include "data/Adodc.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"
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
#include <QScrollBar>
#include <QStyledItemDelegate>

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

    // The grid moving the record set, or the record set moving the grid: neither echoes the other.
    bool pushing = false;
    bool following = false;
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

    // Moves the grid's current cell to the record set's current record.
    void followRecord()
    {
        if (pushing)
            return;
        Recordset *rs = recordset();
        const qsizetype row = rs && rs->State() == Recordset::adStateOpen ? rs->currentRow() : -1;
        following = true;
        // Following a record moves through rows only: the columns in view stay (Order has just put its
        // column at the left edge).
        QScrollBar *across = q->horizontalScrollBar();
        const int left = across->value();
        if (row >= 0 && row < model->rowCount() && model->columnCount() > 0) {
            const QModelIndex current = q->currentIndex();
            const int col =
                current.isValid() ? current.column() : qBound(0, wantedCol, model->columnCount() - 1);
            const QModelIndex target = model->index(int(row), col);
            const bool wasInView = q->viewport()->rect().intersects(q->visualRect(target));
            q->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
            // A jump shows the found row at the top, with the rows that follow it in order below.
            q->scrollTo(
                target, wasInView ? QAbstractItemView::EnsureVisible : QAbstractItemView::PositionAtTop);
        } else if (q->currentIndex().isValid()) {
            wantedCol = q->currentIndex().column();
            q->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
        across->setValue(left);
        following = false;
        reportRowCol();
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
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
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
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        d->wantedCol = col;
        d->reportRowCol();
        return;
    }
    selectionModel()->setCurrentIndex(d->model->index(current.row(), col), QItemSelectionModel::NoUpdate);
}

QString DataGrid::Text() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? d->model->data(current).toString() : QString();
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
    QTableView::updateGeometries();
    const QHeaderView *header = horizontalHeader();
    const int shown = header->count() - header->hiddenSectionCount();
    if (shown > 0 && bar->maximum() < shown - 1)
        bar->setRange(0, shown - 1);
    if (bar->value() != left && left <= bar->maximum())
        bar->setValue(left);
}

void DataGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    // At the end of the range the base class lines the last column up with the right edge; here the
    // position always names the column at the left edge.
    if (dx != 0 && horizontalScrollMode() == QAbstractItemView::ScrollPerItem) {
        QHeaderView *header = horizontalHeader();
        const int before = header->offset();
        header->setOffsetToSectionPosition(horizontalScrollBar()->value());
        if (header->offset() != before)
            viewport()->update();
    }
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
    QTableView::currentChanged(current, previous);
    // The marked row spans every cell of both rows.
    viewport()->update();
    if (current.isValid())
        d->wantedCol = current.column();
    // Moving the current cell (keys, clicks, Col) ends the column selection; the record set moving does not.
    if (!d->following)
        d->clearColumnSelection();
    if (!d->following && current.isValid()) {
        Recordset *rs = d->recordset();
        if (rs && rs->State() == Recordset::adStateOpen && rs->currentRow() != current.row()) {
            d->pushing = true;
            try {
                rs->setAbsolutePosition(current.row() + 1);
            } catch (const vq::Error &e) {
                reportError(e);
            }
            d->pushing = false;
        }
    }
    if (!d->following)
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
