#include "BenchTables.h"

#include "platform/Error.h"

#include <QFile>

namespace vqbench {

namespace {

[[noreturn]] void fail(sqlite3 *db, const QString &path)
{
    throw vq::Error(vq::Error::InvalidProcedureCall,
        QStringLiteral("%1: %2").arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory")));
}

} // namespace

void makeSqliteTables(const QString &path, std::initializer_list<TableRows> tables)
{
    if (QFile::exists(path))
        return;
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    sqlite3 *db = nullptr;
    struct Closer
    {
        sqlite3 *&db;
        ~Closer() { sqlite3_close(db); }
    } closer {db};
    if (sqlite3_open(partial.toUtf8().constData(), &db) != SQLITE_OK ||
        sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr,
            nullptr) != SQLITE_OK)
        fail(db, partial);
    for (const TableRows &table : tables) {
        sqlite3_stmt *insert = nullptr;
        if (sqlite3_exec(db, table.create, nullptr, nullptr, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(db, table.insert, -1, &insert, nullptr) != SQLITE_OK)
            fail(db, partial);
        for (int row = 0; row < table.rows; ++row) {
            table.bind(insert, row);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                sqlite3_finalize(insert);
                fail(db, partial);
            }
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db, partial);
    sqlite3_close(db);
    db = nullptr;
    if (!QFile::rename(partial, path))
        throw vq::Error(vq::Error::InvalidProcedureCall, QStringLiteral("%1 cannot be renamed").arg(partial));
}

} // namespace vqbench
