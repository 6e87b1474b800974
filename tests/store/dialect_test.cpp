#include "platform/datetime.h"
#include "platform/runerror.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/sqltexts.h"
#include "support/testdb.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

double day(int y, int m, int d)
{
    return dates::serial(y, m, d);
}

int errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RunError& e) {
        return e.number();
    }
    return 0;
}

// The program's SQL texts, run as the program builds them, over a database
// arranged for each case.
class DialectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.addEmployee(7, QStringLiteral("Sample Employee"), QStringLiteral("pw"));
        db.addEmployee(8, QStringLiteral("Former Employee"), QStringLiteral("pw"), day(2026, 1, 31));
        db.addEmployee(9, QStringLiteral("Another Employee"), QStringLiteral("pw"));
        database = Engine().openDatabase(db.path());
    }

    std::vector<std::vector<Value>> rowsOf(const QString& sql, const QString& column)
    {
        std::unique_ptr<Recordset> rs = database->openRecordset(sql);
        std::vector<std::vector<Value>> out;
        for (int i = 0; rs->moveTo(i); ++i)
            out.push_back({rs->field(column)});
        return out;
    }

    test::TestDb db;
    std::unique_ptr<Database> database;
};

} // namespace

TEST(Dialect, TranslatesLiteralsNamesAndIsNull)
{
    EXPECT_EQ(sql::translate(
                  QStringLiteral("SELECT * From qslPersonnelShort Where IsNull(Personnel.TerminationDate)")),
              QStringLiteral(
                  "SELECT * From qslPersonnelShort Where ((qslPersonnelShort.TerminationDate) IS NULL)"));
    EXPECT_EQ(sql::translate(QStringLiteral("SELECT SUM([Thours]) FROM qslTime WHERE Tdate = #12/4/2026#")),
              QStringLiteral("SELECT SUM(\"Thours\") FROM qslTime WHERE Tdate = 46360"));
    // Every form the date test accepts reads the same way between # signs.
    for (const char* form : {"12/4/2026", "12-4-2026", "December 04, 2026", "Friday, December 04, 2026"})
        EXPECT_EQ(sql::translate(QStringLiteral("x = #%1#").arg(QLatin1String(form))),
                  QStringLiteral("x = 46360"))
            << form;
    EXPECT_EQ(sql::translate(QStringLiteral("Type = \"Worked\" AND Name = 'O''Brien'")),
              QStringLiteral("Type = 'Worked' AND Name = 'O''Brien'"));
    // The qualifier stays when the table itself is read.
    EXPECT_EQ(sql::translate(QStringLiteral("SELECT Personnel.FullName FROM Personnel")),
              QStringLiteral("SELECT Personnel.FullName FROM Personnel"));
}

TEST(Dialect, RefusesMalformedText)
{
    for (const char* text : {"x = #13/45/2026#", "x = #1/5/2026", "x = [Thours", "x = 'open", "IsNull(x"})
        EXPECT_EQ(errorOf([&] { sql::translate(QString::fromLatin1(text)); }), err::QuerySyntax) << text;
}

TEST_F(DialectTest, CurrentEmployeesLeaveOutTheTerminated)
{
    const auto rows = rowsOf(sqltexts::CurrentEmployees, QStringLiteral("FullName"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].toText(), QStringLiteral("Another Employee"));
    EXPECT_EQ(rows[1][0].toText(), QStringLiteral("Sample Employee"));
}

TEST_F(DialectTest, RangeIncludesBothEndsAndOrdersNewestFirstWithNullTimesLast)
{
    const double today = day(2026, 12, 4);
    db.addTime(7, today - 15, dates::timeSerial(8, 0, 0), dates::timeSerial(9, 0, 0), 1.0);
    db.addTime(7, today - 14, dates::timeSerial(8, 0, 0), dates::timeSerial(10, 0, 0), 2.0);
    db.addTime(7, today, std::nullopt, std::nullopt, std::nullopt, Value::text(QStringLiteral("Vacation")));
    db.addTime(7, today, dates::timeSerial(7, 30, 0), std::nullopt);
    db.addTime(7, today, dates::timeSerial(13, 0, 0), dates::timeSerial(17, 0, 0), 4.0);
    db.addTime(7, today + 1, dates::timeSerial(8, 0, 0), std::nullopt);
    db.addTime(9, today, dates::timeSerial(8, 0, 0), std::nullopt);

    const Value from = Value::date(today - 14);
    const Value to = Value::date(today);
    const QString listing = sqltexts::rangeListing(from, to, Value::integer(7));
    EXPECT_EQ(listing,
              QStringLiteral("SELECT * FROM qslTime WHERE Tdate BETWEEN #11/20/2026# And #12/4/2026# AND "
                             "PersonnelID = 7 ORDER BY Tdate DESC, TimeIn DESC"));
    const auto types = rowsOf(listing, QStringLiteral("TimeIn"));
    ASSERT_EQ(types.size(), 4u);
    EXPECT_DOUBLE_EQ(types[0][0].toDouble(), dates::timeSerial(13, 0, 0));
    EXPECT_DOUBLE_EQ(types[1][0].toDouble(), dates::timeSerial(7, 30, 0));
    EXPECT_TRUE(types[2][0].isNull()); // Null sorts below every time
    EXPECT_DOUBLE_EQ(types[3][0].toDouble(), dates::timeSerial(8, 0, 0));

    std::unique_ptr<Recordset> total =
        database->openRecordset(sqltexts::rangeTotal(from, to, Value::integer(7)));
    EXPECT_DOUBLE_EQ(total->field(QStringLiteral("SumOfThours")).toDouble(), 6.0);
    std::unique_ptr<Recordset> none =
        database->openRecordset(sqltexts::rangeTotal(from, to, Value::integer(12345)));
    EXPECT_EQ(none->recordCount(), 1);
    EXPECT_TRUE(none->field(QStringLiteral("sumofthours")).isNull());
}

TEST_F(DialectTest, TypedDatesReadMonthFirst)
{
    db.addTime(7, day(2026, 1, 5), dates::timeSerial(8, 0, 0), std::nullopt);
    db.addTime(7, day(2026, 5, 1), dates::timeSerial(8, 0, 0), std::nullopt);
    const QString sql = sqltexts::rangeListing(Value::text(QStringLiteral("1/5/2026")),
                                               Value::text(QStringLiteral("1/5/2026")), Value::integer(7));
    EXPECT_TRUE(sql.contains(QLatin1String("#1/5/2026#")));
    const auto rows = rowsOf(sql, QStringLiteral("Tdate"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toText(), QStringLiteral("1/5/2026"));
}

TEST_F(DialectTest, ColumnsMatchWithoutRegardToCase)
{
    db.addTime(7, day(2026, 12, 4), dates::timeSerial(8, 0, 0), dates::timeSerial(9, 0, 0), 1.0);
    std::unique_ptr<Recordset> rs = database->openRecordset(QStringLiteral("SELECT timeout FROM QSLTIME"));
    EXPECT_DOUBLE_EQ(rs->field(QStringLiteral("Timeout")).toDouble(), dates::timeSerial(9, 0, 0));
    EXPECT_DOUBLE_EQ(rs->field(QStringLiteral("TimeOut")).toDouble(), dates::timeSerial(9, 0, 0));
}

TEST_F(DialectTest, EngineErrorsCarryTheEngineNumbers)
{
    EXPECT_EQ(errorOf([&] { database->openRecordset(QStringLiteral("SELECT * FROM NoSuchTable")); }),
              err::InputTableNotFound);
    EXPECT_EQ(errorOf([&] { database->openRecordset(QStringLiteral("SELECT Nope FROM qslTime")); }),
              err::TooFewParameters);
    // A bracketed name that is no column is an error, not a text.
    EXPECT_EQ(errorOf([&] { database->openRecordset(QStringLiteral("SELECT SUM([Nope]) FROM qslTime")); }),
              err::TooFewParameters);
    // What the where-is lookup builds when the list has no current row.
    EXPECT_EQ(errorOf([&] {
                  database->openRecordset(
                      sqltexts::rangeListing(Value::date(1), Value::date(2), Value::null()));
              }),
              err::QuerySyntax);
    EXPECT_EQ(errorOf([&] { database->openRecordset(QStringLiteral("DELETE FROM Personnel")); }),
              err::QuerySyntax);
}
