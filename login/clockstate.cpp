#include "login/clockstate.h"

#include "platform/datetime.h"

namespace pelmar {

ClockOffer clockOffer(const std::optional<TimeRecord>& newest, double today)
{
    if (!newest || !newest->isOpenShift())
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
