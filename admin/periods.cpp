#include "admin/periods.h"

#include "platform/datetime.h"

namespace pelmar::admin {

namespace {

double monthStart(int year, int month)
{
    if (month < 1) {
        month += 12;
        --year;
    } else if (month > 12) {
        month -= 12;
        ++year;
    }
    return dates::serial(year, month, 1);
}

QString isoDate(double serial)
{
    const dates::Ymd d = dates::ymd(serial);
    return QStringLiteral("%1-%2-%3")
        .arg(d.year, 4, 10, QLatin1Char('0'))
        .arg(d.month, 2, 10, QLatin1Char('0'))
        .arg(d.day, 2, 10, QLatin1Char('0'));
}

} // namespace

DaySpan periodSpan(Period period, double now)
{
    const double today = dates::datePart(now);
    const dates::Ymd d = dates::ymd(today);
    switch (period) {
    case Period::ThisMonth:
        return {monthStart(d.year, d.month), monthStart(d.year, d.month + 1) - 1};
    case Period::LastMonth:
        return {monthStart(d.year, d.month - 1), monthStart(d.year, d.month) - 1};
    case Period::Last14Days:
        break;
    }
    return {today - 13, today};
}

bool isPeriod(Period period, double now, double from, double to)
{
    const DaySpan span = periodSpan(period, now);
    return span.from == dates::datePart(from) && span.to == dates::datePart(to);
}

QString datedFileName(const QString& stem, double from, double to, const QString& suffix)
{
    return QStringLiteral("%1-%2-to-%3.%4").arg(stem, isoDate(from), isoDate(to), suffix);
}

} // namespace pelmar::admin
