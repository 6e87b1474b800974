#include "platform/numformat.h"

#include <charconv>
#include <cmath>
#include <string>

namespace pelmar {

namespace {

struct Pattern
{
    QString prefix;
    QString suffix;
    bool point = false;
    int minInt = 0;  // '0' places before the point
    int minFrac = 0; // places after the point up to the last '0'
    int maxFrac = 0; // all places after the point
};

bool isPlace(QChar c)
{
    return c == QLatin1Char('#') || c == QLatin1Char('0');
}

Pattern readPattern(const QString& text)
{
    Pattern p;
    qsizetype first = 0;
    while (first < text.size() && !isPlace(text.at(first)) && text.at(first) != QLatin1Char('.'))
        ++first;
    qsizetype last = text.size();
    while (last > first && !isPlace(text.at(last - 1)) && text.at(last - 1) != QLatin1Char('.'))
        --last;
    p.prefix = text.left(first);
    p.suffix = text.mid(last);

    bool zeroSeen = false;
    for (qsizetype i = first; i < last; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('.') && !p.point) {
            p.point = true;
        } else if (!isPlace(c)) {
            continue;
        } else if (!p.point) {
            // Every place from the first '0' on is written.
            zeroSeen = zeroSeen || c == QLatin1Char('0');
            if (zeroSeen)
                ++p.minInt;
        } else {
            ++p.maxFrac;
            if (c == QLatin1Char('0'))
                p.minFrac = p.maxFrac;
        }
    }
    return p;
}

// Adds one unit in the last place of a digit string; true on carry out.
bool increment(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

} // namespace

QString formatNumber(double value, const QString& pattern)
{
    if (!std::isfinite(value))
        return shortestNumber(value);
    const Pattern p = readPattern(pattern);

    // Round the decimal text of the value, 15 significant digits as the run
    // time keeps them, rather than the binary value: 2.675 becomes 2.68.
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string sci(buf, res.ptr);
    const auto e = sci.find('e');
    std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
    const int pointPos = std::stoi(sci.substr(e + 1)) + 1; // digits before the point

    std::string whole;
    std::string frac;
    if (pointPos <= 0) {
        frac = std::string(static_cast<size_t>(-pointPos), '0') + digits;
    } else if (pointPos >= static_cast<int>(digits.size())) {
        whole = digits + std::string(static_cast<size_t>(pointPos) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<size_t>(pointPos));
        frac = digits.substr(static_cast<size_t>(pointPos));
    }

    const auto maxFrac = static_cast<size_t>(p.maxFrac);
    if (frac.size() > maxFrac) {
        const bool up = frac[maxFrac] >= '5'; // half away from zero
        frac.resize(maxFrac);
        if (up) {
            std::string all = whole + frac;
            if (increment(all))
                all.insert(all.begin(), '1');
            whole = all.substr(0, all.size() - frac.size());
            frac = all.substr(all.size() - frac.size());
        }
    }

    while (frac.size() > static_cast<size_t>(p.minFrac) && frac.back() == '0')
        frac.pop_back();
    frac.resize(std::max(frac.size(), static_cast<size_t>(p.minFrac)), '0');
    const auto nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? std::string() : whole.substr(nz);
    if (whole.size() < static_cast<size_t>(p.minInt))
        whole.insert(0, static_cast<size_t>(p.minInt) - whole.size(), '0');

    // A negative value keeps its sign even when it rounds to nothing (-.00),
    // so that a negative amount never reads as zero.
    QString out = p.prefix;
    if (value < 0)
        out += QLatin1Char('-');
    out += QString::fromStdString(whole);
    if (p.point)
        out += QLatin1Char('.') + QString::fromStdString(frac);
    return out + p.suffix;
}

QString shortestNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, res.ptr - buf);
}

} // namespace pelmar
