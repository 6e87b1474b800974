#include "platform/datetime.h"
#include "platform/runerror.h"
#include "platform/value.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pelmar;

namespace {

int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const RunError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(ValueText, EachKind)
{
    EXPECT_EQ(Value::integer(-42).toText(), "-42");
    EXPECT_EQ(Value::number(7.5).toText(), "7.5");
    EXPECT_EQ(Value::number(16).toText(), "16");
    EXPECT_EQ(Value::text("abc").toText(), "abc");
    EXPECT_EQ(Value::date(46360).toText(), "12/4/2026");
    EXPECT_EQ(Value::date(46360 + 0.5).toText(), "12/4/2026 12:00:00 PM");
    EXPECT_EQ(Value::date(0.25).toText(), "6:00:00 AM");
}

TEST(ValueText, NullIsAnError)
{
    EXPECT_EQ(errorOf([] { (void)Value::null().toText(); }), err::InvalidUseOfNull);
    EXPECT_EQ(Value::null().toTextOrEmpty(), "");
    EXPECT_EQ(Value::integer(3).toTextOrEmpty(), "3");
}

TEST(ValueNumber, FromText)
{
    EXPECT_DOUBLE_EQ(Value::text("7.5").toDouble(), 7.5);
    EXPECT_DOUBLE_EQ(Value::text("  -12.25 ").toDouble(), -12.25);
    EXPECT_DOUBLE_EQ(Value::text("+3").toDouble(), 3);
    EXPECT_DOUBLE_EQ(Value::text(".5").toDouble(), 0.5);
    EXPECT_DOUBLE_EQ(Value::text("1,234.5").toDouble(), 1234.5);
    EXPECT_DOUBLE_EQ(Value::text("1E3").toDouble(), 1000);
    EXPECT_FLOAT_EQ(Value::text("0.1").toSingle(), 0.1f);
}

TEST(ValueNumber, MismatchAndNull)
{
    for (const char* text :
         {"abc", "", " ", "1.2.3", "12/4/2026", "1e", "-", ".", "5 5", ",5", "1,5.0,0", "0x10"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorOf([&] { (void)Value::text(text).toDouble(); }), err::TypeMismatch);
    }
    EXPECT_EQ(errorOf([] { (void)Value::null().toDouble(); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { (void)Value::null().toInteger(); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { (void)Value::null().toDate(); }), err::InvalidUseOfNull);
}

TEST(ValueNumber, DatesAreSerials)
{
    EXPECT_DOUBLE_EQ(Value::date(46360.25).toDouble(), 46360.25);
    EXPECT_EQ(Value::integer(5).toDouble(), 5.0);
}

TEST(ValueInteger, RoundsHalfToEven)
{
    EXPECT_EQ(Value::number(2.5).toInteger(), 2);
    EXPECT_EQ(Value::number(3.5).toInteger(), 4);
    EXPECT_EQ(Value::number(-2.5).toInteger(), -2);
    EXPECT_EQ(Value::number(-3.5).toInteger(), -4);
    EXPECT_EQ(Value::number(2.4999).toInteger(), 2);
    EXPECT_EQ(Value::number(2.5001).toInteger(), 3);
    EXPECT_EQ(Value::number(-0.4).toInteger(), 0);
    EXPECT_EQ(Value::text("6.5").toInteger(), 6);
    EXPECT_EQ(Value::date(46360.75).toInteger(), 46361);
    EXPECT_EQ(Value::integer(9007199254740993).toInteger(), 9007199254740993); // not through a double
    EXPECT_NE(errorOf([] { (void)Value::number(1e300).toInteger(); }), 0);
}

TEST(ValueDate, FromEachKind)
{
    EXPECT_EQ(Value::date(46360.5).toDate(), 46360.5);
    EXPECT_EQ(Value::text("12/4/2026").toDate(), 46360);
    EXPECT_DOUBLE_EQ(Value::text("12/4/2026 9:55:13 PM").toDate(), 46360 + dates::timeSerial(21, 55, 13));
    EXPECT_DOUBLE_EQ(Value::text("6:00 AM").toDate(), 0.25);
    EXPECT_EQ(Value::integer(46360).toDate(), 46360);
    EXPECT_EQ(Value::number(46360.5).toDate(), 46360.5);
}

TEST(ValueDate, Refused)
{
    EXPECT_EQ(errorOf([] { (void)Value::text("46360").toDate(); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { (void)Value::text("2/30/2026").toDate(); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { (void)Value::text("1/1/2026# OR 1=1").toDate(); }), err::TypeMismatch);
    EXPECT_NE(errorOf([] { (void)Value::number(1e10).toDate(); }), 0);
    EXPECT_EQ(errorOf([] { (void)Value::number(dates::serial(9999, 12, 31) + 0.5).toDate(); }), 0);
    EXPECT_EQ(errorOf([] { (void)Value::number(dates::serial(100, 1, 1) - 0.5).toDate(); }), 0);
}

TEST(ValueCompare, KindAndContent)
{
    EXPECT_EQ(Value::text("a"), Value::text("a"));
    EXPECT_NE(Value::text("a"), Value::text("b"));
    EXPECT_NE(Value::date(5), Value::number(5)); // same store, different kind
    EXPECT_EQ(Value(), Value::null());
}
