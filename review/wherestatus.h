#pragma once

#include <QString>

namespace pelmar {

// The where-is answer for an employee's latest time record: the phrase that
// follows the full name, from the record's Type (Null read as empty text)
// and whether its clock-in and clock-out times are Null. Types are compared
// exactly, letter case included.
QString whereStatus(const QString& type, bool timeInNull, bool timeOutNull);

} // namespace pelmar
