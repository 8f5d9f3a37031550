#pragma once

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

// A name unique to this test process, for tables in the shared test server.
inline QString uniqueName(const char *base)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(getpid());
}

} // namespace testdb
