#pragma once

#include "platform/value.h"

#include <QString>

// The SQL texts the program sends, built by plain concatenation: a date
// value goes in as its short date text, a typed date exactly as typed, the
// employee key as its number text, and Null as nothing.
namespace pelmar::sqltexts {

inline const QString CurrentEmployees =
    QStringLiteral("SELECT * From qslPersonnelShort Where IsNull(Personnel.TerminationDate)");
inline const QString AllTimeRecords =
    QStringLiteral("SELECT * From qslTime ORDER BY Tdate DESC, TimeIn DESC");

// One employee's row, current or not.
QString employee(const Value& employeeId);
// One employee's rows in a range, newest first.
QString rangeListing(const Value& from, const Value& to, const Value& employeeId);
// One employee's hours in a range: one row, SumOfThours Null when no row.
QString rangeTotal(const Value& from, const Value& to, const Value& employeeId);

} // namespace pelmar::sqltexts
