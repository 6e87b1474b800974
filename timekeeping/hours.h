#pragma once

#include "platform/value.h"

class QTimeZone;

namespace pelmar {

// Hours of a closed shift as worked: the real time from its clock-in to its
// clock-out in the terminal's time zone, so that a night across a clock
// change is paid for the hours it lasted. The clock-in is on the shift's
// date; the clock-out is the first moment at or after it that the clocks
// show its time, that day or the next, and a clock-out of 12:00 AM is
// always the midnight after the date. A time that an autumn night shows
// twice is read as the earlier one unless the clock-out would then come
// before the clock-in. Counted in whole seconds, so that shifts of equal
// length have equal hours and a whole number of hours is exact. Null when
// either time is Null.
Value shiftHours(const Value& tdate, const Value& timeIn, const Value& timeOut);
// The same in a given zone; the one above takes the system's.
Value shiftHours(const QTimeZone& zone, const Value& tdate, const Value& timeIn, const Value& timeOut);

// The one alert comparison: hours strictly greater than the threshold. Null
// hours never alert.
bool exceedsThreshold(const Value& hours, float notifyHours);

} // namespace pelmar
