#include "login/clockstate.h"

#include "platform/datetime.h"

namespace pelmar {

ClockOffer clockOffer(const std::optional<NewestRecord>& newest, double today)
{
    if (!newest)
        return ClockOffer::ClockIn;
    // A Null type is no value at all, so it does not count as "not Worked".
    if (!newest->type.isNull() && newest->type.toText() != QLatin1String("Worked"))
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
