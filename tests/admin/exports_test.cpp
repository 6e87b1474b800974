#include "admin/csv.h"
#include "admin/periods.h"
#include "admin/reports.h"
#include "platform/datetime.h"
#include "support/printers.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

// A cell that a spreadsheet would run as a formula comes out as text; numbers
// stay numbers.
TEST(CsvTest, FormulasBecomeText)
{
    const std::pair<Value, const char*> cases[] = {
        {Value::text("=HYPERLINK(\"http://x\",\"pay\")"), "\"'=HYPERLINK(\"\"http://x\"\",\"\"pay\"\")\""},
        {Value::text("+1+cmd|' /C calc'!A0"), "'+1+cmd|' /C calc'!A0"},
        {Value::text("-2+3"), "'-2+3"},
        {Value::text("@SUM(A1)"), "'@SUM(A1)"},
        {Value::text("\t=1"), "'\t=1"},
        {Value::text("\r=1"), "\"'\r=1\""},
        {Value::text("Ann =1"), "Ann =1"},
        {Value::text("-"), "'-"},
        {Value::text("-1.50"), "-1.50"}, // the payroll's hours: a plain number
        {Value::text("-1e5"), "'-1e5"},
        {Value::number(-1.5), "-1.5"},
        {Value::integer(-7), "-7"},
        {Value::null(), ""},
    };
    for (const auto& [value, written] : cases)
        EXPECT_EQ(admin::csv::field(value), QString::fromUtf8(written)) << value.toText().toStdString();
}

// A name that holds "%1" or a formula is written as typed, in its own column.
TEST(CsvTest, PayrollNamesStayInTheirColumn)
{
    const admin::Payroll payroll{{{7, "Ann %1 %2", -1.5, 2, 0, 0, 1, 2, 1}, {8, "=1+2", 8, 1, 0, 0, 0, 1, 0}},
                                 {{"=cmd", 1}, {"vacation", 2}}};
    EXPECT_EQ(admin::payrollCsv(payroll),
              "EmployeeID,FullName,Hours,DaysWorked,Vacation,Holiday,SickLeave,Other,OpenShifts\r\n"
              "7,Ann %1 %2,-1.50,2,0,0,1,2,1\r\n"
              "8,'=1+2,8.00,1,0,0,0,1,0\r\n"
              "\r\n"
              "OtherType,Records\r\n"
              "'=cmd,1\r\n"
              "vacation,2\r\n");
}

// The printed payroll puts each figure in its cell even when a name holds
// "%4": filled one placeholder at a time, the days worked would land in it.
TEST(PayrollPrintTest, NamesStayInTheirCell)
{
    const QString html = admin::payrollHtml({{{7, "Ann %4 <b>", 8, 2, 0, 0, 1, 3, 1}}, {{"<i>", 3}}},
                                            "12/1/2026 to 12/4/2026");
    EXPECT_TRUE(html.contains("<tr><td>7</td><td>Ann %4 &lt;b&gt;</td><td align=\"right\">8.00</td>"
                              "<td align=\"right\">2</td><td align=\"right\">0</td><td align=\"right\">0</td>"
                              "<td align=\"right\">1</td><td align=\"right\">3</td><td align=\"right\">1</td>"
                              "</tr>"))
        << html.toStdString();
    // The range in the title; at the foot, what the columns leave out.
    EXPECT_TRUE(html.contains("<h2>Payroll 12/1/2026 to 12/4/2026</h2>"));
    EXPECT_TRUE(html.contains("<li>&lt;i&gt;: 3</li>"));
    EXPECT_TRUE(html.contains("1 shift(s) still open in this range"));
}

// The ranges offered at a pick, across the turns of a month and a year.
// The totals row sums each column; the open shifts' count is the same sum.
TEST(PayrollTest, TheTotalsRowSumsEachColumn)
{
    admin::Payroll payroll;
    payroll.rows = {{7, "Ann Lee", 8.5, 2, 1, 0, 1, 3, 1}, {8, "Ben Ode", 0.25, 1, 0, 2, 0, 0, 2}};
    const admin::PayrollRow total = payroll.total();
    EXPECT_DOUBLE_EQ(total.hours, 8.75);
    EXPECT_EQ((std::vector{total.daysWorked, total.vacation, total.holiday, total.sickLeave, total.other,
                           total.openShifts}),
              (std::vector{3, 1, 2, 1, 3, 3}));
    EXPECT_EQ(payroll.openShifts(), 3);
    EXPECT_EQ(admin::Payroll().total().hours, 0);
}

TEST(PeriodTest, RangesFromTheClocksToday)
{
    using admin::Period;
    const auto day = [](int y, int m, int d) { return dates::serial(y, m, d); };
    const struct
    {
        double now;
        Period period;
        double from, to;
    } cases[] = {
        {day(2026, 12, 4) + 0.375, Period::ThisMonth, day(2026, 12, 1), day(2026, 12, 31)},
        {day(2026, 12, 4), Period::LastMonth, day(2026, 11, 1), day(2026, 11, 30)},
        {day(2026, 12, 4), Period::Last14Days, day(2026, 11, 21), day(2026, 12, 4)},
        {day(2027, 1, 31), Period::LastMonth, day(2026, 12, 1), day(2026, 12, 31)},
        {day(2027, 1, 5), Period::Last14Days, day(2026, 12, 23), day(2027, 1, 5)},
        {day(2028, 2, 10), Period::ThisMonth, day(2028, 2, 1), day(2028, 2, 29)},
        {day(2027, 3, 31), Period::LastMonth, day(2027, 2, 1), day(2027, 2, 28)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(dates::shortDate(c.now).toStdString());
        const admin::DaySpan span = admin::periodSpan(c.period, c.now);
        EXPECT_EQ(span.from, c.from);
        EXPECT_EQ(span.to, c.to);
        EXPECT_TRUE(admin::isPeriod(c.period, c.now, c.from, c.to));
    }
    EXPECT_EQ(admin::datedFileName("payroll", day(2026, 12, 1), day(2026, 12, 31), "csv"),
              "payroll-2026-12-01-to-2026-12-31.csv");
}

} // namespace
