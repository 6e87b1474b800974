#pragma once

#include "timekeeping/timerecords.h"

#include <optional>

namespace pelmar {

// What a log-in offers on the clock button, decided from the employee's
// newest time record of the period.
enum class ClockOffer
{
    ClockIn,         // no open worked record
    ClockOut,        // open since today
    RepairYesterday, // left open yesterday: close at midnight, reopen at 12:00 am, so the two records meet
    RepairEarlier,   // left open two or more days ago: close at midnight, notify
    Unchanged,       // dated after today: the button keeps what it had
};

// newest is empty when the period holds no record; today is a whole-day
// serial. The tests run in a fixed order and stop at the first that decides,
// so a Null Tdate fails (error 94) only when it is reached.
ClockOffer clockOffer(const std::optional<TimeRecord>& newest, double today);

} // namespace pelmar
