#pragma once

#include "platform/value.h"

#include <QString>

namespace pelmar {

class Workplace;

// A range of days: date values for the default range, or the texts the
// employee typed, which go into the statements exactly as typed.
struct DateRange
{
    Value from;
    Value to;
};

namespace timesheet {

// Today and the days before it that the sheet shows unless told otherwise.
DateRange defaultRange(double now);

// The two typed entries, checked in the order they are asked for.
enum class Entry
{
    Accepted,
    Cancelled, // empty start entry: back to the default range, no message
    NotADate,  // "Entry is not a valid date", then the default range
};
Entry checkStart(const QString& typed);
Entry checkEnd(const QString& typed);

// The one range load: the employee's records in the range into the time
// record source (newest first) and the caption of their total hours
// ("Total Hours 8.").
QString load(Workplace& workplace, const DateRange& range, const Value& employeeId);

// "Total Hours " and the hours in the pattern "#######0.##", 0 for Null.
QString totalCaption(const Value& sum);

} // namespace timesheet
} // namespace pelmar
