#pragma once

#include "platform/value.h"
#include "timekeeping/timerecords.h"

#include <QString>
#include <optional>

namespace pelmar {

class TimeClock;

// Clock in: adds an open "Worked" shift dated and timed by now (one reading
// of the clock) and returns it as stored.
TimeRecord clockIn(TimeClock& clock, const Value& employeeId, double now);

struct ClockOut
{
    // False when the shift was no longer open (clocked out at another
    // terminal, or removed): nothing was written.
    bool closed = false;
    // The shift as it stands now; empty when it was removed.
    std::optional<TimeRecord> shift;
    bool alertDue = false;
    // Said to the employee when nothing was written.
    QString message;
};

// Clock out of the open shift with this key at now, with its hours.
ClockOut clockOut(TimeClock& clock, qint64 shiftId, double now);

} // namespace pelmar
