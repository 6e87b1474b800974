#pragma once

#include "platform/value.h"

#include <QString>

namespace pelmar {

// Hours of a closed shift: (out - in) x 24, plus 24 when out is earlier than
// in (a shift over midnight). Floating point, never rounded. Null when either
// time is Null.
Value shiftHours(const Value& timeIn, const Value& timeOut);

// Today's date text taken from the long-date label: everything after the
// first comma and the one character behind it ("Friday, December 04, 2026"
// gives "December 04, 2026"). Error 5 for an empty caption.
QString dateTextOfLongDate(const QString& caption);

} // namespace pelmar
