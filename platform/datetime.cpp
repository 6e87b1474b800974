#include "platform/datetime.h"

#include <cmath>
#include <cstdint>

namespace pelmar::dates {

namespace {

// Days since 1 January 1970 of a proleptic Gregorian date (H. Hinnant's
// days-from-civil); pure arithmetic so no locale or time zone gets involved.
constexpr std::int64_t daysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Ymd civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const std::int64_t y = yoe + era * 400 + (m <= 2);
    return {static_cast<int>(y), m, d};
}

constexpr std::int64_t kEpoch = daysFromCivil(1899, 12, 30);
constexpr int kSecondsPerDay = 86400;

// Serials before the epoch keep their time as a positive fraction after the
// minus sign (-1.25 is 29 Dec 1899 06:00), as the database files store them.
struct Split
{
    std::int64_t days;
    int seconds;
};

Split split(double serial)
{
    if (!std::isfinite(serial))
        return {0, 0};
    const double whole = std::trunc(serial);
    auto days = static_cast<std::int64_t>(whole);
    std::int64_t secs = std::llround(std::fabs(serial - whole) * kSecondsPerDay);
    // A fraction that rounds up to a full day is midnight of the next day.
    if (secs >= kSecondsPerDay) {
        secs -= kSecondsPerDay;
        days += serial < 0 ? -1 : 1;
    }
    return {days, static_cast<int>(secs)};
}

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

bool validDate(int y, int m, int d)
{
    return y >= 100 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

// 0 = Sunday; day 0 of the serials was a Saturday.
int weekdayOf(std::int64_t days)
{
    return static_cast<int>(((days + 6) % 7 + 7) % 7);
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// A hand-written reader rather than a regular expression: every character
// must belong to a known token, so nothing else can slip through into the
// SQL the program builds from a date text.
class Reader
{
public:
    explicit Reader(const QString& text) : m_s(text.trimmed()) {}

    bool atEnd() const { return m_i >= m_s.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_s.at(m_i); }

    bool take(char c)
    {
        if (peek() == QLatin1Char(c)) {
            ++m_i;
            return true;
        }
        return false;
    }

    // Skips blanks; returns how many were skipped.
    int spaces()
    {
        int n = 0;
        while (!atEnd() && m_s.at(m_i).isSpace()) {
            ++m_i;
            ++n;
        }
        return n;
    }

    bool digitNext() const { return !atEnd() && isAsciiDigit(peek()); }
    bool letterNext() const { return !atEnd() && isAsciiLetter(peek()); }

    // Reads a run of ASCII digits; the count goes to *width (0 when none).
    int number(int* width)
    {
        int value = 0;
        int n = 0;
        while (!atEnd() && isAsciiDigit(m_s.at(m_i))) {
            if (n < 9)
                value = value * 10 + (m_s.at(m_i).unicode() - '0');
            ++m_i;
            ++n;
        }
        *width = n;
        return value;
    }

    QString word()
    {
        const qsizetype start = m_i;
        while (!atEnd() && isAsciiLetter(m_s.at(m_i)))
            ++m_i;
        return m_s.mid(start, m_i - start);
    }

    qsizetype pos() const { return m_i; }
    void seek(qsizetype p) { m_i = p; }

private:
    QString m_s;
    qsizetype m_i = 0;
};

// Full name or its first three letters.
int nameIndex(const QString& w, const char* const* names, int count)
{
    for (int i = 0; i < count; ++i) {
        const QString full = QLatin1String(names[i]);
        if (w.compare(full, Qt::CaseInsensitive) == 0 || w.compare(full.left(3), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int monthIndex(const QString& w)
{
    return nameIndex(w, kMonths, 12);
}

int weekdayIndex(const QString& w)
{
    return nameIndex(w, kWeekdays, 7);
}

// Two-digit years fall in 1930-2029: a year typed as 29 is 2029, 30 is 1930.
std::optional<int> year(Reader& r)
{
    int width = 0;
    const int y = r.number(&width);
    if (width == 2)
        return y < 30 ? 2000 + y : 1900 + y;
    if (width == 4)
        return y;
    return std::nullopt;
}

std::optional<int> dayOrMonth(Reader& r)
{
    int width = 0;
    const int v = r.number(&width);
    if (width < 1 || width > 2)
        return std::nullopt;
    return v;
}

std::optional<double> makeDate(std::optional<int> y, std::optional<int> m, std::optional<int> d)
{
    if (!y || !m || !d || !validDate(*y, *m, *d))
        return std::nullopt;
    return serial(*y, *m, *d);
}

// "December 04, 2026", "Dec 4 2026" after the month name.
std::optional<double> afterMonthName(Reader& r, int month)
{
    if (r.spaces() == 0)
        return std::nullopt;
    const auto d = dayOrMonth(r);
    const bool comma = r.take(',');
    if (r.spaces() == 0 && !comma)
        return std::nullopt;
    return makeDate(year(r), month, d);
}

// "4 December 2026" after the day.
std::optional<double> afterDayMonthName(Reader& r, int day)
{
    const int month = monthIndex(r.word());
    if (month < 0)
        return std::nullopt;
    const bool comma = r.take(',');
    if (r.spaces() == 0 && !comma)
        return std::nullopt;
    return makeDate(year(r), month + 1, day);
}

std::optional<double> readDate(Reader& r)
{
    if (r.letterNext()) {
        QString w = r.word();
        if (weekdayIndex(w) >= 0) {
            // The weekday is only decoration: the date is read from the rest.
            const bool comma = r.take(',');
            if (r.spaces() == 0 && !comma)
                return std::nullopt;
            if (r.digitNext()) {
                const auto d = dayOrMonth(r);
                if (!d || r.spaces() == 0)
                    return std::nullopt;
                return afterDayMonthName(r, *d);
            }
            w = r.word();
        }
        const int month = monthIndex(w);
        if (month < 0)
            return std::nullopt;
        return afterMonthName(r, month + 1);
    }

    int width = 0;
    const int first = r.number(&width);
    if (width == 0)
        return std::nullopt;

    if (r.peek() == QLatin1Char('/') || r.peek() == QLatin1Char('-')) {
        const char sep = static_cast<char>(r.peek().unicode());
        r.take(sep);
        if (width == 4) {
            // YYYY-M-D, YYYY/M/D
            const auto m = dayOrMonth(r);
            if (!r.take(sep))
                return std::nullopt;
            return makeDate(first, m, dayOrMonth(r));
        }
        if (width > 2)
            return std::nullopt;
        if (sep == '-' && r.letterNext()) {
            // 4-Dec-2026, the medium date
            const int month = monthIndex(r.word());
            if (month < 0 || !r.take(sep))
                return std::nullopt;
            return makeDate(year(r), month + 1, first);
        }
        // M/D/YYYY, M-D-YY; a month above 12 is refused, never read as D/M.
        const auto d = dayOrMonth(r);
        if (!r.take(sep))
            return std::nullopt;
        return makeDate(year(r), first, d);
    }

    if (width <= 2 && r.spaces() > 0)
        return afterDayMonthName(r, first);
    return std::nullopt;
}

std::optional<double> readTime(Reader& r)
{
    int width = 0;
    const int hour = r.number(&width);
    if (width < 1 || width > 2)
        return std::nullopt;
    int minute = 0;
    int second = 0;
    bool colon = false;
    if (r.take(':')) {
        colon = true;
        minute = r.number(&width);
        if (width < 1 || width > 2)
            return std::nullopt;
        if (r.take(':')) {
            second = r.number(&width);
            if (width < 1 || width > 2)
                return std::nullopt;
        }
    }
    const qsizetype beforeSuffix = r.pos();
    r.spaces();
    const QString suffix = r.word();
    const bool am = suffix.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0;
    const bool pm = suffix.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
    if (!am && !pm) {
        // Leave anything that is not AM/PM to the caller, which refuses it.
        r.seek(beforeSuffix);
        if (!colon)
            return std::nullopt; // a bare number is not a time
    }
    if (minute > 59 || second > 59)
        return std::nullopt;
    int h = hour;
    if (am || pm) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        h = hour % 12 + (pm ? 12 : 0);
    } else if (hour > 23) {
        return std::nullopt;
    }
    return timeSerial(h, minute, second);
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

QString ampm(int hour)
{
    return hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
}

int hour12(int hour)
{
    return hour % 12 == 0 ? 12 : hour % 12;
}

} // namespace

double serial(int year, int month, int day)
{
    return static_cast<double>(daysFromCivil(year, month, day) - kEpoch);
}

double timeSerial(int hour, int minute, int second)
{
    return (hour * 3600 + minute * 60 + second) / static_cast<double>(kSecondsPerDay);
}

// Rounded like hms, so a time just short of midnight belongs to the next day.
Ymd ymd(double serial)
{
    return civilFromDays(split(serial).days + kEpoch);
}

void hms(double serial, int& hour, int& minute, int& second)
{
    const int s = split(serial).seconds;
    hour = s / 3600;
    minute = s / 60 % 60;
    second = s % 60;
}

double datePart(double serial)
{
    return std::trunc(serial);
}

double timePart(double serial)
{
    return std::fabs(serial - std::trunc(serial));
}

bool isDate(const QString& text)
{
    return parseDate(text).has_value();
}

std::optional<double> parseDate(const QString& text)
{
    Reader r(text);
    const auto date = readDate(r);
    if (!date)
        return std::nullopt;
    if (r.atEnd())
        return date;
    if (r.spaces() == 0)
        return std::nullopt;
    const auto time = readTime(r);
    if (!time || !r.atEnd())
        return std::nullopt;
    return *date + *time;
}

std::optional<double> parseTime(const QString& text)
{
    Reader r(text);
    const auto time = readTime(r);
    if (!time || !r.atEnd())
        return std::nullopt;
    return time;
}

std::optional<double> parseDateTime(const QString& text)
{
    if (auto d = parseDate(text))
        return d;
    return parseTime(text);
}

int weekday(double serial)
{
    return weekdayOf(split(serial).days);
}

bool isWeekend(double serial)
{
    const int day = weekday(serial);
    return day == 0 || day == 6;
}

QString longDate(double serial)
{
    const Split s = split(serial);
    const Ymd d = civilFromDays(s.days + kEpoch);
    return QStringLiteral("%1, %2 %3, %4")
        .arg(QLatin1String(kWeekdays[weekdayOf(s.days)]), QLatin1String(kMonths[d.month - 1]),
             twoDigits(d.day), QString::number(d.year));
}

QString longTime(double serial)
{
    int h = 0, m = 0, s = 0;
    hms(serial, h, m, s);
    return QStringLiteral("%1:%2:%3 %4").arg(QString::number(hour12(h)), twoDigits(m), twoDigits(s), ampm(h));
}

QString shortDate(double serial)
{
    const Ymd d = ymd(serial);
    return QStringLiteral("%1/%2/%3")
        .arg(QString::number(d.month), QString::number(d.day), QString::number(d.year));
}

QString mediumTime(double serial)
{
    int h = 0, m = 0, s = 0;
    hms(serial, h, m, s);
    return QStringLiteral("%1:%2 %3").arg(twoDigits(hour12(h)), twoDigits(m), ampm(h));
}

QString dateToText(double serial)
{
    const Split s = split(serial);
    if (s.days == 0)
        return longTime(serial);
    if (s.seconds == 0)
        return shortDate(serial);
    return shortDate(serial) + QLatin1Char(' ') + longTime(serial);
}

} // namespace pelmar::dates
