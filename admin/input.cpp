#include "admin/input.h"

#include "admin/refusal.h"
#include "platform/datetime.h"
#include "timekeeping/hours.h"

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

// 10:00 PM, or 10:00:30 PM when the seconds count.
QString shortTime(double time)
{
    const qint64 s = secondOfDay(time);
    const int hour = static_cast<int>(s / 3600);
    const QString minutes = QString::number(s / 60 % 60).rightJustified(2, QLatin1Char('0'));
    const QString seconds =
        s % 60 ? QLatin1Char(':') + QString::number(s % 60).rightJustified(2, QLatin1Char('0')) : QString();
    return QStringLiteral("%1:%2%3 %4")
        .arg(QString::number(hour % 12 == 0 ? 12 : hour % 12), minutes, seconds,
             hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

} // namespace

namespace {

Value hoursOf(double date, const ShiftTimes& times)
{
    return shiftHours(Value::date(date), Value::date(times.in),
                      times.out ? Value::date(*times.out) : Value::null());
}

// Whether the clock-out falls on the day after the date, by the clock's rule.
bool endsNextDay(const ShiftTimes& times)
{
    return times.out && (secondOfDay(*times.out) == 0 || secondOfDay(*times.out) < secondOfDay(times.in));
}

} // namespace

ShiftTimes checkShift(double date, const ShiftTimes& times)
{
    const Value hours = hoursOf(date, times);
    if (!hours.isNull() && hours.toDouble() >= 24)
        throw Refusal{QCoreApplication::translate(
                          "pelmar::admin", "A shift from %1 to %2 the next day lasts 24 hours or more; a "
                                           "time record holds less. Split it into two records.")
                          .arg(dates::longTime(times.in), dates::longTime(*times.out))};
    return times;
}

QString describeShift(double date, const ShiftTimes& times)
{
    if (!times.out)
        return QCoreApplication::translate("pelmar::admin", "From %1, still open")
            .arg(dates::longTime(times.in));
    const QString hours = QString::number(hoursOf(date, times).toDouble(), 'f', 2);
    return endsNextDay(times)
               ? QCoreApplication::translate("pelmar::admin", "%1 to %2 the next day: %3 hours")
                     .arg(shortTime(times.in), shortTime(*times.out), hours)
               : QCoreApplication::translate("pelmar::admin", "%1 to %2: %3 hours")
                     .arg(shortTime(times.in), shortTime(*times.out), hours);
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
    return times;
}

} // namespace input
} // namespace pelmar::admin
