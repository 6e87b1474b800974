#include "timekeeping/clocking.h"

#include "app/timeclock.h"
#include "platform/datetime.h"
#include "store/engine.h"
#include "timekeeping/hours.h"
#include "timekeeping/timeaudit.h"

namespace pelmar {

TimeRecord clockIn(TimeClock& clock, const Value& employeeId, double now)
{
    const auto db = clock.open();
    const qint64 id = timerecords::addShift(*db, employeeId, now, timeOfDay(now));
    clock.times().refresh();
    return *timerecords::read(*db, id);
}

ClockOut clockOut(TimeClock& clock, qint64 shiftId, double now)
{
    ClockOut result;
    {
        const auto db = clock.open();
        TimeAudit audit(*db, now);
        Transaction transaction(*db);
        // Read under the write lock, so it stays as read until the commit.
        const std::optional<TimeRecord> shift = timerecords::read(*db, shiftId);
        const std::optional<TimeRecord> closed =
            shift && shift->isOpen() ? timerecords::closeShift(*db, *shift, timeOfDay(now)) : std::nullopt;
        result.closed = closed.has_value();
        result.shift = closed ? closed : shift;
        if (!result.closed && shift) {
            // The administrator sees the attempt; the record stays as it was.
            audit.write(TimeAudit::AlreadyClockedOut, shift, shift);
        }
        if (result.shift)
            transaction.commit();
    }
    clock.times().refresh();
    if (result.closed) {
        result.alertDue = exceedsThreshold(result.shift->hours, clock.notifyHours());
    } else if (result.shift && !result.shift->isOpen()) {
        result.message = QStringLiteral("This shift was already clocked out at ") +
                         dates::longTime(result.shift->timeOut.toDate()) +
                         QStringLiteral(". Nothing was changed.");
    } else {
        result.message = QStringLiteral("This shift is no longer in the time records. Nothing was changed; "
                                        "contact the administrator if your time records need correcting.");
    }
    return result;
}

} // namespace pelmar
