#include "admin/csv.h"
#include "admin/reports.h"
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
    const std::vector<admin::PayrollRow> rows{{7, "Ann %1 %2", -1.5, 2, 0, 0, 1, 1},
                                              {8, "=1+2", 8, 1, 0, 0, 0, 0}};
    EXPECT_EQ(admin::payrollCsv(rows),
              "EmployeeID,FullName,Hours,DaysWorked,Vacation,Holiday,SickLeave,OpenShifts\r\n"
              "7,Ann %1 %2,-1.50,2,0,0,1,1\r\n"
              "8,'=1+2,8.00,1,0,0,0,0\r\n");
}

// The printed payroll puts each figure in its cell even when a name holds
// "%4": filled one placeholder at a time, the days worked would land in it.
TEST(PayrollPrintTest, NamesStayInTheirCell)
{
    const QString html = admin::payrollHtml({{7, "Ann %4 <b>", 8, 2, 0, 0, 1, 1}}, "12/1/2026 to 12/4/2026");
    EXPECT_TRUE(html.contains("<tr><td>7</td><td>Ann %4 &lt;b&gt;</td><td align=\"right\">8.00</td>"
                              "<td align=\"right\">2</td><td align=\"right\">0</td><td align=\"right\">0</td>"
                              "<td align=\"right\">1</td><td align=\"right\">1</td></tr>"))
        << html.toStdString();
    EXPECT_TRUE(html.contains("<p>12/1/2026 to 12/4/2026</p>"));
}

} // namespace
