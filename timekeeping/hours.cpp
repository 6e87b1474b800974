#include "timekeeping/hours.h"

#include "platform/datetime.h"
#include "platform/runerror.h"

namespace pelmar {

Value shiftHours(const Value& timeIn, const Value& timeOut)
{
    if (timeIn.isNull() || timeOut.isNull())
        return Value::null();
    const double in = dates::timePart(timeIn.toDouble());
    const double out = dates::timePart(timeOut.toDouble());
    double days = out - in;
    if (out < in)
        days += 1;
    return Value::number(days * 24);
}

QString dateTextOfLongDate(const QString& caption)
{
    const int p = static_cast<int>(caption.indexOf(QLatin1Char(','))) + 1;
    const int keep = static_cast<int>(caption.size()) - (p + 1);
    if (keep < 0)
        throw RunError::of(err::InvalidArgument);
    return caption.right(keep);
}

} // namespace pelmar
