#pragma once

#include <QString>
#include <optional>

namespace pelmar::admin {

// The clock-in and clock-out of a corrected or added shift, as times of day;
// no clock-out leaves the shift open.
struct ShiftTimes
{
    double in;
    std::optional<double> out;
};

// A shift's times on date as the time records can hold them: a clock-out
// before the clock-in, or of 12:00 AM, is on the next day, by the clock's own
// rule. Refused when the shift lasts 24 hours or more.
ShiftTimes checkShift(double date, const ShiftTimes& times);
// The shift as the office reads it before saving:
// "10:00 PM to 6:00 AM the next day: 8.00 hours", "From 9:00 AM, still open".
QString describeShift(double date, const ShiftTimes& times);

// The one reader of typed ids, dates and times, refusing with a message that
// quotes what was typed.
namespace input {

qint64 employeeNumber(const QString& text);
qint64 timeNumber(const QString& text);
// M/D/YYYY, read as whole days.
double date(const QString& text);
// The one check of a range's order: refused when it ends before it starts.
// Every read of a range makes it itself (records, payroll, the audit trail,
// the alerts, absences, weekdays), so no caller has to.
void requireOrder(double from, double to);
// A time of day with AM or PM: what a 24-hour reading would mean is never
// guessed at.
double timeOfDay(const QString& text);
// In and out as typed; an out of "-" leaves the shift open. Checked with its
// date by the change that stores it.
ShiftTimes shift(const QString& in, const QString& out);

} // namespace input
} // namespace pelmar::admin
