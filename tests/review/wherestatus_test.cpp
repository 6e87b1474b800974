#include "review/wherestatus.h"

#include <gtest/gtest.h>

using pelmar::whereStatus;

namespace {

const QString In = QStringLiteral(" is in ");
const QString InDot = QStringLiteral(" is in.");
const QString Out = QStringLiteral(" is out.");
const QString Unknown = QStringLiteral(" has no recent time records ");

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
        {QStringLiteral("Worked"), {Out, InDot, Unknown, Unknown}},
        {QStringLiteral("Vacation"), {QStringLiteral(" is on vacation ")}},
        {QStringLiteral("Holiday"), {QStringLiteral(" is on holiday ")}},
        {QStringLiteral("Sick Leave"), {QStringLiteral(" is on sick leave ")}},
        {QStringLiteral("worked"), {Unknown}},
        {QStringLiteral("Sick leave"), {Unknown}},
        {QStringLiteral("Worked "), {Unknown}},
        {QStringLiteral(" "), {Unknown}},
        {QStringLiteral("Training"), {Unknown}},
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
