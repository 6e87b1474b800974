#include "login/clockstate.h"
#include "platform/datetime.h"
#include "support/errorof.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

const double Today = dates::serial(2026, 12, 4);
const Value Worked = Value::text("Worked");

NewestRecord open(const Value& type, double tdate)
{
    return {type, Value::null(), Value::date(tdate)};
}

TEST(ClockOfferTest, FollowsTheNewestRecord)
{
    EXPECT_EQ(clockOffer(std::nullopt, Today), ClockOffer::ClockIn);
    EXPECT_EQ(clockOffer(open(Value::text("Sick Leave"), Today), Today), ClockOffer::ClockIn);
    EXPECT_EQ(clockOffer(open(Value::text("worked"), Today), Today), ClockOffer::ClockIn);
    // An empty text is a value other than "Worked"; Null is no value at all.
    EXPECT_EQ(clockOffer(open(Value::text(QString()), Today), Today), ClockOffer::ClockIn);
    EXPECT_EQ(clockOffer(open(Value::null(), Today), Today), ClockOffer::ClockOut);
    EXPECT_EQ(clockOffer(NewestRecord{Worked, Value::date(0), Value::date(Today)}, Today),
              ClockOffer::ClockIn);

    EXPECT_EQ(clockOffer(open(Worked, Today), Today), ClockOffer::ClockOut);
    EXPECT_EQ(clockOffer(open(Worked, Today + 0.75), Today), ClockOffer::ClockOut);
    EXPECT_EQ(clockOffer(open(Worked, Today - 1), Today), ClockOffer::RepairYesterday);
    EXPECT_EQ(clockOffer(open(Worked, Today - 2), Today), ClockOffer::RepairEarlier);
    EXPECT_EQ(clockOffer(open(Worked, Today - 14), Today), ClockOffer::RepairEarlier);
    EXPECT_EQ(clockOffer(open(Worked, Today + 1), Today), ClockOffer::Unchanged);
}

TEST(ClockOfferTest, ANullDateFailsOnlyWhenItIsNeeded)
{
    EXPECT_EQ(clockOffer(NewestRecord{Worked, Value::date(0.5), Value::null()}, Today), ClockOffer::ClockIn);
    EXPECT_EQ(test::errorOf([] {
                  clockOffer(NewestRecord{Worked, Value::null(), Value::null()}, Today);
              }),
              err::InvalidUseOfNull);
}

} // namespace
