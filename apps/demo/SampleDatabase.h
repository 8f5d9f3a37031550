#pragma once

#include <QString>

// The demo's SQLite database of customers, products in categories and orders: made on the first run in
// the user's data folder from the sample rows (SampleData.h), then used as it is, orders saved included.
class SampleDatabase
{
public:
    // The database file: "orders.db" in the application's folder under the user's data folder
    // ($XDG_DATA_HOME), or the file that VQ_DEMO_DATA names.
    static QString defaultPath();

    // Makes the database at `path` unless a file is there already; returns false with the reason on
    // stderr. It is written under a temporary name in one transaction and renamed when complete, so an
    // interrupted first run starts over rather than leaving half a database.
    static bool ensure(const QString &path);

    // Writes an ODBC file data source for the SQLite ODBC driver, "orders.dsn" beside the database, and
    // returns its path (empty, with the reason on stderr, when it cannot be written). Written at every
    // start, so that it follows the database when the data folder moves.
    static QString writeDataSource(const QString &databasePath);

    // The provider connection string of the library's own SQLite driver.
    static QString connectionString(const QString &databasePath);
};
