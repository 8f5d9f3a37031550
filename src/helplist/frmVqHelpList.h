#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QMenu;
class VqCancelButton;
class VqOKButton;

namespace vq {
class Adodc;
class DataGrid;
} // namespace vq

// The lookup window: fetches a caller's query through its own data control (Adodc1) into a grid
// (DataGrid1), searches the sort column as the user types into txtItem, offers the Action menu over the
// grid (hide and show columns, order, filter, remove the filter) and, on OK, hands the first five cells of
// the current row to the thread's picked values (modGeneral). VqHelpList drives it:
//
//     frmVqHelpList *w = frmVqHelpList::Load(); // the thread's window, reset for a new opening
//     w->FetchRecords(connection, query);          // never throws
//     w->showModal();                               // returns once OK, Cancel, Escape or the close box
//     unloaded it
//
// There is one window per thread, created on first use and kept for later openings; each opening starts
// from the design state (empty search and filter fields, no filter, sort column 0, "0 Fetched"), and
// unloading lets go of the fetched rows. Widgets keep the design names (txtItem, DataGrid1, VqOKButton1,
// VqCancelButton1, lblFetched, picFilter, txtFilter, lblCriteria, lblFilter, mnuPopup and its items), so
// hosts and tests find them with findChild.
//
// The commands below are what the menu items and keys run; they are public so that a host's keyboard
// shortcuts and measurements can run them too. Those that handle no failures of their own report one
// through ShowWarning and leave the window open.
class frmVqHelpList : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(short SortField READ SortField)
    Q_PROPERTY(QString FilterText READ FilterText)

public:
    ~frmVqHelpList() override;

    // The thread's window, created (hidden, not loaded) on first use.
    static frmVqHelpList *instance();
    // The load step: the window back in its design state, the picked Value cleared, SortField 0. A window
    // that is open (shown modally) cannot be loaded again: vq::Error 5.
    static frmVqHelpList *Load();

    // Fetches asQuery over aobjCon's ConnectionString (read by name) into the grid, shows the count and
    // sizes the columns. Any failure ends it silently with the steps done so far standing.
    Q_INVOKABLE void FetchRecords(QObject *aobjCon, const QString &asQuery);
    // Shows the window modally, owned by no window, with the focus in txtItem; returns once unloaded.
    void showModal();
    // Closes the window without picking and lets go of the rows; a nested showModal returns.
    Q_INVOKABLE void Unload();
    bool isOpen() const;

    // Index of the field the rows are sorted by and txtItem searches (0 = the first field).
    short SortField() const;
    // The filter on the record set, conditions joined by " and "; empty without a filter.
    QString FilterText() const;

    // Column widths from the fields' types (LookupTexts.h); a column whose width fails keeps its own.
    void AdjustColumnWidths();
    // The search of txtItem's current text, as a change of the text runs it.
    void Search();
    // The Action menu's commands.
    void HideColumns();
    void ShowAllColumns();
    void Order();
    void Filter();
    void RemoveFilter();
    // The filter of txtFilter's text on the selected column, as leaving txtFilter applies it.
    void ApplyFilter();
    // OK and Cancel.
    void PickAndUnload();

    vq::Adodc *Adodc1() const;
    vq::DataGrid *DataGrid1() const;
    QMenu *mnuPopup() const;
    // Opens the Action menu at a global position (the pointer, or the current cell from the keyboard).
    void popupMenu(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    frmVqHelpList();

    void build();
    void resetToDesign();
    void onGridGotFocus();
    void onGridKeyPress(short &keyAscii);
    void onRowColChange();
    bool windowKeyDown(QKeyEvent *event);
    bool onTxtItemKeyDown(QKeyEvent *event);
    bool onTxtFilterKey(QKeyEvent *event);
    void showFetchedCount();
    void setFetchedCaption(const QString &caption);
    void ensureActive();
    QPoint currentCellPosition() const;

    struct Private;
    std::unique_ptr<Private> d;
};
