#pragma once

#include "data/Connection.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <unistd.h>

// Database files and connection strings for the data tests.
namespace testdb {

// Makes an SQLite file and runs the statements in it.
inline void makeSqlite(const QString &path, const QStringList &statements)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        SQLITE_OK);
    for (const QString &s : statements) {
        char *error = nullptr;
        const int rc = sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "") << " in " << s.toStdString();
        sqlite3_free(error);
    }
    sqlite3_close(db);
}

inline QString nativeString(const QString &path)
{
    return QStringLiteral("Provider=SQLite;Data Source=%1").arg(path);
}

// The SQLite ODBC driver library, named by path so that the tests do not depend on its registration.
inline QString sqliteOdbcDriver()
{
    for (const char *p : {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
             "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/odbc/libsqlite3odbc.so"}) {
        if (QFile::exists(QLatin1String(p)))
            return QLatin1String(p);
    }
    return QStringLiteral("SQLite3");
}

inline QString writeFileDsn(const QString &dsnPath, const QStringList &lines)
{
    QFile f(dsnPath);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[ODBC]\n");
    for (const QString &l : lines)
        f.write((l + QLatin1Char('\n')).toUtf8());
    return dsnPath;
}

// A file data source for the SQLite ODBC driver over the database file.
inline QString writeSqliteFileDsn(const QString &dsnPath, const QString &database)
{
    return writeFileDsn(dsnPath,
        {QStringLiteral("DRIVER=%1").arg(sqliteOdbcDriver()), QStringLiteral("Database=%1").arg(database)});
}

inline bool havePostgres()
{
    return !qEnvironmentVariableIsEmpty("VQ_PG_HOST");
}

// Connection keywords of the test server started by tests/support/with-postgres.sh.
inline QString postgresKeywords()
{
    return QStringLiteral("Servername=%1;Port=%2;Database=%3;UID=%4;BoolsAsChar=0")
        .arg(qEnvironmentVariable("VQ_PG_HOST"), qEnvironmentVariable("VQ_PG_PORT"),
            qEnvironmentVariable("VQ_PG_DATABASE"), qEnvironmentVariable("VQ_PG_USER"));
}

inline QString postgresDriverString()
{
    return QStringLiteral("Driver={%1};%2").arg(qEnvironmentVariable("VQ_PG_DRIVER"), postgresKeywords());
}

// A file data source for the test server's database, with further keywords.
inline QString writePostgresFileDsn(const QString &dsnPath, const QString &database, const QStringList &more)
{
    return writeFileDsn(dsnPath,
        QStringList {QStringLiteral("Driver=%1").arg(qEnvironmentVariable("VQ_PG_DRIVER")),
            QStringLiteral("Servername=%1").arg(qEnvironmentVariable("VQ_PG_HOST")),
            QStringLiteral("Port=%1").arg(qEnvironmentVariable("VQ_PG_PORT")),
            QStringLiteral("Database=%1").arg(database),
            QStringLiteral("UID=%1").arg(qEnvironmentVariable("VQ_PG_USER"))} +
            more);
}

// A name unique to this test process, for tables in the shared test server.
inline QString uniqueName(const char *base)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(getpid());
}

// Tests on the test server with a table of this process's own (`table`, dropped before and after), reached
// through `admin`; skipped without a server.
class PostgresTable : public ::testing::Test
{
protected:
    explicit PostgresTable(const char *base)
        : table(uniqueName(base))
    { }
    void SetUp() override
    {
        if (!havePostgres())
            GTEST_SKIP() << "no test server: run through ./vq test (tests/support/with-postgres.sh)";
        admin.Open(postgresDriverString());
        admin.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
    }
    void TearDown() override
    {
        if (admin.State() == vq::Connection::adStateOpen)
            admin.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
    }

    const QString table;
    vq::Connection admin;
};

} // namespace testdb
