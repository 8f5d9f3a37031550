// The help list against Qt's stock table stack (QSqlQueryModel + QSortFilterProxyModel + QTableView) on a
// 1,000,000-row, four-column SQLite table: opening until shown, a keystroke's jump until repainted, one
// filter clause until the count shows, ordering on a text column until repainted, and the memory of what is
// shown beside the record set's own. Every figure is printed beside a baseline measured in the same run.

#include "BenchTables.h"
#include "data/Adodc.h"
#include "data/Connection.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"
#include "helplist/DataGrid.h"
#include "platform/Error.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTimer>

#include "helplist/VqHelpList.h"
#include "helplist/frmVqHelpList.h"

#include <malloc.h>
#include <sqlite3.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int Rows = 1000000;
const char *const Query = "SELECT id, name, city, amount FROM customers";

using Clock = std::chrono::steady_clock;

double elapsedMs(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// This thread's processor time, which other programs on a loaded machine do not stretch as they stretch
// the elapsed time.
double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double timeMs(const std::function<void()> &work)
{
    const auto start = Clock::now();
    work();
    return elapsedMs(start);
}

// Timings of repeated work in milliseconds.
struct Samples
{
    std::vector<double> ms;

    double percentile(double p) const
    {
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        const size_t i = std::min(s.size() - 1, size_t(p / 100.0 * double(s.size())));
        return s[i];
    }
    double mean() const
    {
        double sum = 0;
        for (double v : ms)
            sum += v;
        return sum / double(ms.size());
    }
    double best() const { return *std::min_element(ms.begin(), ms.end()); }
};

// The process's resident memory, freed heap memory handed back to the system first. The record set maps
// its large column blocks itself, past the allocator, whose statistics would not count them.
double residentMiB()
{
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> pages = f.readAll().split(' ');
    return pages.size() < 2 ? -1 : double(pages.at(1).toLongLong() * sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// Other programs share the machine: figures are read beside the load.
QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?\n");
}

// One figure beside its baseline; `ratio` is how many times the goal's sense is met (speed-up or share).
void report(const char *what, double value, const char *unit, const char *baselineName, double baseline,
    const char *ratioName, double ratio, const char *goal)
{
    std::printf("%-50s %9.3f %-3s | %-42s %10.3f %-3s | %s %6.2f | %s\n", what, value, unit, baselineName,
        baseline, unit, ratioName, ratio, goal);
    std::fflush(stdout);
}

void section(const char *title)
{
    std::printf("\n== %s\n", title);
    std::fflush(stdout);
}

// Customers with surnames and given names of random syllables, twenty cities, amounts with cents.
QString makeCustomers(const QString &path)
{
    static const char *const parts[] = {"an", "ber", "co", "dal", "en", "fis", "gar", "hol", "ist", "jen",
        "kel", "lor", "mar", "nor", "ol", "per", "ri", "sten", "tor", "ur", "val", "wes", "yan", "zel"};
    static const char *const cities[] = {"Aberdeen", "Basel", "Bergen", "Berlin", "Bern", "Bilbao", "Bonn",
        "Bordeaux", "Cork", "Delft", "Dijon", "Genoa", "Ghent", "Graz", "Lille", "Lyon", "Malmo", "Nantes",
        "Porto", "Turin"};
    QRandomGenerator random(1031);
    auto word = [&](int syllables) {
        std::string w;
        for (int k = 0; k < syllables; ++k)
            w += parts[random.bounded(24)];
        w[0] = char(w[0] - 'a' + 'A');
        return w;
    };
    vqbench::makeSqliteTables(path,
        {{"CREATE TABLE customers (id integer, name varchar(40), city varchar(30), amount double)",
            "INSERT INTO customers VALUES (?1, ?2, ?3, ?4)", Rows, [&](sqlite3_stmt *add, int row) {
                const std::string name =
                    word(2 + int(random.bounded(3))) + ", " + word(1 + int(random.bounded(2)));
                sqlite3_bind_int(add, 1, row + 1);
                sqlite3_bind_text(add, 2, name.c_str(), int(name.size()), SQLITE_TRANSIENT);
                sqlite3_bind_text(add, 3, cities[random.bounded(20)], -1, SQLITE_STATIC);
                sqlite3_bind_double(add, 4, double(random.bounded(10000000)) / 100.0);
            }}});
    return path;
}

// Qt's stock way to show the same query: a query model fetched to the end, a sort-filter proxy, a table view.
struct Stock
{
    QSqlQueryModel model;
    QSortFilterProxyModel proxy;
    QTableView view;
    QLabel count;

    void open(const QSqlDatabase &db)
    {
        model.setQuery(QString::fromLatin1(Query), db);
        while (model.canFetchMore())
            model.fetchMore();
        proxy.setSourceModel(&model);
        proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
        proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
        view.setModel(&proxy);
        view.resize(700, 360);
        view.show();
        QCoreApplication::processEvents();
        showCount();
        view.viewport()->repaint();
    }
    void showCount()
    {
        count.setText(QStringLiteral("%1 Fetched").arg(proxy.rowCount()));
        count.repaint();
    }
};

// The style, fonts and platform plugin load once per process; they are nobody's cost per window.
void warmUp()
{
    vq::DataGrid grid;
    grid.show();
    QCoreApplication::processEvents();
    grid.viewport()->repaint();
    QTableView view;
    view.show();
    QCoreApplication::processEvents();
}

// Figures of our side, measured before Qt's stock stack is built so that memory is counted apart.
struct OurFigures
{
    Samples open;
    double shownMiB = 0;
    int heldRows = 0; // rows the grid's view holds (its row header's entries) once shown
    int records = 0;
    Samples order;
    Samples orderCpu;
    Samples keys;
    Samples keysCpu;
    std::vector<double> keyOf; // per typed text, in the order of `typed`
    Samples filter;
    qsizetype filtered = -1;
    QString countText;
    int missedJumps = 0;
};

// Texts typed into the search field: the first one to four letters of thirty names picked at random.
QStringList typedTexts(const vq::Recordset &rs)
{
    QStringList typed;
    QRandomGenerator pick(77);
    for (int word = 0; word < 30; ++word) {
        const QString name = rs.text(qsizetype(pick.bounded(quint32(rs.rowCount()))), 1);
        for (int length = 1; length <= 4; ++length)
            typed.append(name.left(length));
    }
    return typed;
}

void sendKey(QWidget *to, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(to, &release);
}

// Calls `then` once, right after the widget's first paint from now on.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget *watched, std::function<void()> then)
        : m_then(std::move(then))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_then) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, std::exchange(m_then, nullptr));
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

// The help-list window as a host opens it: DisplayHelpList until the grid's first paint, then, in the
// last opening, Order, keystrokes in txtItem and one filter clause, each until repainted.
OurFigures measureWindow(vq::Connection &connection, const QStringList &typedSource)
{
    OurFigures f;
    VqHelpList help;
    frmVqHelpList *w = frmVqHelpList::instance();
    {
        // A first small opening: the window's widgets, fonts and styles are nobody's cost per opening.
        AfterFirstPaint shown(w->DataGrid1()->viewport(), [w] { w->Unload(); });
        help.DisplayHelpList(
            &connection, QStringLiteral("SELECT id, name, city, amount FROM customers WHERE id < 50"));
    }
    vq::DataGrid *grid = w->DataGrid1();
    auto *txtItem = w->findChild<QLineEdit *>(QStringLiteral("txtItem"));
    auto *txtFilter = w->findChild<QLineEdit *>(QStringLiteral("txtFilter"));
    auto *lblFetched = w->findChild<QLabel *>(QStringLiteral("lblFetched"));
    QStringList typed;
    for (int round = 0; round < 3; ++round) {
        const bool last = round == 2;
        const double before = residentMiB();
        const auto start = Clock::now();
        AfterFirstPaint watch(grid->viewport(), [&] {
            f.open.ms.push_back(elapsedMs(start));
            // Later openings start while the previous rows are still held (they go at the next load).
            if (round == 0) {
                f.shownMiB = residentMiB() - before;
                f.heldRows = grid->verticalHeader()->count();
                f.records = int(w->Adodc1()->Recordset()->RecordCount());
            }
            if (last) {
                vq::Recordset *rs = w->Adodc1()->Recordset();
                for (int r = 0; r < 3; ++r) {
                    grid->selectColumns(0, 0);
                    w->Order();
                    grid->selectColumns(1, 1);
                    const double cpuBefore = threadCpuMs();
                    f.order.ms.push_back(timeMs([&] {
                        w->Order();
                        grid->viewport()->repaint();
                    }));
                    f.orderCpu.ms.push_back(threadCpuMs() - cpuBefore);
                }
                typed = typedSource;
                txtItem->setFocus();
                for (int i = 0; i < typed.size(); ++i) {
                    const QString &text = typed.at(i);
                    if (text.size() == 1)
                        txtItem->clear();
                    const double cpuBefore = threadCpuMs();
                    const double ms = timeMs([&] {
                        sendKey(txtItem, text.back().toUpper().unicode(), QString(text.back()));
                        grid->viewport()->repaint();
                    });
                    f.keysCpu.ms.push_back(threadCpuMs() - cpuBefore);
                    f.keys.ms.push_back(ms);
                    f.keyOf.push_back(ms);
                    if (!grid->Columns(1).Text().startsWith(text, Qt::CaseInsensitive) ||
                        txtItem->text() != text)
                        ++f.missedJumps;
                }
                for (int r = 0; r < 3; ++r) {
                    grid->setFocus();
                    grid->selectColumns(2, 2);
                    w->Filter();
                    txtFilter->setText(QStringLiteral("Ber"));
                    f.filter.ms.push_back(timeMs([&] {
                        w->ApplyFilter();
                        lblFetched->repaint();
                        grid->viewport()->repaint();
                    }));
                    f.filtered = rs->RecordCount();
                    f.countText = lblFetched->text();
                    if (r < 2)
                        w->RemoveFilter();
                }
            }
            w->Unload();
        });
        help.DisplayHelpList(&connection, QString::fromLatin1(Query));
    }
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString dir = QCoreApplication::applicationDirPath();
    std::printf("building the 1,000,000-row customer table once (kept in %s)...\n", qPrintable(dir));
    std::printf("load average at start: %s", loadAverage().constData());
    try {
        const QString path = makeCustomers(dir + QStringLiteral("/bench_helplist.db"));
        const QString connectionString = QStringLiteral("Provider=SQLite;Data Source=") + path;
        warmUp();

        // The data layer alone: the static Open of the query, and the record set's memory once sorted by its
        // first field as the window sorts it.
        Samples staticOpen, firstSort;
        double recordsetMiB = 0;
        auto connection = std::make_unique<vq::Connection>();
        auto plain = std::make_unique<vq::Recordset>();
        for (int round = 0; round < 3; ++round) {
            plain.reset();
            connection.reset();
            const double before = residentMiB();
            connection = std::make_unique<vq::Connection>();
            plain = std::make_unique<vq::Recordset>();
            staticOpen.ms.push_back(timeMs([&] {
                connection->Open(connectionString);
                plain->Open(QString::fromLatin1(Query), connection.get(), vq::Recordset::adOpenStatic);
            }));
            firstSort.ms.push_back(timeMs([&] { plain->setSort(QStringLiteral("id")); }));
            recordsetMiB = residentMiB() - before;
        }
        const QStringList typed = typedTexts(*plain);

        const OurFigures ours = measureWindow(*connection, typed);

        // What a table view keeps per row whatever it shows, bound to all the rows (the grid's view holds
        // the rows in sight only): measured for scale.
        double rowGeometryMiB = 0;
        {
            vq::RecordsetModel model;
            model.setRecordset(plain.get());
            QTableView view;
            const double before = residentMiB();
            view.setModel(&model);
            rowGeometryMiB = residentMiB() - before;
        }

        Samples plainOrder, plainFilter;
        for (int round = 0; round < 3; ++round) {
            plain->setSort(QString());
            plainOrder.ms.push_back(timeMs([&] { plain->setSort(QStringLiteral("[name]")); }));
            plain->setFilter(QString());
            plainFilter.ms.push_back(timeMs([&] { plain->setFilter(QStringLiteral("[city] like 'Ber%'")); }));
        }
        plain.reset();
        connection.reset();

        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("stock"));
        db.setDatabaseName(path);
        if (!db.open())
            throw vq::Error(vq::Error::InvalidProcedureCall, db.lastError().text());
        Stock stock;
        const double stockBefore = residentMiB();
        const double stockOpen = timeMs([&] { stock.open(db); });
        const double stockMiB = residentMiB() - stockBefore;
        const double stockOrder = timeMs([&] {
            stock.proxy.sort(1, Qt::AscendingOrder);
            stock.view.viewport()->repaint();
        });
        // The stock jump reads the proxy's rows in order until the first match, a linear scan: a few
        // keystrokes are enough to measure it.
        constexpr int stockKeys = 12;
        Samples stockJump, oursSame;
        for (int i = 0; i < stockKeys; ++i) {
            oursSame.ms.push_back(ours.keyOf.at(size_t(i)));
            stockJump.ms.push_back(timeMs([&] {
                const QModelIndexList hits = stock.proxy.match(
                    stock.proxy.index(0, 1), Qt::DisplayRole, typed.at(i), 1, Qt::MatchStartsWith);
                if (!hits.isEmpty()) {
                    stock.view.setCurrentIndex(hits.first());
                    stock.view.scrollTo(hits.first(), QAbstractItemView::PositionAtTop);
                }
                stock.view.viewport()->repaint();
            }));
        }
        // With the view attached, the proxy reports the rows it drops range by range and the view's row
        // header moves its entries each time: minutes for a million rows. The view is let go of while the
        // proxy filters, which favours the baseline.
        stock.proxy.setFilterKeyColumn(2);
        const double stockFilter = timeMs([&] {
            stock.view.setModel(nullptr);
            stock.proxy.setFilterRegularExpression(
                QRegularExpression(QStringLiteral("^Ber"), QRegularExpression::CaseInsensitiveOption));
            stock.view.setModel(&stock.proxy);
            stock.showCount();
            stock.view.viewport()->repaint();
        });

        section("Open until shown (1,000,000 rows x 4 columns)");
        report("DisplayHelpList until shown (best of 3)", ours.open.best(), "ms",
            "static Open alone (best of 3)", staticOpen.best(), "x", ours.open.best() / staticOpen.best(),
            "goal: <= 1.15 x");
        report("  of which the record set's first Sort (id)", firstSort.best(), "ms", "static Open alone",
            staticOpen.best(), "x", firstSort.best() / staticOpen.best(), "info");
        report("  (for scale) stock Qt: query, fetch all, show", stockOpen, "ms", "ours", ours.open.best(),
            "x", stockOpen / ours.open.best(), "info");

        section("Memory, measured from the process (resident memory, freed memory handed back first)");
        report("memory of the open window", ours.shownMiB, "MiB", "record set alone (sorted as shown)",
            recordsetMiB, "x", ours.shownMiB / recordsetMiB, "goal: <= 1.10 x");
        std::printf("   the open grid's view holds %d rows for %d records\n", ours.heldRows, ours.records);
        report("  (for scale) a table view over every record", rowGeometryMiB, "MiB", "record set alone",
            recordsetMiB, "x", rowGeometryMiB / recordsetMiB, "info");
        report("  (for scale) stock Qt stack memory", stockMiB, "MiB", "ours", ours.shownMiB, "x",
            stockMiB / ours.shownMiB, "info");

        section("Order on a text column (name) until repainted");
        report("Order + repaint (best of 3)", ours.order.best(), "ms", "stock proxy sort + repaint",
            stockOrder, "x", stockOrder / ours.order.best(), "goal: <= 300 ms, >= 10 x");
        report("  of which the record set's Sort alone", plainOrder.best(), "ms", "ours", ours.order.best(),
            "share", plainOrder.best() / ours.order.best(), "info");
        report("  Order + repaint, processor time (best of 3)", ours.orderCpu.best(), "ms", "elapsed",
            ours.order.best(), "share", ours.orderCpu.best() / ours.order.best(), "info");

        section("One keystroke until the grid has repainted on the new row (sorted column)");
        std::printf("   %d keystrokes: median %.3f ms, 99th percentile %.3f ms, worst %.3f ms; rows not on a "
                    "match: %d\n",
            int(ours.keys.ms.size()), ours.keys.percentile(50), ours.keys.percentile(99),
            ours.keys.percentile(100), ours.missedJumps);
        report("keystroke in txtItem, 99th percentile", ours.keys.percentile(99), "ms",
            "stock match + repaint (mean of 12)", stockJump.mean(), "x",
            stockJump.mean() / ours.keys.percentile(99), "goal: <= 16 ms");
        report("  keystroke 99th percentile, processor time", ours.keysCpu.percentile(99), "ms", "elapsed",
            ours.keys.percentile(99), "share", ours.keysCpu.percentile(99) / ours.keys.percentile(99),
            "info");
        report("keystroke mean, the same 12 texts", oursSame.mean(), "ms", "stock match + repaint, same 12",
            stockJump.mean(), "x", stockJump.mean() / oursSame.mean(), "goal: >= 20 x faster");

        section("Apply filter, one clause (city like 'Ber%'), until the count shows");
        std::printf("   rows passing: ours %lld (\"%s\"), stock %d\n", qlonglong(ours.filtered),
            qPrintable(ours.countText), stock.proxy.rowCount());
        report("ApplyFilter + count + repaint (best of 3)", ours.filter.best(), "ms",
            "stock proxy filter + count + repaint", stockFilter, "x", stockFilter / ours.filter.best(),
            "goal: <= 30 ms, >= 15 x");
        report("  of which the record set's Filter alone", plainFilter.best(), "ms", "ours",
            ours.filter.best(), "share", plainFilter.best() / ours.filter.best(), "info");
    } catch (const vq::Error &e) {
        std::fprintf(stderr, "bench_helplist: %d %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    std::printf("load average at end: %s", loadAverage().constData());
    return 0;
}
