#pragma once

#include "platform/value.h"

#include <optional>

namespace pelmar {

class Database;
class Recordset;

// One row of the time records, as read through qslTime.
struct TimeRecord
{
    qint64 id = 0;
    Value personnelId;
    Value tdate;
    Value timeIn;
    Value timeOut;
    Value hours;
    Value type;

    bool isOpen() const { return timeOut.isNull(); }
    // An open shift: no clock-out, and a type that is "Worked" or empty (Null
    // or the empty text); any other type is an absence.
    bool isOpenShift() const;
};

// The writes of time records. Each names its row by key and, where it
// changes a row, the state it expects; callers hold the transaction, so
// that a repair's close and reopen are saved together or not at all.
namespace timerecords {

// The current row of a recordset over qslTime.
TimeRecord current(Recordset& rs);
std::optional<TimeRecord> read(Database& db, qint64 id);
// The employee's newest record (newest date, then latest clock-in) of today
// and the days before it that the time sheet shows by default.
std::optional<TimeRecord> newestRecent(Database& db, const Value& employeeId, double now);

// Adds an open "Worked" shift and returns its key.
qint64 addShift(Database& db, const Value& employeeId, double date, double timeIn);

// Closes the shift at timeOut (a time of day) with its hours and the type
// "Worked", only while it is still open, and returns it as now stored.
// nullopt when it was closed or removed meanwhile; then nothing is written.
std::optional<TimeRecord> closeShift(Database& db, const TimeRecord& open, double timeOut);

} // namespace timerecords

// The time of day of a clock reading, to the second, as the time label shows it.
double timeOfDay(double now);

} // namespace pelmar
