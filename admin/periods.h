#pragma once

#include <QString>

namespace pelmar::admin {

// The ranges the payroll and the time records offer at a pick, counted from
// the clock's today.
enum class Period
{
    ThisMonth,  // its first to its last day, the days still to come included
    LastMonth,  // the whole calendar month before
    Last14Days, // today and the 13 days before
};

struct DaySpan
{
    double from = 0;
    double to = 0;
};

DaySpan periodSpan(Period period, double now);
// The period whose span is from..to, if any.
bool isPeriod(Period period, double now, double from, double to);

// A report's file name that carries its range, so that each month's export
// sits beside the last instead of replacing it:
// "payroll-2026-12-01-to-2026-12-31.csv".
QString datedFileName(const QString& stem, double from, double to, const QString& suffix);

} // namespace pelmar::admin
