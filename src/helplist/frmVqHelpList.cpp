#include "helplist/frmVqHelpList.h"

#include "buttons/CommandButtons.h"
#include "data/Adodc.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "frame/modGeneral.h"
#include "helplist/DataGrid.h"
#include "helplist/LookupTexts.h"
#include "platform/Error.h"
#include "platform/Screen.h"
#include "platform/SendKeys.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScopedValueRollback>

#include <exception>
#include <functional>
#include <memory>
#include <utility>

using namespace vq;
using namespace vq::helplist;

namespace {

thread_local QPointer<frmVqHelpList> threadWindow;

// Runs one step whose failure is ignored, so that the next step runs.
template<typename F>
void ignoringFailure(F &&step)
{
    try {
        step();
    } catch (const std::exception &) {
        // The step's failure is part of the design: the next step runs.
    }
}

// A command that handles no failures of its own: a failure is shown, and the window stays open.
template<typename F>
void warningOnFailure(F &&command)
{
    try {
        command();
    } catch (const Error &e) {
        QString message = e.description();
        modGeneral::ShowWarning(message);
    } catch (const std::exception &e) {
        QString message = QString::fromLocal8Bit(e.what());
        modGeneral::ShowWarning(message);
    }
}

QFont windowFont()
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    return font;
}

bool isReturn(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The window's first look at every key typed into it, before the widget with the focus sees it.
class KeyPreview : public QObject
{
public:
    KeyPreview(QWidget *window, std::function<bool(QKeyEvent *)> keyDown)
        : QObject(window)
        , m_window(window)
        , m_keyDown(std::move(keyDown))
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // An untaken key goes on to the parents and passes here again; the window only takes keys, so
        // seeing one twice does no harm.
        if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window)
            return m_keyDown(static_cast<QKeyEvent *>(event));
        return false;
    }

private:
    QWidget *m_window;
    std::function<bool(QKeyEvent *)> m_keyDown;
};

} // namespace

struct frmVqHelpList::Private
{
    QLineEdit *txtItem = nullptr;
    DataGrid *grid = nullptr;
    VqOKButton *ok = nullptr;
    VqCancelButton *cancel = nullptr;
    QLabel *lblFetched = nullptr;
    QFrame *picFilter = nullptr;
    QLineEdit *txtFilter = nullptr;
    QLabel *lblCriteria = nullptr;
    QLabel *lblFilter = nullptr;
    Adodc *adodc = nullptr;
    QMenu *menu = nullptr;
    KeyPreview *keyPreview = nullptr;

    short sortField = 0;
    QString filterText;

    QEventLoop *loop = nullptr;
    bool open = false;
    // Escape hides the panel without applying what was typed; applying hides it too and must not
    // apply again when the focus leaves txtFilter on the way.
    bool leavingFilterQuietly = false;

    Recordset *recordset() const { return adodc->Recordset(); }
};

frmVqHelpList::frmVqHelpList()
    : QWidget(nullptr, Qt::Window)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("frmVqHelpList"));
    build();
    resetToDesign();
}

frmVqHelpList::~frmVqHelpList()
{
    // The grid reads the record set while it goes; unbind it before the data control does.
    d->grid->setDataSource(nullptr);
}

frmVqHelpList *frmVqHelpList::instance()
{
    if (!threadWindow) {
        threadWindow = new frmVqHelpList;
        // Widgets must go while the application still stands; post routines run first in its destructor.
        qAddPostRoutine([] { delete threadWindow.data(); });
    }
    return threadWindow;
}

void frmVqHelpList::build()
{
    setWindowTitle(QStringLiteral("Help"));
    setFont(windowFont());
    setFixedSize(twips::toPixelsX(7005, this), twips::toPixelsY(6405, this));

    d->adodc = new Adodc(this);
    d->adodc->setObjectName(QStringLiteral("Adodc1"));

    d->txtItem = new QLineEdit(this);
    d->txtItem->setObjectName(QStringLiteral("txtItem"));
    twips::setGeometry(d->txtItem, 0, 45, 6990, 315);

    d->grid = new DataGrid(this);
    d->grid->setObjectName(QStringLiteral("DataGrid1"));
    twips::setGeometry(d->grid, 0, 435, 6990, 5355);
    d->grid->setDataSource(d->adodc);

    d->ok = new VqOKButton(this);
    d->ok->setObjectName(QStringLiteral("VqOKButton1"));
    twips::setGeometry(d->ok, 2325, 5865, 1125, 495);
    d->cancel = new VqCancelButton(this);
    d->cancel->setObjectName(QStringLiteral("VqCancelButton1"));
    twips::setGeometry(d->cancel, 3555, 5865, 1125, 495);

    d->lblFetched = new QLabel(this);
    d->lblFetched->setObjectName(QStringLiteral("lblFetched"));
    twips::setGeometry(d->lblFetched, 30, 5820, 825, 195);

    // The filter panel lies over the grid: a raised box with a title band.
    d->picFilter = new QFrame(this);
    d->picFilter->setObjectName(QStringLiteral("picFilter"));
    twips::setGeometry(d->picFilter, 1200, 1395, 4920, 1725);
    d->picFilter->setFrameStyle(QFrame::Panel | QFrame::Raised);
    d->picFilter->setAutoFillBackground(true);
    d->picFilter->setFocusPolicy(Qt::TabFocus);
    auto *shaPic = new QFrame(d->picFilter);
    shaPic->setObjectName(QStringLiteral("ShaPic"));
    twips::setGeometry(shaPic, 0, 0, 4920, 255);
    shaPic->setStyleSheet(QStringLiteral("background-color: palette(highlight);"));
    auto *shape1 = new QFrame(d->picFilter);
    shape1->setObjectName(QStringLiteral("Shape1"));
    twips::setGeometry(shape1, 75, 330, 4770, 1305);
    shape1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    d->lblCriteria = new QLabel(QStringLiteral("Enter Criteria"), d->picFilter);
    d->lblCriteria->setObjectName(QStringLiteral("lblCriteria"));
    twips::setGeometry(d->lblCriteria, 0, 0, 1155, 195);
    d->lblCriteria->setStyleSheet(QStringLiteral("color: palette(highlighted-text);"));
    d->lblFilter = new QLabel(d->picFilter);
    d->lblFilter->setObjectName(QStringLiteral("lblFilter"));
    twips::setGeometry(d->lblFilter, 135, 450, 60, 195);
    d->txtFilter = new QLineEdit(d->picFilter);
    d->txtFilter->setObjectName(QStringLiteral("txtFilter"));
    twips::setGeometry(d->txtFilter, 135, 780, 4560, 315);

    setTabOrder(d->txtItem, d->grid);
    setTabOrder(d->grid, d->ok);
    setTabOrder(d->ok, d->cancel);
    setTabOrder(d->cancel, d->picFilter);
    setTabOrder(d->picFilter, d->txtFilter);

    d->menu = new QMenu(QStringLiteral("Action"), this);
    d->menu->setObjectName(QStringLiteral("mnuPopup"));
    const struct
    {
        const char *name;
        const char *caption;
        void (frmVqHelpList::*command)();
    } items[] = {
        {"mnuHide", "&Hide Columns", &frmVqHelpList::HideColumns},
        {"mnuShowAll", "&Show All Columns", &frmVqHelpList::ShowAllColumns},
        {"mnuOrder", "&Order", &frmVqHelpList::Order},
        {"mnuSep", nullptr, nullptr},
        {"mnuFilter", "&Filter", &frmVqHelpList::Filter},
        {"mnuRemFilter", "&Remove Filter", &frmVqHelpList::RemoveFilter},
    };
    for (const auto &item : items) {
        QAction *action =
            item.caption ? d->menu->addAction(QString::fromLatin1(item.caption)) : d->menu->addSeparator();
        action->setObjectName(QString::fromLatin1(item.name));
        if (item.command)
            connect(action, &QAction::triggered, this, item.command);
    }

    connect(d->txtItem, &QLineEdit::textChanged, this, &frmVqHelpList::Search);
    connect(d->ok, &VqOKButton::Click, this, &frmVqHelpList::PickAndUnload);
    connect(d->cancel, &VqCancelButton::Click, this, &frmVqHelpList::Unload);
    connect(d->grid, &DataGrid::GotFocus, this, &frmVqHelpList::onGridGotFocus);
    connect(d->grid, &DataGrid::KeyPress, this, &frmVqHelpList::onGridKeyPress);
    connect(d->grid, &DataGrid::RowColChange, this, &frmVqHelpList::onRowColChange);
    // The grid's own messages stay unseen: the lookup shows what it can and goes on.
    connect(d->grid, &DataGrid::Error, this, [](short, short &response) { response = 0; });
    connect(d->grid, &DataGrid::MouseUp, this, [this](short button, short, float x, float y) {
        if (button == 2)
            popupMenu(d->grid->mapToGlobal(
                QPoint(twips::toPixelsX(int(x), d->grid), twips::toPixelsY(int(y), d->grid))));
    });
    d->keyPreview = new KeyPreview(this, [this](QKeyEvent *key) {
        try {
            return windowKeyDown(key);
        } catch (const Error &e) {
            reportError(e);
        }
        return true;
    });
    d->txtItem->installEventFilter(this);
    d->txtFilter->installEventFilter(this);
    d->picFilter->installEventFilter(this);
    d->grid->installEventFilter(this);
}

void frmVqHelpList::resetToDesign()
{
    {
        const QSignalBlocker quiet(d->txtItem);
        d->txtItem->clear();
    }
    d->txtFilter->clear();
    d->picFilter->hide();
    d->lblFilter->clear();
    setFetchedCaption(fetchedCaption(0));
    d->sortField = 0;
    d->filterText.clear();
    ignoringFailure([this] { d->recordset()->Close(); });
    ignoringFailure([this] { d->grid->ReBind(); });
}

frmVqHelpList *frmVqHelpList::Load()
{
    frmVqHelpList *window = instance();
    if (window->isOpen())
        throw Error(Error::InvalidProcedureCall,
            QStringLiteral("The lookup window is already open; it cannot be loaded again until it closes"));
    Screen::setMousePointer(Screen::Hourglass);
    window->resetToDesign();
    modGeneral::SetPickedValue(1, QString()); // only Value: the others keep the previous pick
    Screen::setMousePointer(Screen::Arrow);
    return window;
}

void frmVqHelpList::FetchRecords(QObject *aobjCon, const QString &asQuery)
{
    try {
        Screen::setMousePointer(Screen::Hourglass);
        const QVariant connectionString = aobjCon ? aobjCon->property("ConnectionString") : QVariant();
        if (!connectionString.isValid())
            throw Error(Error::PropertyNotSupported);
        d->adodc->setConnectionString(connectionString.toString());
        d->adodc->setRecordSource(asQuery);
        d->adodc->Refresh();
        d->grid->ReBind();
        showFetchedCount();
        QCoreApplication::processEvents();
        AdjustColumnWidths();
        Recordset *rs = d->recordset();
        rs->setSort(rs->Fields().Item(d->sortField).Name());
    } catch (const std::exception &) {
        // Fetching ends silently at the first failure; what it did so far stands.
    }
    Screen::setMousePointer(Screen::Arrow);
}

void frmVqHelpList::showModal()
{
    if (d->open)
        throw Error(Error::InvalidProcedureCall, QStringLiteral("The lookup window is already open"));
    d->open = true;
    setWindowModality(Qt::ApplicationModal);
    qApp->installEventFilter(d->keyPreview);
    d->txtItem->setFocus(Qt::OtherFocusReason);
    show();
    raise();
    ensureActive();
    QEventLoop loop;
    d->loop = &loop;
    QPointer<frmVqHelpList> guard(this);
    loop.exec(QEventLoop::DialogExec);
    if (guard)
        d->loop = nullptr;
}

void frmVqHelpList::Unload()
{
    qApp->removeEventFilter(d->keyPreview);
    hide();
    d->open = false;
    resetToDesign();
    if (d->loop)
        d->loop->exit(0);
}

bool frmVqHelpList::isOpen() const
{
    return d->open;
}

short frmVqHelpList::SortField() const
{
    return d->sortField;
}

QString frmVqHelpList::FilterText() const
{
    return d->filterText;
}

vq::Adodc *frmVqHelpList::Adodc1() const
{
    return d->adodc;
}

vq::DataGrid *frmVqHelpList::DataGrid1() const
{
    return d->grid;
}

QMenu *frmVqHelpList::mnuPopup() const
{
    return d->menu;
}

void frmVqHelpList::showFetchedCount()
{
    setFetchedCaption(fetchedCaption(d->recordset()->RecordCount()));
}

void frmVqHelpList::setFetchedCaption(const QString &caption)
{
    d->lblFetched->setText(caption);
    // The design width holds a count of a few digits; a larger count widens the label rather than losing
    // its last characters (the buttons stand well to the right).
    d->lblFetched->resize(qMax(twips::toPixelsX(825, d->lblFetched), d->lblFetched->sizeHint().width()),
        d->lblFetched->height());
}

void frmVqHelpList::AdjustColumnWidths()
{
    int columns = 0;
    ignoringFailure([&] { columns = d->grid->ColumnCount(); });
    for (int i = 0; i < columns; ++i) {
        ignoringFailure([&] {
            const Field &field = d->recordset()->Fields().Item(i);
            d->grid->Columns(i).setWidth(columnWidthTwips(field.Type(), field.DefinedSize()));
        });
    }
}

void frmVqHelpList::Search()
{
    try {
        Recordset *rs = d->recordset();
        if (rs->isBOF())
            return;
        if (rs->isEOF())
            rs->MoveFirst();
        // A change made by code (the mirror of the current cell) must not move the grid.
        if (focusWidget() != d->txtItem)
            return;
        rs->MoveFirst();
        const Field &field = rs->Fields().Item(d->sortField);
        const QString criterion = searchCriterion(field.Name(), field.Type(), d->txtItem->text());
        if (isEmptyLike(criterion))
            rs->MoveFirst();
        else
            rs->Find(criterion, 0, Recordset::adSearchForward);
        d->grid->Refresh();
    } catch (const std::exception &) {
        // A search that cannot run (a criterion the record set refuses) leaves the position it reached.
    }
}

void frmVqHelpList::PickAndUnload()
{
    ignoringFailure([this] {
        if (d->grid->Row() == -1)
            return;
        // With fewer than five columns the last one stays current and fills the remaining values.
        for (int i = 0; i < 5; ++i) {
            ignoringFailure([&] { d->grid->setCol(i); });
            ignoringFailure([&] { modGeneral::SetPickedValue(i + 1, QVariant(d->grid->Text())); });
        }
    });
    Unload();
}

void frmVqHelpList::onGridGotFocus()
{
    ignoringFailure([this] { d->picFilter->hide(); });
    ignoringFailure([this] {
        Recordset *rs = d->recordset();
        if (rs->isBOF() || rs->isEOF()) {
            rs->MoveFirst();
            d->grid->Refresh();
        }
    });
    ignoringFailure([this] {
        // Down and back up marks the current row and raises the row change that mirrors its text.
        if (d->grid->Row() != -1) {
            // The grid took the focus from a click on a column header as often as not; the columns that
            // click selects are what the menu acts on, so the two moves must leave them selected.
            auto selection = std::make_shared<std::pair<int, int>>(-1, -1);
            QMetaObject::invokeMethod(
                this,
                [this, selection] {
                    *selection = {d->grid->SelStartCol(), d->grid->SelEndCol()};
                },
                Qt::QueuedConnection);
            SendKeys(QStringLiteral("{DOWN}"));
            SendKeys(QStringLiteral("{UP}"));
            QMetaObject::invokeMethod(
                this,
                [this, selection] {
                    ignoringFailure([&] {
                        if (selection->first != -1 && d->grid->SelStartCol() == -1)
                            d->grid->selectColumns(selection->first, selection->second);
                    });
                },
                Qt::QueuedConnection);
        }
    });
}

void frmVqHelpList::onGridKeyPress(short &keyAscii)
{
    // The first ENTER goes to OK, so that picking a row takes a second one.
    if (keyAscii == 13) {
        keyAscii = 0;
        d->ok->setFocus(Qt::OtherFocusReason);
    }
}

void frmVqHelpList::onRowColChange()
{
    ignoringFailure([this] {
        // The grid must hold the focus now: a window being filled before it is shown still remembers the
        // grid as its focus from the last time it was open.
        if (d->grid->Row() == -1 || QApplication::focusWidget() != d->grid)
            return;
        d->txtItem->setText(d->grid->Text());
    });
}

void frmVqHelpList::HideColumns()
{
    warningOnFailure([this] {
        DataGrid *grid = d->grid;
        if (grid->VisibleCols() < 2 || grid->SelStartCol() == -1)
            return;
        for (int i = grid->SelStartCol(); i <= grid->SelEndCol(); ++i)
            grid->Columns(i).setVisible(false);
        for (int i = 0; i < grid->ColumnCount(); ++i) {
            if (grid->Columns(i).Visible())
                return;
        }
        grid->Columns(0).setVisible(true);
    });
}

void frmVqHelpList::ShowAllColumns()
{
    warningOnFailure([this] {
        for (int i = 0; i < d->grid->ColumnCount(); ++i)
            d->grid->Columns(i).setVisible(true);
        d->grid->Refresh();
    });
}

void frmVqHelpList::Order()
{
    warningOnFailure([this] {
        DataGrid *grid = d->grid;
        if (grid->SelStartCol() == -1)
            return;
        grid->setLeftCol(grid->SelStartCol());
        d->sortField = short(grid->LeftCol());
        Recordset *rs = d->recordset();
        rs->setSort(sortText(rs->Fields().Item(d->sortField).Name()));
    });
}

void frmVqHelpList::Filter()
{
    warningOnFailure([this] {
        if (d->grid->Row() == -1 || d->grid->SelStartCol() == -1)
            return;
        d->picFilter->show();
        d->picFilter->raise();
        d->lblFilter->setText(d->recordset()->Fields().Item(d->grid->SelStartCol()).Name());
        d->lblFilter->adjustSize();
        // The text of the previous filter stays, so that the user can change it.
        d->txtFilter->setFocus(Qt::OtherFocusReason);
    });
}

void frmVqHelpList::ApplyFilter()
{
    if (d->leavingFilterQuietly)
        return;
    const QScopedValueRollback quiet(d->leavingFilterQuietly, true);
    // Each step: a refused filter (3001) ends it silently with the earlier filter kept and the panel
    // open; any other failure is shown and the next step runs.
    const auto step = [](auto &&work) {
        try {
            work();
        } catch (const Error &e) {
            if (e.number() == Error::BadRecordsetArguments)
                return false;
            QString message = e.description();
            modGeneral::ShowWarning(message);
        }
        return true;
    };
    Recordset *rs = d->recordset();
    QString condition;
    if (!step([&] {
            const Field &field = rs->Fields().Item(d->grid->SelStartCol());
            condition = filterCondition(field.Name(), field.Type(), d->txtFilter->text());
        }))
        return;
    if (isEmptyLike(condition)) {
        if (!step([&] { rs->MoveFirst(); }))
            return;
    } else if (!step([&] {
                   const QString filter = joinFilter(d->filterText, condition);
                   rs->setFilter(filter);
                   d->filterText = filter;
               })) {
        return;
    }
    if (!step([&] {
            if (d->picFilter->isVisible())
                d->picFilter->hide();
        }))
        return;
    if (!step([&] { AdjustColumnWidths(); }))
        return;
    step([&] { showFetchedCount(); });
}

void frmVqHelpList::RemoveFilter()
{
    warningOnFailure([this] {
        Recordset *rs = d->recordset();
        rs->setFilter(QString());
        d->filterText.clear();
        d->adodc->Refresh();
        AdjustColumnWidths();
        showFetchedCount();
        rs->setSort(sortText(rs->Fields().Item(d->sortField).Name()));
    });
}

QPoint frmVqHelpList::currentCellPosition() const
{
    const QRect cell = d->grid->visualRect(d->grid->currentIndex());
    if (cell.isValid() && d->grid->viewport()->rect().intersects(cell))
        return d->grid->viewport()->mapToGlobal(cell.center());
    return d->grid->mapToGlobal(d->grid->rect().center());
}

void frmVqHelpList::popupMenu(const QPoint &globalPos)
{
    d->menu->exec(globalPos);
    // Some platforms leave no window active once a pop-up closes; the commands' focus must land here.
    if (isVisible())
        ensureActive();
}

void frmVqHelpList::ensureActive()
{
    activateWindow();
    // A platform that kept this window as its focus window while it was hidden tells nobody when it is
    // shown again; the widgets must still know that their window is the active one.
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    if (QGuiApplication::focusWindow() == windowHandle() && QApplication::activeWindow() != this)
        QApplication::setActiveWindow(this);
#endif
}

bool frmVqHelpList::windowKeyDown(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    if (d->picFilter->isVisible()) {
        // Escape leaves the panel without applying what was typed; ENTER is the key that applies.
        const QScopedValueRollback quiet(d->leavingFilterQuietly, true);
        if (d->picFilter->isAncestorOf(focusWidget()) || focusWidget() == d->picFilter)
            d->txtItem->setFocus(Qt::OtherFocusReason);
        d->picFilter->hide();
    } else {
        Unload();
    }
    return true;
}

bool frmVqHelpList::onTxtItemKeyDown(QKeyEvent *event)
{
    if (isReturn(event) || event->key() == Qt::Key_Down) {
        d->grid->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}

bool frmVqHelpList::onTxtFilterKey(QKeyEvent *event)
{
    if (event->text() == QLatin1String("'"))
        return true;
    if (isReturn(event)) {
        SendKeys(QStringLiteral("{TAB}"));
        return true;
    }
    return false;
}

bool frmVqHelpList::eventFilter(QObject *watched, QEvent *event)
{
    try {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (watched == d->txtItem)
                return onTxtItemKeyDown(key);
            if (watched == d->txtFilter)
                return onTxtFilterKey(key);
            if (watched == d->grid &&
                (key->key() == Qt::Key_Menu ||
                    (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier))) {
                popupMenu(currentCellPosition());
                return true;
            }
        } else if (watched == d->txtFilter && type == QEvent::FocusOut) {
            // Leaving the field for another control of the window applies the filter; a menu or another
            // window taking the focus for a while does not.
            const QWidget *now = QApplication::focusWidget();
            if (now && now != d->txtFilter && now->window() == this)
                ApplyFilter();
        } else if (watched == d->picFilter && type == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                SendKeys(QStringLiteral("{TAB}"));
        }
    } catch (const Error &e) {
        reportError(e);
    } catch (const std::exception &e) {
        reportError(Error(Error::InvalidProcedureCall, QString::fromLocal8Bit(e.what())));
    }
    return QWidget::eventFilter(watched, event);
}

void frmVqHelpList::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (d->open)
        Unload();
}
