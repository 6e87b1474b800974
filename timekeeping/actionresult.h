#pragma once

#include "platform/value.h"
#include "timekeeping/timerecords.h"

#include <QString>
#include <optional>
#include <vector>

namespace pelmar {

// The employee at the clock, as the database held them at the log-in.
struct Employee
{
    Value id;
    QString fullName;
};

// One thing an action tells, in the order the action fixes: a message box,
// or the unusual-time e-mail about a shift.
struct Notice
{
    enum class Kind
    {
        Message,
        Alert,
    };
    Kind kind = Kind::Message;
    QString text;    // the message, or the employee's name for an alert
    Value shiftDate; // an alert's shift date
    // The alert's row in the outbox, committed with the action; none where
    // the database has no outbox, and the alert is sent once, at once.
    std::optional<qint64> outboxId;

    static Notice message(QString text) { return {Kind::Message, std::move(text), Value(), std::nullopt}; }
    static Notice alert(QString fullName, Value shiftDate, std::optional<qint64> outboxId = std::nullopt)
    {
        return {Kind::Alert, std::move(fullName), std::move(shiftDate), outboxId};
    }
    bool operator==(const Notice&) const = default;
};

// The clocked-in or clocked-out line of the window: caption, date, time.
struct ClockLine
{
    QString caption;
    QString date;
    QString time; // empty for a record without that time

    bool operator==(const ClockLine&) const = default;
};

// What the clock button shows after an action.
enum class ButtonOffer
{
    Keep,   // as it was
    Hidden, // one clock action per log-in
    ClockIn,
    ClockOut,
};

// Everything a log-in or clock action decided, from the rows it read inside
// its own transaction. The window shows it as it stands and sends the alerts
// it lists; nothing read afterwards changes it.
struct ActionResult
{
    std::vector<Notice> notices;
    ButtonOffer offer = ButtonOffer::Keep;
    // With ClockOut: the shift a clock-out closes, by key.
    std::optional<qint64> openShift;
    std::optional<ClockLine> clockedIn;
    std::optional<ClockLine> clockedOut;
    // The shift a clock action opened or closed; empty when it wrote nothing.
    std::optional<qint64> written;
};

// "You Clocked in:" with the shift's date and clock-in time.
ClockLine clockedInLine(const TimeRecord& shift);
// "You Clocked out:" with the day it ended and the stored clock-out time.
ClockLine clockedOutLine(double day, const TimeRecord& shift);

} // namespace pelmar
