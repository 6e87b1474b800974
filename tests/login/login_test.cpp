#include "login/login.h"
#include "support/coretest.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

constexpr double Morning = Today + 0.375; // 9:00 AM

TEST(ClockOfferTest, FollowsTheNewestRecord)
{
    struct Case
    {
        const char* what;
        Value type, timeOut;
        double tdate;
        ClockOffer offer;
    };
    const Value open = Value::null();
    const Case cases[] = {
        {"open today", Worked, open, Today, ClockOffer::ClockOut},
        {"closed today", Worked, Value::date(hm(17, 0)), Today, ClockOffer::ClockIn},
        {"closed at midnight", Worked, Value::date(0), Today, ClockOffer::ClockIn},
        {"vacation", Value::text("Vacation"), open, Today, ClockOffer::ClockIn},
        {"lower-case worked", Value::text("worked"), open, Today, ClockOffer::ClockIn},
        // Null and the empty text are both an empty type, read like "Worked".
        {"Null type", Value::null(), open, Today, ClockOffer::ClockOut},
        {"empty type", Value::text(QString()), open, Today, ClockOffer::ClockOut},
        {"open yesterday", Worked, open, Today - 1, ClockOffer::RepairYesterday},
        {"open 14 days ago", Worked, open, Today - 14, ClockOffer::RepairEarlier},
        {"dated after today", Worked, open, Today + 1, ClockOffer::Unchanged},
    };
    EXPECT_EQ(clockOffer(std::nullopt, Today), ClockOffer::ClockIn);
    for (const Case& c : cases)
        EXPECT_EQ(clockOffer(NewestRecord{c.type, c.timeOut, Value::date(c.tdate)}, Today), c.offer)
            << c.what;
}

TEST(PasswordTest, OnlyTheExactStoredTextMatches)
{
    const std::tuple<Value, QString, bool> cases[] = {
        {Value::text("pw"), "pw", true}, {Value::text("pw"), "PW", false}, {Value::text("pw"), "pw ", false},
        {Value::text(""), "", false},    {Value::null(), "", false},
    };
    for (const auto& [stored, typed, matches] : cases)
        EXPECT_EQ(passwordMatches(stored, typed), matches)
            << stored.toTextOrEmpty().toStdString() << " / '" << typed.toStdString() << "'";
}

// Which record of the period decides; none of these repairs anything.
TEST(LogInTest, TheNewestRecordOfThePeriodDecides)
{
    struct Shift
    {
        double tdate;
        std::optional<double> timeOut;
    };
    struct Case
    {
        const char* what;
        ClockOffer offer;
        int open; // index of the shift offered for clock-out, or -1
        QString total;
        std::vector<Shift> shifts;
    };
    const std::optional<double> open;
    using enum ClockOffer;
    const Case cases[] = {
        {"no record", ClockIn, -1, "Total Hours 0.", {}},
        {"open today", ClockOut, 1, "Total Hours 8.", {{dec(1), hm(16, 0)}, {Today, open}}},
        {"open 15 days ago", ClockIn, -1, "Total Hours 0.", {{Today - 15, open}}},
        {"open, then a newer closed", ClockIn, -1, "Total Hours 8.", {{dec(2), open}, {dec(3), hm(16, 0)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CoreDb t;
        std::vector<qint64> ids;
        for (const Shift& s : c.shifts)
            ids.push_back(
                t.shift(s.tdate, hm(8, 0), s.timeOut, s.timeOut ? std::optional(8.0) : std::nullopt));
        const LogIn result = logIn(t.clock, Ann, Morning);

        EXPECT_EQ(result.offer, c.offer);
        ASSERT_EQ(result.openShift.has_value(), c.open >= 0);
        if (result.openShift) {
            EXPECT_EQ(result.openShift->id, ids[static_cast<size_t>(c.open)]);
        }
        EXPECT_EQ(result.repair, LogIn::Repair::None);
        EXPECT_FALSE(result.alertDue);
        EXPECT_TRUE(result.message.isEmpty());
        EXPECT_EQ(result.total, c.total);
        EXPECT_EQ(t.db.timeRows().size(), c.shifts.size());
        for (const auto& row : t.db.timeRows())
            EXPECT_EQ(row.timeOut.isNull(), row.hours.isNull()) << "nothing is closed";
    }
}

} // namespace
