#pragma once

#include "platform/value.h"

#include <QString>

namespace pelmar {

// The kinds of time record. One letter-case rule for all of them: a type is
// the exact text the clock writes and its where-is answer reads, so the
// board, the payroll and the clock never disagree about a record. A type
// typed by hand in another letter case is none of them.
enum class RecordType
{
    Worked,
    Vacation,
    Holiday,
    SickLeave,
    Other
};

RecordType recordType(const QString& type);
RecordType recordType(const Value& type); // Null is Other
QString typeText(RecordType type);        // "Worked", "Vacation", "Holiday", "Sick Leave"

} // namespace pelmar
