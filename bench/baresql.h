#pragma once

#include "bench/bare.h"
#include "store/sqlite.h"

#include <QString>

namespace pelmar::bench {

// The bare work on a SQLite file.
class BareSql : public Bare
{
public:
    explicit BareSql(const QString& path);

    void connect() override;
    void startUp() override;
    void employee(qint64 id) override;
    void listing(qint64 employee, double from, double to, int limit) override;
    double total(qint64 employee, double from, double to) override;
    qint64 clockIn(qint64 employee, double day, double timeIn) override;
    void clockOut(qint64 timeId, double timeOut, double hours) override;
    void remove(qint64 timeId) override;
    void board(double from, double to) override;
    void payroll(double from, double to) override;

private:
    sql::StatementHandle prepare(const char* text);
    void readAll(sqlite3_stmt* stmt, int limit = -1);
    void done(sqlite3_stmt* stmt);

    QString m_path;
    sql::ConnectionHandle m_db;
};

} // namespace pelmar::bench
