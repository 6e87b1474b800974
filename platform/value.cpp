#include "platform/value.h"

#include "platform/datetime.h"
#include "platform/numformat.h"
#include "platform/runerror.h"

#include <charconv>
#include <cmath>
#include <string>

namespace pelmar {

namespace {

RunError overflow()
{
    return RunError::of(err::Overflow);
}

// A US-form number: blanks around it, an optional sign, thousands commas in
// the whole part, a point and an exponent. Anything else is a mismatch.
double readNumber(const QString& text)
{
    const QString t = text.trimmed();
    std::string s;
    s.reserve(static_cast<size_t>(t.size()));
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
        negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
            s += static_cast<char>(c.unicode());
        } else if (c == QLatin1Char(',') && digits && !point) {
            continue;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            s += '.';
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && digits) {
            break;
        } else {
            throw RunError::of(err::TypeMismatch);
        }
    }
    if (!digits)
        throw RunError::of(err::TypeMismatch);
    if (i < t.size()) {
        s += 'e';
        ++i;
        if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
            s += static_cast<char>(t.at(i++).unicode());
        bool expDigits = false;
        for (; i < t.size(); ++i) {
            const QChar c = t.at(i);
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                throw RunError::of(err::TypeMismatch);
            expDigits = true;
            s += static_cast<char>(c.unicode());
        }
        if (!expDigits)
            throw RunError::of(err::TypeMismatch);
    }
    double v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec == std::errc::result_out_of_range)
        throw overflow();
    if (res.ec != std::errc() || res.ptr != s.data() + s.size())
        throw RunError::of(err::TypeMismatch);
    return negative ? -v : v;
}

// Bounds just outside 1 January 100 and 31 December 9999, the dates a value
// may hold; serials before the epoch carry their time after the minus.
constexpr double kBeforeFirst = -657435.0;
constexpr double kAfterLast = 2958466.0;

} // namespace

QString Value::toText() const
{
    switch (m_kind) {
    case Kind::Null:
        throw RunError::of(err::InvalidUseOfNull);
    case Kind::Integer:
        return QString::number(std::get<qint64>(m_store));
    case Kind::Double:
        return shortestNumber(std::get<double>(m_store));
    case Kind::Text:
        return std::get<QString>(m_store);
    case Kind::Date:
        return dates::dateToText(std::get<double>(m_store));
    }
    return QString();
}

double Value::toDouble() const
{
    switch (m_kind) {
    case Kind::Null:
        throw RunError::of(err::InvalidUseOfNull);
    case Kind::Integer:
        return static_cast<double>(std::get<qint64>(m_store));
    case Kind::Double:
    case Kind::Date:
        return std::get<double>(m_store);
    case Kind::Text:
        return readNumber(std::get<QString>(m_store));
    }
    return 0;
}

float Value::toSingle() const
{
    return static_cast<float>(toDouble());
}

qint64 Value::toInteger() const
{
    if (m_kind == Kind::Integer)
        return std::get<qint64>(m_store);
    const double v = toDouble();
    double r = std::floor(v);
    const double diff = v - r;
    // Halves go to the even neighbour (2.5 -> 2, 3.5 -> 4).
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0))
        r += 1;
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throw overflow();
    return static_cast<qint64>(r);
}

double Value::toDate() const
{
    double serial = 0;
    switch (m_kind) {
    case Kind::Null:
        throw RunError::of(err::InvalidUseOfNull);
    case Kind::Text: {
        const auto d = dates::parseDateTime(std::get<QString>(m_store));
        if (!d)
            throw RunError::of(err::TypeMismatch);
        return *d;
    }
    case Kind::Date:
        return std::get<double>(m_store);
    case Kind::Integer:
        serial = static_cast<double>(std::get<qint64>(m_store));
        break;
    case Kind::Double:
        serial = std::get<double>(m_store);
        break;
    }
    if (!(serial > kBeforeFirst && serial < kAfterLast))
        throw overflow();
    return serial;
}

} // namespace pelmar
