#include "review/timesheet.h"
#include "store/datasource.h"
#include "support/coretest.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

// The dates the time records now hold, as the sheet lists them.
std::vector<double> listed(Workplace& workplace)
{
    std::vector<double> out;
    Recordset& rs = workplace.times().recordset();
    if (rs.recordCount() == 0)
        return out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        out.push_back(rs.field("Tdate").toDouble());
    return out;
}

TEST(TimeSheetTest, TheDefaultRangeIsTodayAndTheFourteenDaysBefore)
{
    CoreDb t;
    t.db.addEmployee(8, "Bob Baker", "pw");
    t.shift(Today - 15, hm(8, 0), hm(13, 0), 5);
    t.shift(Today - 14, hm(8, 0), hm(15, 30), 7.5);
    t.shift(Today, hm(8, 0), hm(16, 0), 8);
    t.shift(Today + 1, hm(8, 0), hm(11, 0), 3);
    t.db.addTime(8, Today, hm(8, 0), std::nullopt, 100);

    const QString total = timesheet::load(t.workplace, timesheet::defaultRange(Today + hm(23, 59, 59)), Ann);

    EXPECT_EQ(total, "Total Hours 15.5");
    EXPECT_EQ(listed(t.workplace), (std::vector{Today, Today - 14}));
}

// Typed dates go into the statements as typed, read month first.
TEST(TimeSheetTest, ATypedRangeIsReadMonthFirst)
{
    CoreDb t;
    for (const int day : {4, 5, 31})
        t.shift(dates::serial(2026, 1, day), hm(8, 0), std::nullopt, day / 8.0);
    t.shift(dates::serial(2026, 5, 1), hm(8, 0), std::nullopt, 9);
    t.shift(Today, hm(8, 0), std::nullopt, 1);

    const QString total =
        timesheet::load(t.workplace, {Value::text("1/5/2026"), Value::text("1/31/2026")}, Ann);

    EXPECT_EQ(total, "Total Hours 4.5");
    EXPECT_EQ(listed(t.workplace), (std::vector{dates::serial(2026, 1, 31), dates::serial(2026, 1, 5)}));
}

TEST(TimeSheetTest, OnlyDatesAreTakenFromTheTypedEntries)
{
    using timesheet::Entry;
    const std::tuple<QString, Entry, Entry> cases[] = {
        {"1/5/2026", Entry::Accepted, Entry::Accepted},
        {"", Entry::Cancelled, Entry::NotADate},
        {"31/31/2026", Entry::NotADate, Entry::NotADate},
        {"1/1/2026# OR 1=1 OR #1/1/2026", Entry::NotADate, Entry::NotADate},
        {"1/1/2026'; DROP TABLE Time; --", Entry::NotADate, Entry::NotADate},
    };
    for (const auto& [typed, start, end] : cases) {
        EXPECT_EQ(timesheet::checkStart(typed), start) << typed.toStdString();
        EXPECT_EQ(timesheet::checkEnd(typed), end) << typed.toStdString();
    }
}

} // namespace
