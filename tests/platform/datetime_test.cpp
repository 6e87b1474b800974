#include "platform/datetime.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace pelmar;

namespace {

using dates::timeSerial;
const double Dec4 = 46360;

TEST(DateSerial, DaysAndTimesOfDay)
{
    EXPECT_EQ(dates::serial(1900, 3, 1), 61); // 1900 was not a leap year
    EXPECT_EQ(dates::serial(2026, 12, 4), Dec4);
    EXPECT_EQ(dates::serial(100, 1, 1), -657434);
    EXPECT_EQ(dates::serial(9999, 12, 31), 2958465);
    for (double s = -657434; s <= 2958465; s += 97) {
        const dates::Ymd d = dates::ymd(s);
        ASSERT_EQ(dates::serial(d.year, d.month, d.day), s) << s;
    }
    int h = 0, m = 0, s = 0;
    // -1.25 is 29 Dec 1899 at 06:00, not 28 Dec at 18:00.
    EXPECT_EQ(dates::datePart(-1.25), -1);
    EXPECT_DOUBLE_EQ(dates::timePart(-1.25), 0.25);
    // A hair before midnight rounds into the next day.
    dates::hms(Dec4 + 0.99999999, h, m, s);
    EXPECT_EQ((std::vector{h, m, s}), (std::vector{0, 0, 0}));
    EXPECT_EQ(dates::dateToText(Dec4 + 0.99999999), "12/5/2026");
    // Friday 4 December 2026, and the serials' first day, a Saturday.
    EXPECT_EQ(dates::weekday(Dec4 + 0.5), 5);
    EXPECT_EQ(dates::weekday(0), 6);
    EXPECT_EQ(dates::weekday(-1.25), 5);
    const bool weekend[] = {false, true, true, false}; // Friday to Monday
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dates::isWeekend(Dec4 + i), weekend[i]) << i;
}

TEST(DateTest, Accepts)
{
    // Two-digit years: 00-29 this century, 30-99 the last.
    EXPECT_DOUBLE_EQ(dates::parseDate("1/1/29").value_or(-1), dates::serial(2029, 1, 1));
    EXPECT_DOUBLE_EQ(dates::parseDate("1/1/30").value_or(-1), dates::serial(1930, 1, 1));
    // The weekday is not checked; a time goes with the date.
    for (const char* text : {"12-4-2026", "2026/12/04", "\t12/4/2026\n", "4-Dec-2026", "DEC 4,2026",
                             "Monday, December 04, 2026", "December 04, 2026 21:55"})
        EXPECT_DOUBLE_EQ(dates::datePart(dates::parseDate(text).value_or(-1)), Dec4) << text;
}

// What is typed into the date boxes goes into SQL text as it is, so anything
// more than a date is refused.
TEST(DateTest, Refuses)
{
    const QStringList refused =
        QStringLiteral(
            "2/29/2026|13/1/2026|1/1/0099|1/1/10000|Decembre 4, 2026||9:55 PM|46360|12/4|12/4/2026 25:00|"
            "12/4-2026|12.4.2026|1/1/2026# OR 1=1 OR #1/1/2026|'1/1/2026'|1/1/2026 9:00 AM; DELETE")
            .split(QLatin1Char('|'));
    for (const QString& text : refused) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(dates::isDate(text));
        EXPECT_EQ(dates::parseDateTime(text).has_value(), dates::parseTime(text).has_value());
    }
    // Arabic-Indic digits pass QChar::isDigit but are not the ASCII digits a date is read from.
    EXPECT_FALSE(dates::isDate(QString::fromUtf8("\u0661/1/2026")));
}

TEST(TimeText, Forms)
{
    const std::pair<const char*, double> accepted[] = {
        {"12:00:00 AM", 0},
        {"0:00", 0},
        {"12:30 PM", timeSerial(12, 30, 0)},
        {"9 PM", timeSerial(21, 0, 0)},
        {"9:55:13pm", timeSerial(21, 55, 13)},
        {" 21:55:13 ", timeSerial(21, 55, 13)},
    };
    for (const auto& [text, serial] : accepted)
        EXPECT_DOUBLE_EQ(dates::parseTime(QString::fromLatin1(text)).value_or(-1), serial) << text;
    for (const char* text : {"", "9", "24:00", "13:00 PM", "0:30 AM", "9:60", "9:55:13 XM", "9:55 PM;"})
        EXPECT_FALSE(dates::parseTime(QString::fromLatin1(text))) << text;
    EXPECT_DOUBLE_EQ(*dates::parseDateTime("12/4/2026  9:55 PM"), Dec4 + timeSerial(21, 55, 0));
    EXPECT_FALSE(dates::parseDateTime("9:55 PM 12/4/2026"));
}

TEST(DateForms, WrittenFormsReadBack)
{
    EXPECT_EQ(dates::longDate(dates::serial(2026, 1, 1)), "Thursday, January 01, 2026");
    // Date only, time only (midnight included), or both.
    EXPECT_EQ(dates::dateToText(Dec4), "12/4/2026");
    EXPECT_EQ(dates::dateToText(0), "12:00:00 AM");
    EXPECT_EQ(dates::dateToText(Dec4 + timeSerial(21, 55, 13)), "12/4/2026 9:55:13 PM");
    for (const double t : {dates::serial(1930, 1, 1), Dec4 + timeSerial(21, 55, 13)}) {
        SCOPED_TRACE(t);
        EXPECT_EQ(dates::parseDate(dates::shortDate(t)), dates::datePart(t));
        EXPECT_EQ(dates::parseDate(dates::longDate(t)), dates::datePart(t));
        EXPECT_NEAR(dates::parseDateTime(dates::dateToText(t)).value_or(-1), t, 1e-9);
        EXPECT_NEAR(dates::parseTime(dates::longTime(t)).value_or(-1), dates::timePart(t), 1e-9);
    }
}

} // namespace
