#include "timekeeping/actionresult.h"

#include "platform/datetime.h"

#include <QCoreApplication>

namespace pelmar {

namespace {

// A Null time shows as nothing rather than failing the whole action.
QString timeText(const Value& time)
{
    return time.isNull() ? QString() : dates::longTime(time.toDate());
}

} // namespace

ClockLine clockedInLine(const TimeRecord& shift)
{
    return {QCoreApplication::translate("pelmar::clocking", "You Clocked in:"),
            shift.tdate.isNull() ? QString() : dates::longDate(shift.tdate.toDate()), timeText(shift.timeIn)};
}

ClockLine clockedOutLine(double day, const TimeRecord& shift)
{
    return {QCoreApplication::translate("pelmar::clocking", "You Clocked out:"), dates::longDate(day),
            timeText(shift.timeOut)};
}

} // namespace pelmar
