#include "platform/widgets/namelist.h"
#include "platform/widgets/timegrid.h"
#include "store/datasource.h"
#include "support/window.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace pelmar;
using test::WindowTest;

namespace {

constexpr double NoTime = -1;

// Today on the test clock is Friday 4 December 2026; the look-back window
// starts on 20 November.
class WhereIsTest : public ::testing::Test
{
protected:
    static double day(int d, int m = 12) { return dates::serial(2026, m, d); }
    static double hour(int h) { return dates::timeSerial(h, 0, 0); }

    // A record with optional times (NoTime stores Null).
    void record(qint64 id, double tdate, const Value& type, double in = NoTime, double out = NoTime)
    {
        auto opt = [](double v) { return v == NoTime ? std::nullopt : std::optional<double>(v); };
        t.db.addTime(id, tdate, opt(in), opt(out), std::nullopt, type);
    }
    static Value text(const char* s) { return Value::text(QString::fromLatin1(s)); }

    // Asks where the named employee is and returns the one message shown.
    test::ScriptedDialogs::Message ask(const QString& name)
    {
        t.dialogs.clear();
        EXPECT_TRUE(t.window().tdbPersonnel->selectName(name)) << name.toStdString();
        t.click("cmdWhereIs");
        EXPECT_EQ(t.dialogs.messages.size(), 1u) << name.toStdString();
        return t.dialogs.messages.empty() ? test::ScriptedDialogs::Message{} : t.dialogs.messages.back();
    }

    void expectAnswer(const QString& name, const QString& phrase)
    {
        const auto m = ask(name);
        EXPECT_EQ(m.text, name + phrase);
        EXPECT_EQ(m.icon, Dialogs::Icon::Information);
        EXPECT_EQ(m.title, QStringLiteral("PelmarEmployee"));
        EXPECT_EQ(t.window().WhereStatus, phrase) << name.toStdString();
    }

    void expectNoRecent(const QString& name)
    {
        const auto m = ask(name);
        EXPECT_EQ(m.text, QStringLiteral("There is no recent record for ") + name);
        EXPECT_EQ(m.icon, Dialogs::Icon::Information);
    }

    WindowTest t;
};

TEST_F(WhereIsTest, AnswersEveryPhraseFromTheLatestRecord)
{
    struct Who
    {
        const char* name;
        QString phrase;
    };
    const Who people[] = {
        {"Ida In", QStringLiteral(" is in.")},
        {"Otto Out", QStringLiteral(" is out.")},
        {"Nell NullType", QStringLiteral(" is in ")},
        {"Ed EmptyType", QStringLiteral(" is in ")},
        {"Val Vacation", QStringLiteral(" is on vacation ")},
        {"Hal Holiday", QStringLiteral(" is on holiday ")},
        {"Sid Sick", QStringLiteral(" is on sick leave ")},
        {"Liz LowerWorked", QStringLiteral(" has no recent time records ")},
        {"Sam LowerSick", QStringLiteral(" has no recent time records ")},
        {"Tom Training", QStringLiteral(" has no recent time records ")},
        {"Ida In", QStringLiteral(" is in.")},
        // Never clocked in: not " is in." from the lookup before.
        {"Nora NoClockIn", QStringLiteral(" has no recent time records ")},
        {"Otto Out", QStringLiteral(" is out.")},
        {"Owen OnlyOut", QStringLiteral(" has no recent time records ")},
    };
    qint64 id = 0;
    for (const char* name :
         {"Ida In", "Otto Out", "Nell NullType", "Ed EmptyType", "Val Vacation", "Hal Holiday", "Sid Sick",
          "Liz LowerWorked", "Sam LowerSick", "Tom Training", "Nora NoClockIn", "Owen OnlyOut"})
        t.db.addEmployee(++id, QString::fromLatin1(name), QStringLiteral("pw"));

    const Value worked = text("Worked");
    // Older records of another kind must not answer.
    for (qint64 i = 1; i <= id; ++i)
        record(i, day(1), text("Holiday"));
    // Two shifts today: the later clock-in is the latest record.
    record(1, day(3), worked, hour(8), hour(16));
    record(1, day(4), worked, hour(13));
    record(1, day(4), worked, hour(8), hour(12));
    record(2, day(3), worked, hour(8), hour(16));
    record(3, day(2), Value::null(), hour(8));
    record(4, day(2), text(""));
    record(5, day(3), text("Vacation"));
    record(6, day(25, 11), text("Holiday"));
    record(7, day(4), text("Sick Leave"));
    record(8, day(4), text("worked"), hour(8));
    record(9, day(4), text("Sick leave"));
    record(10, day(4), text("Training"), hour(8), hour(9));
    record(11, day(4), worked);
    record(12, day(4), worked, NoTime, hour(17));
    t.start();

    for (const Who& who : people) {
        SCOPED_TRACE(who.name);
        expectAnswer(QString::fromLatin1(who.name), who.phrase);
    }
}

TEST_F(WhereIsTest, LooksBackFourteenDaysUpToToday)
{
    t.db.addEmployee(1, QStringLiteral("Fay Fourteen"), QStringLiteral("pw"));
    t.db.addEmployee(2, QStringLiteral("Fitz Fifteen"), QStringLiteral("pw"));
    t.db.addEmployee(3, QStringLiteral("Fred Future"), QStringLiteral("pw"));
    t.db.addEmployee(4, QStringLiteral("Flo FutureOnly"), QStringLiteral("pw"));
    t.db.addEmployee(5, QStringLiteral("Nick Nothing"), QStringLiteral("pw"));
    record(1, day(20, 11), text("Worked"), hour(8), hour(16));
    record(2, day(19, 11), text("Worked"), hour(8), hour(16));
    record(3, day(5), text("Worked"), hour(8));
    record(3, day(2), text("Vacation"));
    record(4, day(5), text("Worked"), hour(8));
    record(5 + 100, day(4), text("Worked"), hour(8)); // nobody's
    t.start();

    expectAnswer(QStringLiteral("Fay Fourteen"), QStringLiteral(" is out."));
    expectNoRecent(QStringLiteral("Fitz Fifteen"));
    expectAnswer(QStringLiteral("Fred Future"), QStringLiteral(" is on vacation "));
    expectNoRecent(QStringLiteral("Flo FutureOnly"));
    expectNoRecent(QStringLiteral("Nick Nothing"));
    EXPECT_EQ(t.window().SqlText,
              QStringLiteral("SELECT * FROM qslTime WHERE Tdate BETWEEN #11/20/2026# And "
                             "#12/4/2026# AND PersonnelID = 5 ORDER BY Tdate DESC, TimeIn DESC"));
}

TEST_F(WhereIsTest, AClockInOutranksAnAbsenceWithoutTimesOnTheSameDate)
{
    t.db.addEmployee(1, QStringLiteral("Ann First"), QStringLiteral("pw"));
    t.db.addEmployee(2, QStringLiteral("Ben Second"), QStringLiteral("pw"));
    // Stored in both orders, so neither insertion order decides.
    record(1, day(3), text("Vacation"));
    record(1, day(3), text("Worked"), hour(9));
    record(2, day(3), text("Worked"), hour(9));
    record(2, day(3), text("Vacation"));
    t.start();

    expectAnswer(QStringLiteral("Ann First"), QStringLiteral(" is in."));
    expectAnswer(QStringLiteral("Ben Second"), QStringLiteral(" is in."));
}

TEST_F(WhereIsTest, NoNameSelectedIsAnErrorReport)
{
    t.db.addEmployee(1, QStringLiteral("Ann First"), QStringLiteral("pw"));
    record(1, day(3), text("Worked"), hour(9));
    t.start();
    ASSERT_FALSE(t.window().tdbPersonnel->hasSelection());

    t.click("cmdWhereIs");

    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    const auto& m = t.dialogs.messages[0];
    EXPECT_TRUE(m.text.startsWith(QStringLiteral("Error:"))) << m.text.toStdString();
    EXPECT_FALSE(m.text.startsWith(QStringLiteral("Error:3021"))) << m.text.toStdString();
    EXPECT_EQ(m.icon, Dialogs::Icon::None);
}

TEST_F(WhereIsTest, LeavesTheTimeSheetAlone)
{
    t.db.addEmployee(1, QStringLiteral("Ann First"), QStringLiteral("pw"));
    t.db.addEmployee(2, QStringLiteral("Ben Second"), QStringLiteral("pw"));
    record(1, day(3), text("Worked"), hour(9), hour(17));
    record(2, day(4), text("Worked"), hour(9));
    t.start();
    FrmTimeLog& w = t.window();
    ASSERT_TRUE(w.tdbPersonnel->selectName(QStringLiteral("Ann First")));
    w.guarded([&] { w.cmdReview_Click(); });
    ASSERT_EQ(w.tdgTimeWorked->rowCount(), 1);
    const QString listing = w.datTime->recordSource();
    const QString total = w.lblTotalHours->text();
    const QString cell = w.tdgTimeWorked->cellText(0, 1);

    expectAnswer(QStringLiteral("Ben Second"), QStringLiteral(" is in."));

    EXPECT_EQ(w.datTime->recordSource(), listing);
    EXPECT_EQ(w.lblTotalHours->text(), total);
    ASSERT_EQ(w.tdgTimeWorked->rowCount(), 1);
    EXPECT_EQ(w.tdgTimeWorked->cellText(0, 1), cell);
}

} // namespace
