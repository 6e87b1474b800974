#include "timekeeping/hours.h"

#include "platform/datetime.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace pelmar {

namespace {

constexpr qint64 SecondsPerDay = 86400;
constexpr double UnixEpochSerial = 25569; // 1/1/1970
// A local time read as if it were UTC lies within 14 hours of its instant,
// and a clock change within 3 hours of that: 18 hours either way reads the
// offsets on both sides of it.
constexpr qint64 AroundAChange = 18 * 3600;

qint64 secondOfDay(const Value& time)
{
    // Times are stored to the second; rounding undoes the serial's binary
    // fraction (9:00 AM is not exactly 0.375 of a day in every form).
    const qint64 s = std::llround(dates::timePart(time.toDouble()) * SecondsPerDay);
    return s % SecondsPerDay;
}

int offsetAt(const QTimeZone& zone, qint64 instant)
{
    return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(instant, Qt::UTC));
}

// The instants (seconds since 1970) at which the zone's clocks show second
// of day, earliest first: two in the hour an autumn night repeats; in the
// hour a spring night skips, the one the clocks' offset before it gives.
std::vector<qint64> instants(const QTimeZone& zone, qint64 day, qint64 second)
{
    const qint64 asIfUtc = (day - static_cast<qint64>(UnixEpochSerial)) * SecondsPerDay + second;
    std::vector<qint64> found;
    for (const qint64 side : {-AroundAChange, AroundAChange}) {
        const int offset = offsetAt(zone, asIfUtc + side);
        const qint64 instant = asIfUtc - offset;
        if (offsetAt(zone, instant) == offset &&
            std::find(found.begin(), found.end(), instant) == found.end())
            found.push_back(instant);
    }
    if (found.empty())
        found.push_back(asIfUtc - offsetAt(zone, asIfUtc - AroundAChange));
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<qint64> firstFrom(const std::vector<qint64>& candidates, qint64 from)
{
    for (const qint64 instant : candidates) {
        if (instant >= from)
            return instant;
    }
    return std::nullopt;
}

} // namespace

Value shiftHours(const QTimeZone& zone, const Value& tdate, const Value& timeIn, const Value& timeOut)
{
    if (timeIn.isNull() || timeOut.isNull())
        return Value::null();
    const qint64 day = tdate.isNull() ? 0 : static_cast<qint64>(std::floor(tdate.toDouble()));
    const qint64 in = instants(zone, day, secondOfDay(timeIn)).front();
    const qint64 outSecond = secondOfDay(timeOut);
    std::optional<qint64> out;
    if (outSecond != 0)
        out = firstFrom(instants(zone, day, outSecond), in);
    if (!out)
        out = firstFrom(instants(zone, day + 1, outSecond), in);
    return Value::number(static_cast<double>(out.value_or(in) - in) / 3600.0);
}

Value shiftHours(const Value& tdate, const Value& timeIn, const Value& timeOut)
{
    return shiftHours(QTimeZone::systemTimeZone(), tdate, timeIn, timeOut);
}

bool exceedsThreshold(const Value& hours, float notifyHours)
{
    return !hours.isNull() && hours.toDouble() > static_cast<double>(notifyHours);
}

} // namespace pelmar
