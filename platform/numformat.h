#pragma once

#include <QString>

namespace pelmar {

// Number formatting with a pattern, for the two patterns the program uses:
//   "##.00"       -> exactly two decimals, no leading zero below 1 (.50, 12.35)
//   "#######0.##" -> at most two decimals, trailing zeros dropped, the point
//                    always written (0., 8., 7.46)
// Rounding is half away from zero. Other patterns of the same kind (digits
// '#' and '0', one '.') are honoured in the same way.
QString formatNumber(double value, const QString& pattern);

// Shortest text that reads back as the same double ("7.5", "16", "0.1").
QString shortestNumber(double value);

} // namespace pelmar
