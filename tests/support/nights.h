#pragma once

#include "platform/datetime.h"

#include <vector>

namespace pelmar::test {

// Shifts in America/New_York across its 2026 clock changes, with the hours
// they were worked: the table both the program's rule and the server's are
// held to.
struct Night
{
    const char* what;
    double date;
    int inHour, inMinute, outHour, outMinute;
    double hours;
};

inline std::vector<Night> nights()
{
    const double autumn = dates::serial(2026, 10, 31), spring = dates::serial(2026, 3, 7);
    const double ordinary = dates::serial(2026, 12, 3);
    return {
        {"an ordinary night", ordinary, 22, 0, 6, 0, 8},
        {"the autumn night", autumn, 22, 0, 6, 0, 9},
        {"the spring night", spring, 22, 0, 6, 0, 7},
        {"in and out within the repeated hour", autumn + 1, 1, 30, 1, 45, 0.25},
        {"out in the repeated hour's second pass", autumn + 1, 1, 30, 1, 15, 0.75},
        {"in before the skipped hour", spring + 1, 1, 30, 3, 30, 1},
        {"a day shift", ordinary, 9, 0, 17, 30, 8.5},
        // The midnight repair: the two records of a night add up to it.
        {"autumn, closed at midnight", autumn, 22, 0, 0, 0, 2},
        {"autumn, reopened at midnight", autumn + 1, 0, 0, 6, 0, 7},
        {"spring, closed at midnight", spring, 22, 0, 0, 0, 2},
        {"spring, reopened at midnight", spring + 1, 0, 0, 6, 0, 5},
        {"ordinary, reopened at midnight", ordinary + 1, 0, 0, 6, 0, 6},
        {"midnight to midnight", ordinary, 0, 0, 0, 0, 24},
        {"in and out at once", ordinary, 9, 0, 9, 0, 0},
    };
}

} // namespace pelmar::test
