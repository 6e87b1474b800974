#include "login/clockstate.h"

#include "platform/datetime.h"
#include "store/schema.h"

namespace pelmar {

ClockOffer clockOffer(const std::optional<NewestRecord>& newest, double today)
{
    if (!newest)
        return ClockOffer::ClockIn;
    // An empty type, Null or empty text, goes on to the clock-out test like
    // "Worked"; only another value means an absence.
    const QString type = newest->type.toTextOrEmpty();
    if (!type.isEmpty() && type != WorkedType)
        return ClockOffer::ClockIn;
    if (!newest->timeOut.isNull())
        return ClockOffer::ClockIn;
    const double day = dates::datePart(newest->tdate.toDate());
    if (day == today)
        return ClockOffer::ClockOut;
    if (day + 1 == today)
        return ClockOffer::RepairYesterday;
    if (today > day + 1)
        return ClockOffer::RepairEarlier;
    return ClockOffer::Unchanged;
}

} // namespace pelmar
