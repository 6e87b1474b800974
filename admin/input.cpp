#include "admin/input.h"

#include "admin/refusal.h"
#include "platform/datetime.h"

#include <QCoreApplication>
#include <cmath>

namespace pelmar::admin {

namespace {

constexpr qint64 SecondsPerDay = 86400;

qint64 positiveNumber(const QString& text, const QString& what)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || n <= 0)
        throw Refusal{QCoreApplication::translate("pelmar::admin", "'%1' is not %2 (a whole number above 0).")
                          .arg(text, what)};
    return n;
}

qint64 secondOfDay(double time)
{
    return std::llround(dates::timePart(time) * SecondsPerDay) % SecondsPerDay;
}

} // namespace

ShiftTimes checkShift(const ShiftTimes& times)
{
    if (!times.out)
        return times;
    const qint64 in = secondOfDay(times.in);
    const qint64 out = secondOfDay(*times.out);
    if (out == 0 && in == 0)
        throw Refusal{QCoreApplication::translate(
            "pelmar::admin", "A shift from 12:00 AM to the midnight after is 24 hours; the time "
                             "records can't hold it. Split it into two records.")};
    if (out != 0 && out < in)
        throw Refusal{
            QCoreApplication::translate("pelmar::admin",
                                        "The clock-out %1 is before the clock-in %2; only 12:00 AM means the "
                                        "midnight after the date.")
                .arg(dates::longTime(*times.out), dates::longTime(times.in))};
    return times;
}

namespace input {

qint64 employeeNumber(const QString& text)
{
    return positiveNumber(text, QCoreApplication::translate("pelmar::admin", "an employee number"));
}

qint64 timeNumber(const QString& text)
{
    return positiveNumber(text, QCoreApplication::translate("pelmar::admin", "a time record number"));
}

double date(const QString& text)
{
    const std::optional<double> d = dates::isDate(text) ? dates::parseDate(text) : std::nullopt;
    if (!d)
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "'%1' is not a date; write it as M/D/YYYY.")
                .arg(text)};
    return dates::datePart(*d);
}

void requireOrder(double from, double to)
{
    if (from > to)
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "The range ends on %1, before it starts on %2.")
                .arg(dates::shortDate(to), dates::shortDate(from))};
}

double timeOfDay(const QString& text)
{
    const QString suffix = text.trimmed().right(2);
    const bool ampm = suffix.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0 ||
                      suffix.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
    const std::optional<double> t = ampm ? dates::parseTime(text.trimmed()) : std::nullopt;
    if (!t)
        throw Refusal{QCoreApplication::translate("pelmar::admin",
                                                  "'%1' is not a time; write it as h:mm AM or h:mm:ss PM.")
                          .arg(text)};
    return *t;
}

ShiftTimes shift(const QString& in, const QString& out)
{
    ShiftTimes times{timeOfDay(in), std::nullopt};
    if (out != QLatin1String("-"))
        times.out = timeOfDay(out);
    return checkShift(times);
}

} // namespace input
} // namespace pelmar::admin
