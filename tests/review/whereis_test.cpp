#include "ui/widgets/namelist.h"
#include "ui/widgets/timegrid.h"
#include "store/datasource.h"
#include "support/window.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

constexpr double NoTime = -1;

// Which record answers and how the answer is shown; the phrase for each kind
// of record is the where-status test's. Today on the test clock is Friday
// 4 December 2026; the look-back window starts on 20 November.
class WhereIsTest : public ::testing::Test
{
protected:
    // Employees numbered from 1 in the order given.
    void employees(std::initializer_list<const char*> names)
    {
        qint64 id = 0;
        for (const char* name : names)
            t.db.addEmployee(++id, QString::fromLatin1(name), "pw");
    }

    // A record with optional times (NoTime stores Null).
    void record(qint64 id, double tdate, const char* type, double in = NoTime, double out = NoTime)
    {
        auto opt = [](double v) { return v == NoTime ? std::nullopt : std::optional<double>(v); };
        t.db.addTime(id, tdate, opt(in), opt(out), std::nullopt,
                     type ? Value::text(QString::fromLatin1(type)) : Value::null());
    }

    // Asks where the named employee is and returns the one message shown.
    ScriptedDialogs::Message ask(const QString& name)
    {
        t.dialogs.clear();
        EXPECT_TRUE(t.window().tdbPersonnel->selectName(name)) << name.toStdString();
        t.click("cmdWhereIs");
        EXPECT_EQ(t.dialogs.messages.size(), 1u) << name.toStdString();
        return t.dialogs.messages.empty() ? ScriptedDialogs::Message{} : t.dialogs.messages.back();
    }

    void expectAnswer(const QString& name, const QString& phrase)
    {
        const auto m = ask(name);
        EXPECT_EQ(m.text, name + phrase);
        EXPECT_EQ(m.icon, Dialogs::Icon::Information);
        EXPECT_EQ(m.title, "PelmarEmployee");
        EXPECT_EQ(t.window().WhereStatus, phrase);
    }

    void expectNoRecent(const QString& name)
    {
        const auto m = ask(name);
        EXPECT_EQ(m.text, "There is no recent record for " + name);
        EXPECT_EQ(m.icon, Dialogs::Icon::Information);
    }

    WindowTest t;
};

TEST_F(WhereIsTest, TheLatestRecordOfTheLastFifteenDaysAnswers)
{
    employees({"Ida In", "Otto Out", "Nell NullType", "Nora NoClockIn", "Fay Fourteen", "Fitz Fifteen",
               "Fred Future", "Flo FutureOnly", "Nick Nothing", "Ann First", "Ben Second"});
    // Older records of another kind must not answer.
    for (qint64 i = 1; i <= 4; ++i)
        record(i, dec(1), "Holiday");
    // Two shifts today: the later clock-in is the latest record.
    record(1, dec(3), "Worked", hm(8, 0), hm(16, 0));
    record(1, dec(4), "Worked", hm(13, 0));
    record(1, dec(4), "Worked", hm(8, 0), hm(12, 0));
    record(2, dec(3), "Worked", hm(8, 0), hm(16, 0));
    record(3, dec(2), nullptr, hm(8, 0));
    record(4, dec(4), "Worked");
    record(5, dates::serial(2026, 11, 20), "Worked", hm(8, 0), hm(16, 0));
    record(6, dates::serial(2026, 11, 19), "Worked", hm(8, 0), hm(16, 0));
    record(7, dec(5), "Worked", hm(8, 0));
    record(7, dec(2), "Vacation");
    record(8, dec(5), "Worked", hm(8, 0));
    record(111, dec(4), "Worked", hm(8, 0)); // nobody's
    // A clock-in outranks an absence without times on the same date,
    // whichever was stored first.
    record(10, dec(3), "Vacation");
    record(10, dec(3), "Worked", hm(9, 0));
    record(11, dec(3), "Worked", hm(9, 0));
    record(11, dec(3), "Vacation");
    t.start();

    const std::pair<const char*, const char*> answers[] = {
        {"Ida In", " is in."},
        {"Otto Out", " is out."},
        {"Nell NullType", " is in "},
        {"Ida In", " is in."},
        // Never clocked in: not " is in." from the lookup before.
        {"Nora NoClockIn", " has no recent time records "},
        {"Fay Fourteen", " is out."},
        {"Fitz Fifteen", nullptr},
        {"Fred Future", " is on vacation "},
        {"Flo FutureOnly", nullptr},
        {"Nick Nothing", nullptr},
        {"Ann First", " is in."},
        {"Ben Second", " is in."},
    };
    for (const auto& [name, phrase] : answers) {
        if (phrase)
            expectAnswer(QString::fromLatin1(name), QString::fromLatin1(phrase));
        else
            expectNoRecent(QString::fromLatin1(name));
    }
}

TEST_F(WhereIsTest, NoNameSelectedIsAnErrorReport)
{
    employees({"Ann First"});
    record(1, dec(3), "Worked", hm(9, 0));
    t.start();
    ASSERT_FALSE(t.window().tdbPersonnel->hasSelection());

    t.click("cmdWhereIs");

    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    const auto& m = t.dialogs.messages[0];
    EXPECT_TRUE(m.text.startsWith("Error:") && !m.text.startsWith("Error:3021")) << m.text.toStdString();
    EXPECT_EQ(m.icon, Dialogs::Icon::None);
}

TEST_F(WhereIsTest, LeavesTheTimeSheetAlone)
{
    employees({"Ann First", "Ben Second"});
    record(1, dec(3), "Worked", hm(9, 0), hm(17, 0));
    record(2, dec(4), "Worked", hm(9, 0));
    t.start();
    FrmTimeLog& w = t.window();
    ASSERT_TRUE(w.tdbPersonnel->selectName("Ann First"));
    w.guarded([&] { w.cmdReview_Click(); });
    const QString listing = w.datTime->recordSource();
    const QString total = w.lblTotalHours->text();

    expectAnswer("Ben Second", " is in.");

    EXPECT_EQ(w.datTime->recordSource(), listing);
    EXPECT_EQ(w.lblTotalHours->text(), total);
    ASSERT_EQ(w.tdgTimeWorked->rowCount(), 1);
    EXPECT_EQ(w.tdgTimeWorked->cellText(0, 1), "12/3/2026");
}

} // namespace
