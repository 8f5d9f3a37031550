// The portable list against its baselines, on a 100,000-row query over an SQLite file data source:
// RefreshData until the list holds every row beside the data layer's forward-only fetch of the same query
// alone, and opening the drop-down until it has painted beside a list laid out item by item. Every figure
// is printed beside a baseline measured in the same run.

#include "BenchTables.h"
#include "data/Connection.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "lists/VqPortableListBox.h"
#include "platform/Error.h"
#include "platform/VariantText.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEvent>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Rows = 100000;
constexpr int Runs = 7;

// Median of several runs, in milliseconds.
double medianMillis(const std::function<double()> &run, int runs = Runs)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i)
        t.push_back(run());
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

double millisOf(const std::function<void()> &f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
}

void row(const char *what, double value, const char *baselineName, double baseline, const char *goal)
{
    std::printf("%-52s %9.2f ms | %-40s %9.2f ms | ratio %5.2f | %s\n", what, value, baselineName, baseline,
        value / baseline, goal);
}

void makeDatabase(const QString &path)
{
    vqbench::makeSqliteTables(path,
        {{"CREATE TABLE customer (id integer primary key, name varchar(40))",
            "INSERT INTO customer VALUES (?, ?)", Rows, [](sqlite3_stmt *insert, int row) {
                const int i = row + 1;
                const QByteArray name = QByteArray("Customer ") + QByteArray::number(i * 7919 % 1000003);
                sqlite3_bind_int(insert, 1, i);
                sqlite3_bind_text(insert, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            }}});
}

// The data layer alone: the same connection string and query, forward-only, every first-column value read.
double forwardOnlyFetch(const QString &dsn, const QString &query)
{
    return millisOf([&] {
        vq::Connection connection;
        connection.Open(QStringLiteral("FileDSN=") + dsn, QString(), QString(), -1);
        vq::Recordset rows;
        rows.Open(query, &connection, vq::Recordset::adOpenForwardOnly, vq::Recordset::adLockReadOnly, -1);
        qsizetype n = 0;
        while (!rows.isEOF()) {
            n += rows.Fields().Item(0).Value().isValid();
            rows.MoveNext();
        }
        if (n != Rows)
            std::printf("(the fetch read %lld rows)\n", static_cast<long long>(n));
    });
}

// Counts the paints of a widget, so that a timing can wait until it has painted.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// From showing a list until its first paint is done; a list that has not painted within a minute counts
// as failed (-1).
double untilPainted(QWidget *list, const std::function<void()> &show)
{
    PaintWatch watch(static_cast<QAbstractScrollArea *>(list)->viewport());
    QElapsedTimer timer;
    timer.start();
    show();
    while (watch.paints == 0 && timer.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return watch.paints == 0 ? -1 : double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("customers.db"));
    makeDatabase(db);
    const QString dsn = dir.filePath(QStringLiteral("customers.dsn"));
    {
        QFile f(dsn);
        f.open(QIODevice::WriteOnly);
        // The SQLite ODBC driver by the name its package registers.
        f.write(QStringLiteral("[ODBC]\nDRIVER=SQLite3\nDatabase=%1\n").arg(db).toUtf8());
    }
    const QString query = QStringLiteral("SELECT name FROM customer ORDER BY id");

    try {
        std::printf("\n== Portable list, %d rows from an SQLite file data source\n", Rows);
        QWidget form;
        form.resize(400, 400);
        auto *before = new QLineEdit(&form);
        auto *control = new VqPortableListBox(&form);
        control->move(0, 40);
        control->setDSNName(dsn);
        control->setQuery(query);

        // Taken in turns, so that the machine's other work weighs on both alike.
        std::vector<double> fetches;
        const double refresh = medianMillis([&] {
            fetches.push_back(forwardOnlyFetch(dsn, query));
            return millisOf([&] { control->RefreshData(); });
        });
        std::sort(fetches.begin(), fetches.end());
        const double fetch = fetches[fetches.size() / 2];
        if (control->ListCount() != Rows)
            std::printf("(the list holds %d rows)\n", control->ListCount());
        row("RefreshData until the list holds every row", refresh, "forward-only fetch of the same query",
            fetch, "goal: ratio <= 1.3");

        form.show();
        QApplication::setActiveWindow(&form);
        QElapsedTimer activation;
        activation.start();
        while (!form.isActiveWindow() && activation.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        auto *txtList = control->findChild<QComboBox *>(QStringLiteral("txtList"));
        auto *lstList = control->findChild<QAbstractItemView *>(QStringLiteral("lstList"));
        // Each opening follows a refill, so that the list lays out rows it has not laid out before.
        QRect opened;
        const double open = medianMillis([&] {
            control->RefreshData();
            QApplication::processEvents();
            const double t = untilPainted(lstList, [&] { txtList->setFocus(Qt::MouseFocusReason); });
            opened = lstList->geometry().translated(control->pos());
            before->setFocus(Qt::MouseFocusReason);
            QApplication::processEvents();
            return t;
        });

        // The baseline: Qt's item list of the same rows, shown as it comes (rows measured one by one), in
        // fewer runs as each takes long.
        QStringList texts;
        for (int i = 0; i < Rows; ++i)
            texts << control->List(i);
        const double plainOpen = medianMillis(
            [&] {
                QListWidget plain(&form);
                plain.hide();
                plain.setGeometry(opened);
                plain.addItems(texts);
                return untilPainted(&plain, [&] { plain.show(); });
            },
            3);
        row("opening the drop-down until painted", open, "Qt item list of the rows shown until painted",
            plainOpen, "goal: <= 50 ms");
    } catch (const vq::Error &e) {
        std::printf("failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
