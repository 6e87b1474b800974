#include "review/wherestatus.h"

#include <gtest/gtest.h>

using pelmar::whereStatus;

namespace {

const QString In = " is in ";
const QString InDot = " is in.";
const QString Out = " is out.";
const QString Unknown = " has no recent time records ";

// Every type against all four shapes of clock-in/clock-out, as
// {timeIn Null, timeOut Null}: {no,no}, {no,yes}, {yes,no}, {yes,yes}.
TEST(WhereStatus, PhraseForEveryTypeAndTimeShape)
{
    struct Row
    {
        QString type;
        QString phrases[4];
    };
    const Row rows[] = {
        {QString(), {In, In, In, In}},
        {"Worked", {Out, InDot, Unknown, Unknown}},
        {"Vacation", {" is on vacation "}},
        {"Holiday", {" is on holiday "}},
        {"Sick Leave", {" is on sick leave "}},
        {"worked", {Unknown}},
        {"Sick leave", {Unknown}},
        {"Worked ", {Unknown}},
        {" ", {Unknown}},
        {"Training", {Unknown}},
    };
    for (const Row& row : rows) {
        for (int shape = 0; shape < 4; ++shape) {
            const bool inNull = shape >= 2;
            const bool outNull = shape % 2 == 1;
            // Rows with one phrase answer the same whatever the times.
            const QString& want = row.phrases[row.phrases[1].isNull() ? 0 : shape];
            EXPECT_EQ(whereStatus(row.type, inNull, outNull), want)
                << '"' << row.type.toStdString() << "\" in Null " << inNull << " out Null " << outNull;
        }
    }
}

} // namespace
