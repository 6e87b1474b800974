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

// A shift's times as the time records can hold them: a clock-out of 12:00 AM
// is the midnight after the date, as the clock's own midnight close stores
// it; any other clock-out must not be before the clock-in. Refused otherwise.
ShiftTimes checkShift(const ShiftTimes& times);

// The one reader of typed ids, dates and times, refusing with a message that
// quotes what was typed.
namespace input {

qint64 employeeNumber(const QString& text);
qint64 timeNumber(const QString& text);
// M/D/YYYY, read as whole days.
double date(const QString& text);
void requireOrder(double from, double to);
// A time of day with AM or PM: what a 24-hour reading would mean is never
// guessed at.
double timeOfDay(const QString& text);
// In and out as typed; an out of "-" leaves the shift open.
ShiftTimes shift(const QString& in, const QString& out);

} // namespace input
} // namespace pelmar::admin
