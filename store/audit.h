#pragma once

#include "platform/value.h"

#include <QString>
#include <vector>

namespace pelmar {

class Database;

// The audit trail of time records: one TimeAudit row for every change that
// the clock makes by itself or an administrator makes by hand, written by
// the caller inside the transaction of the change. Files made by the suite's
// other programs have no such table until `pelmar-db upgrade`; they are read
// and written without a trail.
namespace audit {

struct Entry
{
    double when = 0; // date serial of the change
    QString workstation;
    QString action;
    qint64 timeId = 0;
    Value employeeId;
    Value before; // the record's fields as text; Null for an added record
    Value after;  // Null for a deleted record
};

// Creates the table and its index when missing; safe to run again.
void createTable(Database& db);

// Whether the database has the table. Asked of the file once per path, so
// call it before a transaction begins: a failed look-up must not end one.
bool available(Database& db);

void write(Database& db, const Entry& entry);

// The rows whose When falls on the dates from..to (whole-day serials), in
// the order they were written.
struct Row
{
    double when;
    QString workstation;
    QString action;
    Value timeId;
    Value employeeId;
    Value before;
    Value after;
};
std::vector<Row> read(Database& db, double from, double to);

} // namespace audit
} // namespace pelmar
