#pragma once

#include <QString>

#include <sqlite3.h>

#include <functional>
#include <initializer_list>

namespace vqbench {

// One table of a benchmark database: its CREATE statement, an INSERT with one parameter per column, and a
// function that binds the values of row `row` (0-based) to that INSERT.
struct TableRows
{
    const char *create;
    const char *insert;
    int rows;
    std::function<void(sqlite3_stmt *insert, int row)> bind;
};

// Writes the tables into a new SQLite file at `path`, in one transaction without a journal. A file that
// exists already is kept as it is: the million-row tables take a while to build, so they outlive a run.
// The file is written under another name and renamed when complete, so that an interrupted build is
// never taken for a finished one. A failure throws vq::Error with SQLite's message.
void makeSqliteTables(const QString &path, std::initializer_list<TableRows> tables);

} // namespace vqbench
