#pragma once

#include "platform/value.h"

#include <QString>
#include <optional>

namespace pelmar {

class Workplace;

// The where-is answer: the text of an information message.
namespace whereis {

// Where an employee is, by their latest record. Decided here once; only the
// window and the CSV writers turn it into words.
enum class Status
{
    In,        // a worked shift clocked in and not out
    InUntyped, // a record without a type: taken for in, with its own phrase
    Out,       // a worked shift clocked out
    Vacation,
    Holiday,
    SickLeave,
    NoRecentRecords, // none, or none that says where the person is
};

// The status of an employee's latest record, from its Type (Null read as
// empty text) and whether its times are Null. Types are compared exactly,
// letter case included.
Status status(const QString& type, bool timeInNull, bool timeOutNull);
// The phrase after the full name in the where-is answer, translated.
QString phrase(Status status);
// Whether the status is the shop floor's: in, out, or away (an absence).
inline bool isIn(Status s)
{
    return s == Status::In || s == Status::InUntyped;
}
inline bool isAway(Status s)
{
    return s == Status::Vacation || s == Status::Holiday || s == Status::SickLeave;
}

// The answer for the employee with this key and name: the latest record of
// today and the DaysShown days before it. Errors other than "no record" are
// thrown for the caller to report.
QString answer(Workplace& workplace, const Value& employeeId, const QString& fullName, double now);

} // namespace whereis
} // namespace pelmar
