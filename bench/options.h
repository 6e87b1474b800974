#pragma once

#include "bench/generator.h"
#include "platform/datetime.h"

#include <QString>
#include <QStringList>

namespace pelmar::bench {

// What pelmar-bench was told on its command line.
struct Options
{
    Company company;
    QString out;
    int runs = 21;
    bool check = false;
    QString server;
    bool burst = false;
    double outage = 0;   // seconds the database goes away in the burst's middle
    QString childFolder; // internal: one start-up in this process, then its memory
    QString childBurst;  // internal: one terminal of a burst at this location
    int childBurstFirst = 0;
};

// The benchmark's first "today": Friday 4 December 2026. A database used
// again moves on past the shifts earlier runs left.
inline const double FirstToday = dates::serial(2026, 12, 4);
// The burst's day: the Monday after, clear of the timed actions' shifts.
inline const double BurstDay = FirstToday + 3;

// The options in args (the program's name first); prints the usage and
// exits with status 2 on anything it does not know.
Options parse(const QStringList& args);

} // namespace pelmar::bench
