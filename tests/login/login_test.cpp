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
        EXPECT_EQ(
            clockOffer(TimeRecord{1, Ann, Value::date(c.tdate), Value::date(hm(8, 0)), c.timeOut, {}, c.type},
                       Today),
            c.offer)
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

// The password and the employment are those of the employee's row at the
// click, not of the list read at start-up.
TEST(LogInTest, ChecksTheRowAsTheDatabaseHoldsIt)
{
    struct Case
    {
        const char* what;
        QString typed;
        QString change; // SQL run after the clock opened
        QString refusal;
    };
    const Case cases[] = {
        {"as at start-up", "pw", "", ""},
        {"old password after a reset", "pw", "UPDATE Personnel SET Password = 'new'", wrongPassword()},
        {"new password after a reset", "new", "UPDATE Personnel SET Password = 'new'", ""},
        {"terminated", "pw", "UPDATE Personnel SET TerminationDate = 46359", notOnStaff()},
        {"terminated, wrong password", "x", "UPDATE Personnel SET TerminationDate = 46359", wrongPassword()},
        {"removed", "pw", "DELETE FROM Personnel", notOnStaff()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CoreDb t;
        t.shift(dec(3), hm(15, 0)); // a refused log-in repairs nothing
        if (!c.change.isEmpty())
            t.db.exec(c.change);
        const LogInResult result = logIn(t.workplace, Ann, c.typed, Today + hm(9, 0));
        EXPECT_EQ(result.employee.has_value(), c.refusal.isEmpty());
        if (c.refusal.isEmpty()) {
            EXPECT_EQ(result.employee->fullName, "Ann Able");
            continue;
        }
        EXPECT_EQ(result.screen.notices, std::vector{Notice::message(c.refusal)});
        EXPECT_EQ(result.screen.offer, ButtonOffer::Keep);
        EXPECT_TRUE(t.db.timeRows()[0].timeOut.isNull());
    }
}

// Which record of the period decides; none of these repairs anything.
TEST(LogInTest, TheNewestRecordOfThePeriodDecides)
{
    struct Shift
    {
        double tdate;
        std::optional<double> timeIn, timeOut;
    };
    struct Case
    {
        const char* what;
        ButtonOffer offer;
        int open; // index of the shift offered for clock-out, or -1
        QString timeIn;
        std::vector<Shift> shifts;
    };
    const std::optional<double> open;
    const std::optional<double> eight = hm(8, 0);
    using enum ButtonOffer;
    const Case cases[] = {
        {"no record", ClockIn, -1, "", {}},
        {"open today", ClockOut, 1, "8:00:00 AM", {{dec(1), eight, hm(16, 0)}, {Today, eight, open}}},
        // Shown and closed all the same, without hours.
        {"open today, never clocked in", ClockOut, 0, "", {{Today, open, open}}},
        {"open 15 days ago", ClockIn, -1, "", {{Today - 15, eight, open}}},
        {"open, then a newer closed", ClockIn, -1, "", {{dec(2), eight, open}, {dec(3), eight, hm(16, 0)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CoreDb t;
        std::vector<qint64> ids;
        for (const Shift& s : c.shifts)
            ids.push_back(
                t.shift(s.tdate, s.timeIn, s.timeOut, s.timeOut ? std::optional(8.0) : std::nullopt));
        const ActionResult result = logIn(t.workplace, Ann, QStringLiteral("pw"), Morning).screen;

        EXPECT_EQ(result.offer, c.offer);
        EXPECT_TRUE(result.notices.empty());
        ASSERT_EQ(result.openShift.has_value(), c.open >= 0);
        if (result.openShift) {
            EXPECT_EQ(*result.openShift, ids[static_cast<size_t>(c.open)]);
            EXPECT_EQ(result.clockedIn,
                      (ClockLine{"You Clocked in:", "Friday, December 04, 2026", c.timeIn}));
        }
        EXPECT_EQ(t.db.timeRows().size(), c.shifts.size());
        for (const auto& row : t.db.timeRows())
            EXPECT_EQ(row.timeOut.isNull(), row.hours.isNull()) << "nothing is closed";
    }
}

} // namespace
