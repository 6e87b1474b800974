#include "platform/datetime.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelmar;

namespace {

double secs(int h, int m, int s)
{
    return dates::timeSerial(h, m, s);
}

} // namespace

// --- serials --------------------------------------------------------------

TEST(DateSerial, KnownDays)
{
    EXPECT_EQ(dates::serial(1899, 12, 30), 0);
    EXPECT_EQ(dates::serial(1899, 12, 31), 1);
    EXPECT_EQ(dates::serial(1900, 1, 1), 2);
    EXPECT_EQ(dates::serial(1900, 3, 1), 61); // 1900 was not a leap year
    EXPECT_EQ(dates::serial(2000, 2, 29), 36585);
    EXPECT_EQ(dates::serial(2026, 12, 4), 46360);
    EXPECT_EQ(dates::serial(1899, 12, 29), -1);
    EXPECT_EQ(dates::serial(100, 1, 1), -657434);
    EXPECT_EQ(dates::serial(9999, 12, 31), 2958465);
}

TEST(DateSerial, CalendarRoundTripOverTheWholeRange)
{
    for (double s = -657434; s <= 2958465; s += 97) {
        const dates::Ymd d = dates::ymd(s);
        ASSERT_EQ(dates::serial(d.year, d.month, d.day), s) << s;
    }
}

TEST(DateSerial, TimeOfDay)
{
    EXPECT_DOUBLE_EQ(secs(0, 1, 0), 1.0 / 1440);
    EXPECT_DOUBLE_EQ(secs(12, 0, 0), 0.5);
    int h = 0, m = 0, s = 0;
    dates::hms(46360 + secs(21, 55, 13), h, m, s);
    EXPECT_EQ(h, 21);
    EXPECT_EQ(m, 55);
    EXPECT_EQ(s, 13);
}

TEST(DateSerial, NegativeSerialsKeepTheirTimeAfterTheSign)
{
    // -1.25 is 29 Dec 1899 at 06:00, not 28 Dec at 18:00.
    const dates::Ymd d = dates::ymd(-1.25);
    EXPECT_EQ(d.year, 1899);
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.day, 29);
    int h = 0, m = 0, s = 0;
    dates::hms(-1.25, h, m, s);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(dates::datePart(-1.25), -1);
    EXPECT_DOUBLE_EQ(dates::timePart(-1.25), 0.25);
}

TEST(DateSerial, AlmostMidnightCarriesIntoTheNextDay)
{
    const double t = 46360.99999999;
    int h = 0, m = 0, s = 0;
    dates::hms(t, h, m, s);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(dates::shortDate(t), "12/5/2026");
    EXPECT_EQ(dates::longTime(0.99999999), "12:00:00 AM");
    EXPECT_EQ(dates::dateToText(t), "12/5/2026");
}

// --- the date test: accepted -----------------------------------------------

TEST(DateTest, AcceptsNumericForms)
{
    const double dec4 = 46360;
    for (const char* text : {"12/4/2026", "12/04/2026", "12-4-2026", "12/4/26", "2026-12-4", "2026/12/04",
                             "  12/4/2026  ", "\t12/4/2026\n", "4-Dec-2026"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(dates::isDate(QString::fromLatin1(text)));
        EXPECT_EQ(dates::parseDate(QString::fromLatin1(text)), dec4);
    }
}

TEST(DateTest, AcceptsLongForms)
{
    const double dec4 = 46360;
    for (const char* text : {"December 04, 2026", "December 4, 2026", "Dec 4, 2026", "4 December 2026",
                             "Friday, December 04, 2026", "december 4 2026", "DEC 4,2026", "Fri, Dec 4, 2026",
                             "Friday, 4 December 2026"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(dates::parseDate(QString::fromLatin1(text)), dec4);
    }
}

TEST(DateTest, WeekdayNameIsNotChecked)
{
    EXPECT_EQ(dates::parseDate("Monday, December 04, 2026"), 46360);
}

TEST(DateTest, TwoDigitYearWindow)
{
    EXPECT_EQ(dates::ymd(*dates::parseDate("1/1/00")).year, 2000);
    EXPECT_EQ(dates::ymd(*dates::parseDate("1/1/29")).year, 2029);
    EXPECT_EQ(dates::ymd(*dates::parseDate("1/1/30")).year, 1930);
    EXPECT_EQ(dates::ymd(*dates::parseDate("1/1/99")).year, 1999);
}

TEST(DateTest, DateWithTimeIsADate)
{
    EXPECT_TRUE(dates::isDate("12/4/2026 9:55:13 PM"));
    const auto v = dates::parseDate("12/4/2026 9:55:13 PM");
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(*v, 46360 + secs(21, 55, 13));
    EXPECT_DOUBLE_EQ(*dates::parseDate("December 04, 2026 21:55"), 46360 + secs(21, 55, 0));
}

TEST(DateTest, LeapDays)
{
    EXPECT_TRUE(dates::isDate("2/29/2024"));
    EXPECT_TRUE(dates::isDate("2/29/2000"));
    EXPECT_FALSE(dates::isDate("2/29/2026"));
    EXPECT_FALSE(dates::isDate("2/29/1900"));
}

// --- the date test: refused ------------------------------------------------

TEST(DateTest, RefusesInvalidCalendarDates)
{
    for (const char* text : {"2/30/2026", "13/1/2026", "0/1/2026", "1/0/2026", "4/31/2026", "25/12/2026",
                             "1/1/0099", "1/1/10000", "December 32, 2026", "Decembre 4, 2026"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(dates::isDate(QString::fromLatin1(text)));
        EXPECT_FALSE(dates::parseDate(QString::fromLatin1(text)));
    }
}

TEST(DateTest, RefusesTextsThatAreNotDates)
{
    for (const char* text : {"", "   ", "9:55", "9:55 PM", "46360", "2026", "12/4", "Dec 4", "December",
                             "12/4/2026 9", "12/4/2026 PM", "12/4/2026 25:00", "12/4-2026", "1/1/2026/1",
                             "12/4/2026x", "12.4.2026", "12/4/202", "12/4/2026 9:55 PMX", "Friday"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(dates::isDate(QString::fromLatin1(text)));
    }
}

TEST(DateTest, RefusesTextsThatCouldCarrySql)
{
    for (const char* text : {"1/1/2026# OR 1=1 OR #1/1/2026", "1/1/2026;", "'1/1/2026'", "1/1/2026 DROP",
                             "#1/1/2026#", "\"1/1/2026\"", "12/4/2026 OR 1=1", "1/1/2026 -- x",
                             "1/1/2026 9:00 AM; DELETE", "1/1/2026)", "December 4, 2026 UNION"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(dates::isDate(QString::fromLatin1(text)));
        EXPECT_FALSE(dates::parseDateTime(QString::fromLatin1(text)));
    }
}

TEST(DateTest, RefusesNonAsciiDigits)
{
    // Arabic-Indic digits pass QChar::isDigit but are not the run time's.
    EXPECT_FALSE(dates::isDate(QString::fromUtf8("\u0661/1/2026")));
}

// --- times ----------------------------------------------------------------

TEST(TimeText, AmPmBoundaries)
{
    EXPECT_EQ(dates::parseTime("12:00:00 AM"), 0.0);
    EXPECT_DOUBLE_EQ(*dates::parseTime("12:01 AM"), 1.0 / 1440);
    EXPECT_DOUBLE_EQ(*dates::parseTime("12:00 PM"), 0.5);
    EXPECT_DOUBLE_EQ(*dates::parseTime("12:30 PM"), 0.5 + 30.0 / 1440);
    EXPECT_DOUBLE_EQ(*dates::parseTime("11:59:59 PM"), secs(23, 59, 59));
    EXPECT_DOUBLE_EQ(*dates::parseTime("1:00 AM"), secs(1, 0, 0));
    EXPECT_DOUBLE_EQ(*dates::parseTime("1:00 PM"), secs(13, 0, 0));
}

TEST(TimeText, Forms)
{
    const double t = secs(21, 55, 13);
    EXPECT_DOUBLE_EQ(*dates::parseTime("9:55:13 PM"), t);
    EXPECT_DOUBLE_EQ(*dates::parseTime("9:55:13pm"), t);
    EXPECT_DOUBLE_EQ(*dates::parseTime("21:55:13"), t);
    EXPECT_DOUBLE_EQ(*dates::parseTime(" 21:55:13 "), t);
    EXPECT_DOUBLE_EQ(*dates::parseTime("9:55 PM"), secs(21, 55, 0));
    EXPECT_DOUBLE_EQ(*dates::parseTime("21:55"), secs(21, 55, 0));
    EXPECT_DOUBLE_EQ(*dates::parseTime("9 PM"), secs(21, 0, 0));
    EXPECT_DOUBLE_EQ(*dates::parseTime("0:00"), 0);
}

TEST(TimeText, Refused)
{
    for (const char* text : {"", "9", "24:00", "13:00 PM", "0:30 AM", "9:60", "9:59:60", "9:55:13 XM",
                             "9:55 P", "9::55", ":55", "9:55:13:01", "123:00", "9:55 PM;", "12/4/2026"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(dates::parseTime(QString::fromLatin1(text)));
    }
}

TEST(TimeText, DateTimeTakesEitherOrBoth)
{
    EXPECT_EQ(dates::parseDateTime("12/4/2026"), 46360.0);
    EXPECT_DOUBLE_EQ(*dates::parseDateTime("9:55 PM"), secs(21, 55, 0));
    EXPECT_DOUBLE_EQ(*dates::parseDateTime("12/4/2026  9:55 PM"), 46360 + secs(21, 55, 0));
    EXPECT_FALSE(dates::parseDateTime("12/4/20269:55 PM"));
    EXPECT_FALSE(dates::parseDateTime("9:55 PM 12/4/2026"));
}

// --- regional forms -------------------------------------------------------

TEST(DateForms, Examples)
{
    const double t = 46360 + secs(21, 55, 13);
    EXPECT_EQ(dates::longDate(t), "Friday, December 04, 2026");
    EXPECT_EQ(dates::shortDate(t), "12/4/2026");
    EXPECT_EQ(dates::longTime(t), "9:55:13 PM");
    EXPECT_EQ(dates::mediumTime(t), "09:55 PM");
    EXPECT_EQ(dates::longDate(dates::serial(2026, 1, 1)), "Thursday, January 01, 2026");
    EXPECT_EQ(dates::longDate(0), "Saturday, December 30, 1899");
}

TEST(DateForms, MidnightAndNoon)
{
    EXPECT_EQ(dates::longTime(0), "12:00:00 AM");
    EXPECT_EQ(dates::longTime(1.0 / 1440), "12:01:00 AM");
    EXPECT_EQ(dates::longTime(0.5), "12:00:00 PM");
    EXPECT_EQ(dates::mediumTime(0), "12:00 AM");
    EXPECT_EQ(dates::mediumTime(0.5 + 30.0 / 1440), "12:30 PM");
    EXPECT_EQ(dates::mediumTime(secs(9, 5, 0)), "09:05 AM");
}

TEST(DateForms, DateToText)
{
    EXPECT_EQ(dates::dateToText(46360), "12/4/2026");
    EXPECT_EQ(dates::dateToText(secs(21, 55, 13)), "9:55:13 PM");
    EXPECT_EQ(dates::dateToText(0), "12:00:00 AM");
    EXPECT_EQ(dates::dateToText(46360 + secs(21, 55, 13)), "12/4/2026 9:55:13 PM");
}

TEST(DateForms, WrittenFormsReadBack)
{
    for (double day = dates::serial(1930, 1, 1); day < dates::serial(2030, 1, 1); day += 13) {
        const double t = day + secs(static_cast<int>(day) % 24, static_cast<int>(day) % 60, 7);
        ASSERT_EQ(dates::parseDate(dates::shortDate(t)), day);
        ASSERT_EQ(dates::parseDate(dates::longDate(t)), day);
        const auto back = dates::parseDateTime(dates::dateToText(t));
        ASSERT_TRUE(back);
        ASSERT_NEAR(*back, t, 1e-9) << dates::dateToText(t).toStdString();
        const auto time = dates::parseTime(dates::longTime(t));
        ASSERT_TRUE(time);
        ASSERT_NEAR(*time, dates::timePart(t), 1e-9);
    }
}
