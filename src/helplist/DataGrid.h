#pragma once

#include "helplist/DataGridColumn.h"

#include <QTableView>

#include <memory>

namespace vq {

class Adodc;
class RecordsetModel;

// The data grid: a read-only table view bound to a data control (Adodc), one column per field of the
// control's record set, rows in the record set's current sort and filter order.
//
// Binding: the grid's current row and the record set's current record follow each other. Moving in the
// grid (keys, clicks) moves the record set; moving the record set (Find, MoveFirst, Sort, Filter, Requery)
// moves the grid at once, and Refresh() repaints and follows again. At BOF or EOF the grid has no current
// row (Row() is -1); the current column is kept.
//
// Layout: the row height is fixed and nothing is sized to its contents, so a million rows open and scroll
// at once; only visible cells are read. Column widths, hidden columns and the column selection survive a
// change of the record set's rows (Sort, Filter, Requery, the data control's Refresh) as long as the field
// names stay the same; ReBind() takes the columns afresh (default widths, all visible, nothing selected).
//
// Rows in sight: the view's model holds only the rows that fit in the viewport plus the one partly shown
// below them (see RowWindow), so nothing the grid keeps grows with the record count. The vertical scroll
// bar, the keys (Up, Down, PageUp, PageDown, Ctrl+Home, Ctrl+End) and the wheel move through records;
// Row, FirstRow and cellRect count records, not the view's rows. The current row may be scrolled out of
// sight: it stays current, comes back into sight with the next key move or with the focus, and the view's
// currentIndex() is invalid meanwhile.
//
// Indexes are 0-based. A column index outside 0..ColumnCount()-1 fails with vq::Error 6148 ("Invalid column
// index"), from Columns(i) and setCol alike.
//
// Column selection: clicking a column header selects that column, shift-click extends the selection from
// the last clicked header, dragging over headers extends it too; clicking a cell or moving the current cell
// with the keys clears it; the record set moving the grid keeps it. selectColumns() does the same from code
// (Ctrl+Space selects the current column). Selected columns paint as selected; single cells are never
// selected, and the view's own selection model stays empty.
//
// The signals are the grid's events under their public names. Connect directly (same thread): handlers
// change the by-reference arguments. A handler must not throw.
class DataGrid : public QTableView
{
    Q_OBJECT
    Q_PROPERTY(int Row READ Row)
    Q_PROPERTY(int Col READ Col WRITE setCol)
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(int SelStartCol READ SelStartCol)
    Q_PROPERTY(int SelEndCol READ SelEndCol)
    Q_PROPERTY(int LeftCol READ LeftCol WRITE setLeftCol)
    Q_PROPERTY(int VisibleCols READ VisibleCols)
    Q_PROPERTY(int FirstRow READ FirstRow WRITE setFirstRow)
    Q_PROPERTY(int VisibleRows READ VisibleRows)

public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    // The data control the grid shows; nullptr unbinds (an empty grid). Binding takes the columns as
    // ReBind() does. The grid does not own the control and unbinds itself when the control is destroyed.
    void setDataSource(vq::Adodc *adodc);
    vq::Adodc *dataSource() const;
    // Takes the columns afresh from the data control's current record set.
    Q_INVOKABLE void ReBind();

    // The current row's position among the record set's rows (its sort and filter order), in sight or
    // not; -1 without a current row.
    int Row() const;
    // The current column, 0-based; -1 only while the grid has no columns. setCol makes the column current
    // in the current row (or, without a current row, the column the next current row will use).
    int Col() const;
    void setCol(int col);
    // The current cell's text ("" without a current row).
    QString Text() const;

    Q_INVOKABLE int ColumnCount() const;
    // The rows the grid scrolls through: the record set's, as the grid last heard of them.
    Q_INVOKABLE int RowCount() const;

    // The row at the top of the view (-1 without rows). setFirstRow scrolls there, as far as the rows
    // allow: at most RowCount() minus the rows that fit wholly, so the last row stands at the bottom edge;
    // a row outside is taken as the nearest.
    int FirstRow() const;
    void setFirstRow(int row);
    // Rows wholly or partly in view.
    int VisibleRows() const;
    // Where the cell of row `row` and column `col` is drawn, in viewport coordinates; an empty rectangle
    // while the row is out of sight or the column is outside.
    QRect cellRect(int row, int col) const;
    // A handle to column i; an index outside fails with vq::Error 6148.
    vq::DataGridColumn Columns(int i);

    // First and last selected column (logical indexes, SelStartCol <= SelEndCol), -1 without a selection.
    int SelStartCol() const;
    int SelEndCol() const;
    // Selects the columns first..last (either order) as header clicks would; an index outside fails with
    // vq::Error 6148.
    void selectColumns(int first, int last);
    void clearColumnSelection();

    // The left-most column in view (-1 without visible columns). setLeftCol scrolls so that `col` is at the
    // left edge; every visible column can be scrolled there, even when the columns after it leave room to
    // spare (as a sort column chosen by Order is brought to the left); a hidden column scrolls to the next
    // visible one.
    int LeftCol() const;
    void setLeftCol(int col);
    // Columns wholly or partly in view.
    int VisibleCols() const;

    // Repaints from the record set; the current row follows the record set's current record.
    Q_INVOKABLE void Refresh();

    // The model the grid reads through, a window of the record set's rows (for measurements; the grid
    // owns it).
    vq::RecordsetModel *recordsetModel() const;

    // Throws vq::Error 6148 unless `col` is one of the grid's columns.
    void checkColumn(int col) const;

    // Typing a letter in a grid of a million rows must not scan them: the grid has no type-ahead search.
    void keyboardSearch(const QString &search) override;
    // Takes the view's own index (of the rows in sight), as currentIndex() gives it.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

Q_SIGNALS:
    void GotFocus();
    // Before the grid handles a typed character (and ENTER 13, ESCAPE 27, TAB 9, BACKSPACE 8): set KeyAscii
    // to 0 to swallow the key, or to another character to have the grid handle that one instead.
    void KeyPress(short &KeyAscii);
    // The current row or column changed, by the user or by the grid following the record set.
    void RowColChange();
    // A grid error (a cell that cannot be read). Response starts at 1; leave it to have the grid report the
    // error through vq::reportError, set it to 0 to suppress that.
    void Error(short DataError, short &Response);
    // The mouse button was released over the grid, its cells or its column headers (Button 1 left, 2 right,
    // 4 middle; Shift 1 shift, 2 ctrl, 4 alt; X and Y in twips from the grid's top-left corner), after the
    // grid has handled it. The right button leaves the current cell and the column selection as they are.
    void MouseUp(short Button, short Shift, float X, float Y);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class DataGridColumn;
    // In pixels, for DataGridColumn; a hidden column keeps the width it had.
    int columnPixelWidth(int col) const;
    void setColumnPixelWidth(int col, int pixels);
    void setColumnVisible(int col, bool visible);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
