#pragma once

#include <QString>
#include <optional>

// Date serials and the United States regional forms, fixed on every system.
// A date serial counts days since 30 December 1899; its fraction is the time
// of day (a time alone has date part 0, one minute is 1/1440).
namespace pelmar::dates {

struct Ymd
{
    int year;
    int month;
    int day;
};

// Serial of a calendar date; month and day must be valid.
double serial(int year, int month, int day);
// Serial of a time of day (fraction of a day).
double timeSerial(int hour, int minute, int second);
// Calendar date of the date part of a serial.
Ymd ymd(double serial);
// Hours, minutes, seconds of the fraction of a serial (rounded to the second).
void hms(double serial, int& hour, int& minute, int& second);
// Date part (whole days) of a serial.
double datePart(double serial);
// Time-of-day part of a serial.
double timePart(double serial);
// Day of the week of a serial's date: 0 is Sunday, 6 Saturday.
int weekday(double serial);
// Whether a serial's date is a Saturday or a Sunday.
bool isWeekend(double serial);

// The date test: true for the texts that the program reads as a calendar
// date (M/D/YYYY, M-D-YYYY, M/D/YY, "December 04, 2026", "Friday, December
// 04, 2026", ...), false for anything else. A text with a time only is not a
// date.
bool isDate(const QString& text);
// Reads a text that passes the date test; nullopt otherwise. The result is
// whole days unless the text also carries a time.
std::optional<double> parseDate(const QString& text);
// Reads a time-of-day text: "9:55:13 PM", "12:01 AM", "21:55:13".
std::optional<double> parseTime(const QString& text);
// Reads a date, a time, or a date followed by a time: what a date column
// accepts when a text is assigned to it.
std::optional<double> parseDateTime(const QString& text);

// Regional forms.
QString longDate(double serial);   // Friday, December 04, 2026
QString longTime(double serial);   // 9:55:13 PM
QString shortDate(double serial);  // 12/4/2026
QString mediumTime(double serial); // 09:55 PM
// A date value turned into text, as fields and mail show it: the short date
// alone when there is no time, the long time alone when the date part is 0,
// both separated by one blank otherwise.
QString dateToText(double serial);

} // namespace pelmar::dates
