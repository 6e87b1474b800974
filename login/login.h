#pragma once

#include "login/clockstate.h"
#include "platform/value.h"
#include "timekeeping/timerecords.h"

#include <QString>
#include <optional>

namespace pelmar {

class TimeClock;

// The password check: exact texts, nothing trimmed; an empty entry never
// passes, and a row without any password can't be matched by anything typed.
bool passwordMatches(const Value& stored, const QString& typed);

// What a log-in found and did.
struct LogIn
{
    enum class Repair
    {
        None,
        ClosedYesterday, // closed at midnight and reopened at 12:01 am
        ClosedEarlier,   // closed at midnight; the employee is told
    };

    // ClockIn, ClockOut or Unchanged.
    ClockOffer offer = ClockOffer::Unchanged;
    // With ClockOut: the open shift, shown and later closed by its key.
    std::optional<TimeRecord> openShift;
    Repair repair = Repair::None;
    // The shift a repair closed, as stored.
    std::optional<TimeRecord> closedShift;
    bool alertDue = false;
    // The repair's message to the employee; empty without a repair.
    QString message;
    // Caption of the total hours of the default range.
    QString total;
};

// Logs the employee in at now (one reading of the clock): loads their
// default range into the time records and its total, decides the clock offer
// from the newest record and repairs a shift left open on an earlier day.
// A repair writes only while the shift is still open; when another terminal
// got there first the records are read again and decided afresh.
LogIn logIn(TimeClock& clock, const Value& employeeId, double now);

} // namespace pelmar
