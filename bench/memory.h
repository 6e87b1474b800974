#pragma once

#include <QString>

namespace pelmar::bench {

// Resident memory of a start-up, in megabytes.
struct Memory
{
    double peakMb = 0;
    double residentMb = 0;
};

// The median of three start-ups on the database in dbFolder, each in a
// fresh process of this program (childStartUp).
Memory startUpMemory(const QString& dbFolder);

// One start-up in a process of its own, shown on the screen as the program
// shows it: prints the peak and current resident memory in kB.
int childStartUp(const QString& dbFolder);

} // namespace pelmar::bench
