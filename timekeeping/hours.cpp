#include "timekeeping/hours.h"

#include "platform/datetime.h"

#include <cmath>

namespace pelmar {

namespace {

constexpr qint64 SecondsPerDay = 86400;

qint64 secondOfDay(const Value& time)
{
    // Times are stored to the second; rounding undoes the serial's binary
    // fraction (9:00 AM is not exactly 0.375 of a day in every form).
    const qint64 s = std::llround(dates::timePart(time.toDouble()) * SecondsPerDay);
    return s % SecondsPerDay;
}

} // namespace

Value shiftHours(const Value& timeIn, const Value& timeOut)
{
    if (timeIn.isNull() || timeOut.isNull())
        return Value::null();
    qint64 seconds = secondOfDay(timeOut) - secondOfDay(timeIn);
    if (seconds < 0)
        seconds += SecondsPerDay;
    return Value::number(static_cast<double>(seconds) / 3600.0);
}

bool exceedsThreshold(const Value& hours, float notifyHours)
{
    return !hours.isNull() && hours.toDouble() > static_cast<double>(notifyHours);
}

} // namespace pelmar
