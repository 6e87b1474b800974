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

TEST(Dialect, Translates)
{
    using sql::Target;
    const std::tuple<Target, const char*, const char*> cases[] = {
        {Target::Sqlite, "SELECT * From qslPersonnelShort Where IsNull(Personnel.TerminationDate)",
         "SELECT * From qslPersonnelShort Where ((qslPersonnelShort.TerminationDate) IS NULL)"},
        // The qualifier stays when the table itself is read.
        {Target::Sqlite, "SELECT Personnel.FullName FROM Personnel",
         "SELECT Personnel.FullName FROM Personnel"},
        // Between # signs any form the date boxes accept.
        {Target::Sqlite, "x = #Friday, December 04, 2026#", "x = 46360"},
        // Quoted names in lower case, as the server keeps unquoted ones.
        {Target::Postgres, "SELECT SUM([Thours]) AS SumOfThours FROM qslTime WHERE Tdate = #12/4/2026#",
         "SELECT SUM(\"thours\") AS SumOfThours FROM qslTime WHERE Tdate = 46360"},
        {Target::Postgres, "UPDATE [Time] SET TimeOut = ? WHERE TimeID = ?",
         "UPDATE \"time\" SET TimeOut = $1 WHERE TimeID = $2"},
        // Null sorts as on the file: first when rising, last when falling.
        {Target::Postgres, "SELECT * From qslTime ORDER BY Tdate DESC, COALESCE(a, b) ASC LIMIT 3",
         "SELECT * From qslTime ORDER BY Tdate DESC NULLS LAST, COALESCE(a, b) ASC NULLS FIRST LIMIT 3"},
        {Target::Postgres, "SELECT 'a?' FROM t WHERE x = \"?\"", "SELECT 'a?' FROM t WHERE x = '?'"},
    };
    for (const auto& [target, from, to] : cases)
        EXPECT_EQ(sql::translate(QString::fromLatin1(from), target), QString::fromLatin1(to)) << from;
    // The tests' own SQL quotes names, as SQLite's does.
    EXPECT_EQ(sql::translate("SELECT \"Thours\" FROM \"Time\"", Target::Postgres, sql::Quotes::Names),
              "SELECT \"thours\" FROM \"time\"");
    for (const char* text : {"x = #13/45/2026#", "x = #1/5/2026", "x = 'open"})
        EXPECT_EQ(errorOf([&] { sql::translate(QString::fromLatin1(text)); }), err::QuerySyntax) << text;
}

// The program's SQL texts, run as the program builds them, on each engine.
class DialectTest : public test::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
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

    std::unique_ptr<Database> database = Database::open(db.path());
};

INSTANTIATE_TEST_SUITE_P(Engines, DialectTest, test::bothEngines(), test::engineName);

TEST_P(DialectTest, ListsCurrentEmployeesAndARangeBothEndsIncludedNewestFirstNullTimesLast)
{
    EXPECT_EQ(column(sqltexts::CurrentEmployees, "FullName"),
              (QStringList{"Another Employee", "Sample Employee"}));
    const double today = dates::serial(2026, 12, 4);
    const auto at = [](int h) { return dates::timeSerial(h, 0, 0); };
    db.addTime(7, today - 15, at(8), at(9), 1.0);
    db.addTime(7, today - 14, at(8), at(10), 2.0);
    db.addTime(7, today, std::nullopt, std::nullopt, std::nullopt, Value::text("Vacation"));
    db.addTime(7, today, at(7), std::nullopt);
    db.addTime(7, today, at(13), at(17), 4.0);
    db.addTime(7, today + 1, at(8), std::nullopt);
    db.addTime(9, today, at(8), std::nullopt);

    const Value from = Value::date(today - 14), to = Value::date(today);
    EXPECT_EQ(column(sqltexts::rangeListing(from, to, Value::integer(7)), "TimeIn"),
              (QStringList{"1:00:00 PM", "7:00:00 AM", "", "8:00:00 AM"}));
    EXPECT_DOUBLE_EQ(database->openRecordset(sqltexts::rangeTotal(from, to, Value::integer(7)))
                         ->field("SumOfThours")
                         .toDouble(),
                     6.0);
}

TEST_P(DialectTest, EngineErrorsCarryTheEngineNumbers)
{
    const std::pair<QString, int> cases[] = {
        {"SELECT * FROM NoSuchTable", err::InputTableNotFound},
        // A bracketed name that is no column is an error, not a text.
        {"SELECT SUM([Nope]) FROM qslTime", err::TooFewParameters},
        // What the where-is lookup builds when the list has no current row.
        {sqltexts::rangeListing(Value::date(1), Value::date(2), Value::null()), err::QuerySyntax},
    };
    for (const auto& [sql, number] : cases)
        EXPECT_EQ(errorOf([&] { database->openRecordset(sql); }), number) << sql.toStdString();
}

} // namespace
