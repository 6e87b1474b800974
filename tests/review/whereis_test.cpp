#include "review/whereis.h"
#include "store/datasource.h"
#include "support/coretest.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

const QString In = " is in ";
const QString InDot = " is in.";
const QString Out = " is out.";
const QString Unknown = " has no recent time records ";

// Every type against the four shapes of the times, as {TimeIn Null, TimeOut
// Null}: {no,no}, {no,yes}, {yes,no}, {yes,yes}.
TEST(WhereIsTest, PhraseForEveryTypeAndShapeOfTimes)
{
    const std::pair<QString, std::vector<QString>> cases[] = {
        {"", {In, In, In, In}},
        {"Worked", {Out, InDot, Unknown, Unknown}},
        {"Vacation", {" is on vacation "}},
        {"Holiday", {" is on holiday "}},
        {"Sick Leave", {" is on sick leave "}},
        {"worked", {Unknown}}, // the type is matched exactly
    };
    for (const auto& [type, phrases] : cases) {
        for (int shape = 0; shape < 4; ++shape) {
            // A type with one phrase answers it whatever the times.
            const QString& phrase = phrases[phrases.size() == 1 ? 0 : static_cast<size_t>(shape)];
            EXPECT_EQ(whereis::phrase(whereis::status(type, shape >= 2, shape % 2 == 1)), phrase)
                << '"' << type.toStdString() << "\" shape " << shape;
        }
    }
}

// Which record answers: the latest of today and the 14 days before.
TEST(WhereIsTest, TheLatestRecordOfTheLastFifteenDaysAnswers)
{
    struct Record
    {
        double tdate;
        Value type;
        std::optional<double> in = {}, out = {};
    };
    struct Case
    {
        const char* what;
        std::vector<Record> records;
        QString phrase; // empty: no recent record
    };
    const Value vacation = Value::text("Vacation");
    const Case cases[] = {
        {"no record", {}, {}},
        {"clocked in", {{dec(1), Value::text("Holiday")}, {Today, Worked, hm(8, 0)}}, InDot},
        {"clocked out", {{dec(3), Worked, hm(8, 0), hm(16, 0)}}, Out},
        {"Null type", {{dec(2), Value::null(), hm(8, 0)}}, In},
        {"the later clock-in of today",
         {{Today, Worked, hm(13, 0)}, {Today, Worked, hm(8, 0), hm(12, 0)}},
         InDot},
        {"14 days ago", {{Today - 14, Worked, hm(8, 0), hm(16, 0)}}, Out},
        {"15 days ago", {{Today - 15, Worked, hm(8, 0), hm(16, 0)}}, {}},
        {"after today", {{dec(2), vacation}, {Today + 1, Worked, hm(8, 0)}}, " is on vacation "},
        {"only after today", {{Today + 1, Worked, hm(8, 0)}}, {}},
        {"vacation stored first", {{dec(3), vacation}, {dec(3), Worked, hm(9, 0)}}, InDot},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CoreDb t;
        t.db.addTime(8, Today, hm(8, 0)); // someone else's
        for (const Record& r : c.records)
            t.shift(r.tdate, r.in, r.out, std::nullopt, r.type);
        const QString sheet = t.workplace.times().recordSource();

        const QString answer = whereis::answer(t.workplace, Ann, "Ann Able", Today + hm(9, 0));

        EXPECT_EQ(answer,
                  c.phrase.isEmpty() ? "There is no recent record for Ann Able" : "Ann Able" + c.phrase);
        EXPECT_EQ(t.workplace.times().recordSource(), sheet) << "the time sheet is left alone";
    }
}

} // namespace
