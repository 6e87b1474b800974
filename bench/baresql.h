#pragma once

#include "store/sqlite.h"

#include <QString>

namespace pelmar::bench {

// The least work SQLite needs for each window action: hand-written SQL with
// bound parameters on a connection opened once, every column of every row
// read, nothing kept.
class BareSql
{
public:
    explicit BareSql(const QString& path);

    // First page of all records, the current employees, the settings row.
    void formLoad();
    // One employee's rows of a range, newest first, at most limit of them.
    void listing(qint64 employee, double from, double to, int limit);
    double total(qint64 employee, double from, double to);
    qint64 clockIn(qint64 employee, double day, double timeIn);
    void clockOut(qint64 timeId, double timeOut, double hours);
    void remove(qint64 timeId);

    // Keeps the optimiser from dropping reads.
    double sink() const { return m_sink; }

private:
    sql::StatementHandle prepare(const char* text);
    void readAll(sqlite3_stmt* stmt, int limit = -1);
    void done(sqlite3_stmt* stmt);

    sql::ConnectionHandle m_db;
    double m_sink = 0;
};

} // namespace pelmar::bench
