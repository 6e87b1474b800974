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
// The word stored in the Time table and the CSV files, the same in every
// language: "Worked", "Vacation", "Holiday", "Sick Leave"; empty for Other.
QString typeText(RecordType type);
// A type as a person reads it: a known type's word in the window's
// language; any other stored text as it is (Null as empty).
QString shownType(RecordType type);
QString shownType(const Value& stored);

} // namespace pelmar
