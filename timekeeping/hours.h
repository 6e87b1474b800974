#pragma once

#include "platform/value.h"

namespace pelmar {

// Hours of a closed shift: from clock-in to clock-out, plus a day when the
// clock-out is earlier than the clock-in (a shift over midnight). Counted in
// whole seconds, so that shifts of equal length have equal hours and a whole
// number of hours is exact. Null when either time is Null.
Value shiftHours(const Value& timeIn, const Value& timeOut);

// The one alert comparison: hours strictly greater than the threshold. Null
// hours never alert.
bool exceedsThreshold(const Value& hours, float notifyHours);

} // namespace pelmar
