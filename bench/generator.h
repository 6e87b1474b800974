#pragma once

#include <QString>

namespace pelmar::bench {

// Sizes of a generated company.
struct Company
{
    int employees = 500; // current staff
    int former = 50;     // terminated at some point of the history
    int years = 10;      // of shifts and absences, up to the day before today
};

// Employee number i (from 1) is called fullName(i) and logs in with password(i).
QString fullName(int id);
QString password(int id);

// Writes the employees, the settings and the history of a company into a new
// database at path through the program's own store, in batches of one
// transaction each. today is a whole-day serial; returns the number of time
// records written.
long long generate(const QString& path, const Company& company, double today);

} // namespace pelmar::bench
