#pragma once

#include <QString>

namespace pelmar::bench {

// A shift change: terminals in processes of their own, each logging in its
// share of the staff and clocking them in, then out again, as fast as it can
// through the same core the window calls.
constexpr int Terminals = 8;

struct BurstFigures
{
    int punches = 0;    // saved, as the terminals reported them
    int failed = 0;     // punches that ended in an error shown to the employee
    double seconds = 0; // from the first terminal's start to the last one's end
    double p50Ms = 0;   // per punch: the log-in and the clock action
    double p99Ms = 0;
    int lost = 0;       // expected punches not in the Time table as reported
    int duplicated = 0; // rows of the day besides each employee's one shift
};

// Employees 1 to employees punch in at 7 am and out at 3 pm of day (a
// whole-day serial after any record of theirs) at location, a database folder
// or a server's URI; the Time table is read back afterwards.
BurstFigures runBurst(const QString& location, int employees, double day);

// One terminal of a burst: employees first, first + Terminals, ... up to
// employees. Prints "ready", waits for a line on its input, punches, then
// prints what it saved and its start and end on the system's steady clock.
int burstTerminal(const QString& location, int first, int employees, double day);

} // namespace pelmar::bench
