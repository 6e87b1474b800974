#pragma once

#include <QString>

namespace pelmar::bench {

// A shift change: terminals in processes of their own, each logging in its
// share of the staff and clocking them in, then out again, as fast as it can
// through the same core the window calls.
constexpr int Terminals = 8;

// What a shift change is run on.
struct BurstOptions
{
    QString location;  // a database folder or a server's URI
    int employees = 0; // employees 1 to employees punch in at 7 am and out at 3 pm
    double day = 0;    // a whole-day serial after any record of theirs
    // Seconds the database goes away once the punches begin; the terminals
    // then keep punches in their journals, knowing every employee from the
    // day before.
    double outage = 0;
};

struct BurstFigures
{
    int punches = 0;    // saved, as the terminals reported them
    int failed = 0;     // punches that ended in an error shown to the employee
    double seconds = 0; // from the first terminal's start to the last one's end
    double p50Ms = 0;   // per punch: the log-in and the clock action
    double p99Ms = 0;
    int lost = 0;            // expected punches not in the Time table as reported
    int duplicated = 0;      // rows of the day besides each employee's one shift
    int kept = 0;            // punches kept in a terminal's journal
    double emptySeconds = 0; // from the database's return to the last journal emptied

    // No punch lost, duplicated or failed, and the journals emptied in time.
    bool clean() const { return lost == 0 && duplicated == 0 && failed == 0 && emptySeconds < 10; }
};

// Runs the shift change with Terminals terminals; the Time table is read
// back afterwards.
BurstFigures runBurst(const BurstOptions& options);

// One terminal of a burst: employees first, first + Terminals, ... up to
// options.employees. Prints "ready", waits for a line on its input, punches,
// then prints what it saved and its start and end on the system's steady
// clock.
int burstTerminal(const BurstOptions& options, int first);

// The figures of the burst on the file and, when there is one, on the
// server beside them.
void printBurst(const BurstFigures& file, const BurstFigures* server);

} // namespace pelmar::bench
