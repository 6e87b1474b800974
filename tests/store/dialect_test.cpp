#include "platform/datetime.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/sqltexts.h"
#include "support/errorof.h"
#include "support/testdb.h"

#include <gtest/gtest.h>

using namespace pelmar;
using test::errorOf;

namespace {

TEST(Dialect, TranslatesLiteralsNamesAndIsNull)
{
    EXPECT_EQ(sql::translate("SELECT * From qslPersonnelShort Where IsNull(Personnel.TerminationDate)"),
              "SELECT * From qslPersonnelShort Where ((qslPersonnelShort.TerminationDate) IS NULL)");
    EXPECT_EQ(sql::translate("SELECT SUM([Thours]) FROM qslTime WHERE Tdate = #12/4/2026#"),
              "SELECT SUM(\"Thours\") FROM qslTime WHERE Tdate = 46360");
    // Every form the date test accepts reads the same way between # signs.
    for (const char* form : {"12/4/2026", "12-4-2026", "December 04, 2026", "Friday, December 04, 2026"})
        EXPECT_EQ(sql::translate(QStringLiteral("x = #%1#").arg(QLatin1String(form))), "x = 46360") << form;
    EXPECT_EQ(sql::translate("Type = \"Worked\" AND Name = 'O''Brien'"),
              "Type = 'Worked' AND Name = 'O''Brien'");
    // The qualifier stays when the table itself is read.
    EXPECT_EQ(sql::translate("SELECT Personnel.FullName FROM Personnel"),
              "SELECT Personnel.FullName FROM Personnel");
    for (const char* text : {"x = #13/45/2026#", "x = #1/5/2026", "x = [Thours", "x = 'open", "IsNull(x"})
        EXPECT_EQ(errorOf([&] { sql::translate(QString::fromLatin1(text)); }), err::QuerySyntax) << text;
}

// The program's SQL texts, run as the program builds them.
class DialectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.addEmployee(7, "Sample Employee", "pw");
        db.addEmployee(8, "Former Employee", "pw", dates::serial(2026, 1, 31));
        db.addEmployee(9, "Another Employee", "pw");
    }

    QStringList column(const QString& sql, const QString& name)
    {
        std::unique_ptr<Recordset> rs = database->openRecordset(sql);
        QStringList out;
        for (int i = 0; rs->moveTo(i); ++i)
            out << rs->field(name).toTextOrEmpty();
        return out;
    }

    test::TestDb db;
    std::unique_ptr<Database> database = Engine().openDatabase(db.path());
};

TEST_F(DialectTest, CurrentEmployeesLeaveOutTheTerminated)
{
    EXPECT_EQ(column(sqltexts::CurrentEmployees, "FullName"),
              (QStringList{"Another Employee", "Sample Employee"}));
}

TEST_F(DialectTest, RangeIncludesBothEndsAndOrdersNewestFirstWithNullTimesLast)
{
    const double today = dates::serial(2026, 12, 4);
    const auto at = [](int h) { return dates::timeSerial(h, 0, 0); };
    db.addTime(7, today - 15, at(8), at(9), 1.0);
    db.addTime(7, today - 14, at(8), at(10), 2.0);
    db.addTime(7, today, std::nullopt, std::nullopt, std::nullopt, Value::text("Vacation"));
    db.addTime(7, today, at(7), std::nullopt);
    db.addTime(7, today, at(13), at(17), 4.0);
    db.addTime(7, today + 1, at(8), std::nullopt);
    db.addTime(9, today, at(8), std::nullopt);

    const Value from = Value::date(today - 14);
    const Value to = Value::date(today);
    const QString listing = sqltexts::rangeListing(from, to, Value::integer(7));
    EXPECT_EQ(listing, "SELECT * FROM qslTime WHERE Tdate BETWEEN #11/20/2026# And #12/4/2026# AND "
                       "PersonnelID = 7 ORDER BY Tdate DESC, TimeIn DESC");
    EXPECT_EQ(column(listing, "TimeIn"), (QStringList{"1:00:00 PM", "7:00:00 AM", "", "8:00:00 AM"}));

    EXPECT_DOUBLE_EQ(database->openRecordset(sqltexts::rangeTotal(from, to, Value::integer(7)))
                         ->field("SumOfThours")
                         .toDouble(),
                     6.0);
    std::unique_ptr<Recordset> none =
        database->openRecordset(sqltexts::rangeTotal(from, to, Value::integer(12345)));
    EXPECT_EQ(none->recordCount(), 1);
    EXPECT_TRUE(none->field("sumofthours").isNull());
}

TEST_F(DialectTest, EngineErrorsCarryTheEngineNumbers)
{
    const std::pair<QString, int> cases[] = {
        {"SELECT * FROM NoSuchTable", err::InputTableNotFound},
        {"SELECT Nope FROM qslTime", err::TooFewParameters},
        // A bracketed name that is no column is an error, not a text.
        {"SELECT SUM([Nope]) FROM qslTime", err::TooFewParameters},
        // What the where-is lookup builds when the list has no current row.
        {sqltexts::rangeListing(Value::date(1), Value::date(2), Value::null()), err::QuerySyntax},
        {"DELETE FROM Personnel", err::QuerySyntax},
    };
    for (const auto& [sql, number] : cases)
        EXPECT_EQ(errorOf([&] { database->openRecordset(sql); }), number) << sql.toStdString();
}

} // namespace
