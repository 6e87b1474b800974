#include "admin/refusal.h"
#include "platform/runerror.h"

#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

using namespace pelmar;

namespace {

// Each number has one text, looked up in one table; %1 takes the detail.
TEST(RunError, TheNumberedTexts)
{
    const struct
    {
        int number;
        const char* detail;
        const char* text;
    } cases[] = {
        {err::Overflow, "", "Overflow"},
        {err::ObjectNotSet, "", "Object variable or With block variable not set"},
        {err::InvalidUseOfNull, "ignored", "Invalid use of Null"},
        {err::TableExists, "Time", "Table 'Time' already exists."},
        {err::CouldNotFindFile, "/srv/Pelmar.mdb", "Could not find file '/srv/Pelmar.mdb'."},
        {err::QuerySyntax, "", "Syntax error in query expression ''."},
        {err::RecordDeleted, "", "Record is deleted."},
        {err::DialogCancel, "", "Cancel was selected."},
        // A number without a text of its own: the detail, or the run time's words.
        {err::EngineFailure, "disk I/O error", "disk I/O error"},
        {err::EngineFailure, "", "Application-defined or object-defined error"},
    };
    for (const auto& c : cases) {
        const RunError e = RunError::of(c.number, QString::fromUtf8(c.detail));
        EXPECT_EQ(e.number(), c.number);
        EXPECT_EQ(e.description(), QString::fromUtf8(c.text)) << c.number;
        EXPECT_FALSE(e.refused());
    }
}

// Whatever a catch (...) caught becomes one numbered error; a refusal stays
// a refusal, also when copied as a RunError.
TEST(RunError, CurrentTurnsAnythingCaughtIntoANumberedError)
{
    const auto caught = [](const std::function<void()>& thrower) {
        try {
            thrower();
        } catch (...) {
            return RunError::current();
        }
        return RunError(0, QString());
    };
    const struct
    {
        std::function<void()> thrower;
        int number;
        QString description;
    } cases[] = {
        {[] { throw RunError::of(err::Locked); }, err::Locked, "Could not update; currently locked."},
        {[] { throw admin::Refusal("There is no employee 9."); }, err::Refused, "There is no employee 9."},
        {[] { throw std::bad_alloc(); }, err::OutOfMemory, "Out of memory"},
        {[] { throw std::runtime_error("disk gone"); }, err::EngineFailure, "disk gone"},
        {[] { throw 42; }, err::EngineFailure, "Application-defined or object-defined error"},
    };
    for (const auto& c : cases) {
        const RunError e = caught(c.thrower);
        EXPECT_EQ(e.number(), c.number);
        EXPECT_EQ(e.description(), c.description);
        EXPECT_EQ(e.refused(), c.number == err::Refused);
    }
}

} // namespace
