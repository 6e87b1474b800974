#include "platform/datetime.h"
#include "platform/value.h"
#include "support/errorof.h"

#include <gtest/gtest.h>

using namespace pelmar;
using test::errorOf;

namespace {

TEST(ValueNumber, FromText)
{
    const std::pair<const char*, double> numbers[] = {
        {"  -12.25 ", -12.25}, {"+3", 3}, {".5", 0.5}, {"1,234.5", 1234.5}, {"1E3", 1000}};
    for (const auto& [text, number] : numbers)
        EXPECT_DOUBLE_EQ(Value::text(text).toDouble(), number) << text;
    for (const char* text : {"abc", "", "1.2.3", "12/4/2026", "1e", "5 5", ",5", "0x10"})
        EXPECT_EQ(errorOf([&] { (void)Value::text(text).toDouble(); }), err::TypeMismatch) << text;
    EXPECT_EQ(errorOf([] { (void)Value::null().toDouble(); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { (void)Value::null().toText(); }), err::InvalidUseOfNull);
    EXPECT_EQ(Value::null().toTextOrEmpty(), "");
}

TEST(ValueInteger, RoundsHalfToEven)
{
    const std::pair<double, qint64> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.5001, 3}};
    for (const auto& [number, integer] : cases)
        EXPECT_EQ(Value::number(number).toInteger(), integer) << number;
    EXPECT_EQ(Value::text("6.5").toInteger(), 6);
    EXPECT_EQ(Value::date(46360.75).toInteger(), 46361);
    EXPECT_EQ(Value::integer(9007199254740993).toInteger(), 9007199254740993); // not through a double
    EXPECT_NE(errorOf([] { (void)Value::number(1e300).toInteger(); }), 0);
}

TEST(ValueDate, FromEachKind)
{
    EXPECT_EQ(Value::date(46360).toText(), "12/4/2026");
    EXPECT_DOUBLE_EQ(Value::text("12/4/2026 9:55:13 PM").toDate(), 46360 + dates::timeSerial(21, 55, 13));
    EXPECT_DOUBLE_EQ(Value::text("6:00 AM").toDate(), 0.25);
    EXPECT_EQ(errorOf([] { (void)Value::text("46360").toDate(); }), err::TypeMismatch);
    // The calendar's ends are the limits.
    EXPECT_NE(errorOf([] { (void)Value::number(1e10).toDate(); }), 0);
    EXPECT_EQ(errorOf([] { (void)Value::number(dates::serial(9999, 12, 31) + 0.5).toDate(); }), 0);
    EXPECT_EQ(errorOf([] { (void)Value::number(dates::serial(100, 1, 1) - 0.5).toDate(); }), 0);
}

} // namespace
