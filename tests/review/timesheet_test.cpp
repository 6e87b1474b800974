#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "platform/widgets/timegrid.h"
#include "store/datasource.h"
#include "support/window.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

using namespace pelmar;
using test::ScriptedDialogs;
using test::WindowTest;

namespace {

const QString NotADate = QStringLiteral("Entry is not a valid date");
const QString FromPrompt = QStringLiteral("Enter the start ('from') date as mm/dd/yyyy");
const QString ToPrompt = QStringLiteral("Enter the end ('to') date as mm/dd/yyyy");

// Today on the test clock is Friday 4 December 2026; the default range runs
// from 20 November.
class TimeSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.db.addEmployee(1, QStringLiteral("Ann Able"), QStringLiteral("pw"));
        t.db.addEmployee(2, QStringLiteral("Bob Baker"), QStringLiteral("pw"));
    }

    static double day(int y, int m, int d) { return dates::serial(y, m, d); }

    void addShift(qint64 id, double tdate, double hours, const QString& type = QStringLiteral("Worked"))
    {
        t.db.addTime(id, tdate, dates::timeSerial(8, 0, 0), dates::timeSerial(8, 0, 0) + hours / 24, hours,
                     Value::text(type));
    }

    // Starts the window with an employee selected and the review button
    // offered, as after a log-in, and opens the sheet.
    void openSheetFor(const QString& name)
    {
        t.start();
        ASSERT_TRUE(w().tdbPersonnel->selectName(name));
        w().cmdReview->setVisible(true);
        t.click("cmdReview");
    }

    FrmTimeLog& w() { return t.window(); }

    // The Date column of the grid, top to bottom.
    QStringList gridDates()
    {
        QStringList out;
        for (int r = 0; r < w().tdgTimeWorked->rowCount(); ++r)
            out << w().tdgTimeWorked->cellText(r, 1);
        return out;
    }

    QString total() { return w().lblTotalHours->text(); }
    QString listing() { return w().datTime->recordSource(); }
    bool shown(QWidget* widget) { return !widget->isHidden(); }

    void tick(std::optional<QString> from, std::optional<QString> to = std::nullopt)
    {
        t.dialogs.answerInput(std::move(from));
        if (to)
            t.dialogs.answerInput(std::move(to));
        w().chkLimit->click();
    }

    WindowTest t;
};

TEST_F(TimeSheetTest, OpeningShowsTheDefaultFifteenDays)
{
    addShift(1, day(2026, 12, 4), 8);
    addShift(1, day(2026, 11, 20), 7.5); // 14 days ago: listed and counted
    addShift(1, day(2026, 11, 19), 5);   // 15 days ago: not
    addShift(1, day(2026, 12, 5), 3);    // after today: not
    addShift(2, day(2026, 12, 3), 100);  // someone else's

    t.start();
    ASSERT_TRUE(w().tdbPersonnel->selectName(QStringLiteral("Ann Able")));
    w().cmdReview->setVisible(true);
    // The colours the open look leaves alone.
    w().cmdReview->setButtonclickcolor(0x123456);
    w().cmdReview->setButtonmousemovecolor(0x654321);
    t.click("cmdReview");

    GlassButton& b = *w().cmdReview;
    EXPECT_EQ(b.caption(), QStringLiteral("Hide My Time"));
    EXPECT_EQ(b.toolTip(), QStringLiteral("Close your time sheet records."));
    EXPECT_EQ(b.buttonactualcolor(), 0x000080u);
    EXPECT_EQ(b.buttonactualglarecolor(), 0x0000FFu);
    EXPECT_EQ(b.buttonclickcolor(), 0x123456u);
    EXPECT_EQ(b.buttonmousemovecolor(), 0x654321u);
    EXPECT_TRUE(shown(w().lblTotalHours));
    EXPECT_TRUE(shown(w().chkLimit));
    EXPECT_TRUE(shown(w().tdgTimeWorked));
    EXPECT_FALSE(w().chkLimit->isChecked());

    EXPECT_EQ(gridDates(), (QStringList{QStringLiteral("12/4/2026"), QStringLiteral("11/20/2026")}));
    EXPECT_EQ(total(), QStringLiteral("Total Hours 15.5"));
    EXPECT_EQ(listing(), QStringLiteral("SELECT * FROM qslTime WHERE Tdate BETWEEN #11/20/2026# And "
                                        "#12/4/2026# AND PersonnelID = 1 ORDER BY Tdate DESC, TimeIn DESC"));
    EXPECT_EQ(w().SqlText, QStringLiteral("SELECT SUM([Thours]) AS SumOfThours FROM qslTime WHERE Tdate "
                                          "BETWEEN #11/20/2026# And #12/4/2026# AND PersonnelID = 1"));
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_TRUE(t.dialogs.inputs.empty());
}

TEST_F(TimeSheetTest, NoRecordsGiveAnEmptyGridAndZero)
{
    addShift(2, day(2026, 12, 4), 8);
    openSheetFor(QStringLiteral("Ann Able"));
    EXPECT_EQ(w().tdgTimeWorked->rowCount(), 0);
    EXPECT_EQ(total(), QStringLiteral("Total Hours 0."));
}

TEST_F(TimeSheetTest, WholeNumberTotalKeepsThePoint)
{
    for (int d = 0; d < 5; ++d)
        addShift(1, day(2026, 11, 30) + d, 8);
    openSheetFor(QStringLiteral("Ann Able"));
    EXPECT_EQ(total(), QStringLiteral("Total Hours 40."));
}

TEST_F(TimeSheetTest, TickingAsksForBothDatesAndLoadsTheTypedRange)
{
    addShift(1, day(2026, 1, 5), 6);
    addShift(1, day(2026, 1, 31), 2.25);
    addShift(1, day(2026, 5, 1), 9); // 1/5 read day first
    addShift(1, day(2026, 1, 4), 9);
    addShift(1, day(2026, 12, 4), 1);
    openSheetFor(QStringLiteral("Ann Able"));

    tick(QStringLiteral("1/5/2026"), QStringLiteral("1/31/2026"));

    ASSERT_EQ(t.dialogs.inputs.size(), 2u);
    EXPECT_EQ(t.dialogs.inputs[0].prompt, FromPrompt);
    EXPECT_EQ(t.dialogs.inputs[0].title, QStringLiteral("Enter From:"));
    EXPECT_EQ(t.dialogs.inputs[1].prompt, ToPrompt);
    EXPECT_EQ(t.dialogs.inputs[1].title, QStringLiteral("Enter To:"));
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_TRUE(w().chkLimit->isChecked());

    EXPECT_EQ(gridDates(), (QStringList{QStringLiteral("1/31/2026"), QStringLiteral("1/5/2026")}));
    EXPECT_EQ(total(), QStringLiteral("Total Hours 8.25"));
    EXPECT_TRUE(
        listing().contains(QStringLiteral("BETWEEN #1/5/2026# And #1/31/2026# AND PersonnelID = 1 ")));
    EXPECT_TRUE(
        w().SqlText.contains(QStringLiteral("BETWEEN #1/5/2026# And #1/31/2026# AND PersonnelID = 1")));
    EXPECT_EQ(w().FromDate, Value::text(QStringLiteral("1/5/2026")));

    // Unticking goes back to the default range without asking.
    w().chkLimit->click();
    EXPECT_EQ(t.dialogs.inputs.size(), 2u);
    EXPECT_EQ(gridDates(), QStringList{QStringLiteral("12/4/2026")});
    EXPECT_EQ(total(), QStringLiteral("Total Hours 1."));
}

TEST_F(TimeSheetTest, CancellingTheFirstBoxReloadsTheDefaultQuietly)
{
    addShift(1, day(2026, 12, 1), 4);
    openSheetFor(QStringLiteral("Ann Able"));
    // Only a reload can show this row.
    addShift(1, day(2026, 12, 2), 3);

    tick(std::nullopt);

    EXPECT_EQ(t.dialogs.inputs.size(), 1u);
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_FALSE(w().chkLimit->isChecked());
    EXPECT_EQ(gridDates(), (QStringList{QStringLiteral("12/2/2026"), QStringLiteral("12/1/2026")}));
    EXPECT_EQ(total(), QStringLiteral("Total Hours 7."));
    EXPECT_TRUE(t.dialogs.allAnswersUsed());
}

TEST_F(TimeSheetTest, AnInvalidOrMissingDateIsToldThenTheDefaultReloaded)
{
    struct Case
    {
        const char* why;
        std::optional<QString> from;
        std::optional<QString> to;
        size_t inputs;
    };
    const Case cases[] = {
        {"start not a date", QStringLiteral("13/45/2026"), std::nullopt, 1},
        {"start blank", QStringLiteral(" "), std::nullopt, 1},
        {"end not a date", QStringLiteral("1/5/2026"), QStringLiteral("tomorrow"), 2},
        {"end empty", QStringLiteral("1/5/2026"), QString(), 2},
        {"end cancelled", QStringLiteral("1/5/2026"), std::optional<QString>(std::nullopt), 2},
    };
    addShift(1, day(2026, 12, 1), 4);
    addShift(1, day(2026, 1, 10), 9);
    openSheetFor(QStringLiteral("Ann Able"));

    int reloads = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        t.dialogs.clear();
        addShift(1, day(2026, 12, 2), 1); // another row that only a reload shows
        ++reloads;
        t.dialogs.answerInput(c.from);
        if (c.inputs == 2)
            t.dialogs.answerInput(c.to);
        bool tickedDuringMessage = false;
        t.dialogs.onNextMessage([&] { tickedDuringMessage = w().chkLimit->isChecked(); });
        w().chkLimit->click();

        EXPECT_EQ(t.dialogs.inputs.size(), c.inputs);
        ASSERT_EQ(t.dialogs.messages.size(), 1u);
        EXPECT_EQ(t.dialogs.messages[0].text, NotADate);
        EXPECT_EQ(t.dialogs.messages[0].icon, Dialogs::Icon::None);
        EXPECT_EQ(t.dialogs.messages[0].title, QStringLiteral("PelmarEmployee"));
        EXPECT_TRUE(tickedDuringMessage) << "the box is cleared after the message";
        EXPECT_FALSE(w().chkLimit->isChecked());
        EXPECT_EQ(w().tdgTimeWorked->rowCount(), 1 + reloads);
        EXPECT_EQ(total(), QStringLiteral("Total Hours ") + QString::number(4 + reloads) + QLatin1Char('.'));
        EXPECT_TRUE(t.dialogs.allAnswersUsed());
    }
}

TEST_F(TimeSheetTest, ClosingATypedRangeReloadsTheDefaultAndReopensOnIt)
{
    addShift(1, day(2026, 12, 1), 4);
    addShift(1, day(2026, 1, 10), 9);
    openSheetFor(QStringLiteral("Ann Able"));
    tick(QStringLiteral("1/1/2026"), QStringLiteral("1/31/2026"));
    ASSERT_EQ(gridDates(), QStringList{QStringLiteral("1/10/2026")});
    addShift(1, day(2026, 12, 3), 2);

    t.click("cmdReview");

    GlassButton& b = *w().cmdReview;
    EXPECT_EQ(b.caption(), QStringLiteral("View My Time"));
    EXPECT_EQ(b.toolTip(), QStringLiteral("Display your time sheet in a table"));
    EXPECT_EQ(b.buttonactualcolor(), 0x004080u);
    EXPECT_EQ(b.buttonactualglarecolor(), 0x0080FFu);
    EXPECT_EQ(b.buttonclickcolor(), 0x0080FFu);
    EXPECT_EQ(b.buttonmousemovecolor(), 0x80C0FFu);
    EXPECT_FALSE(shown(w().tdgTimeWorked));
    EXPECT_FALSE(shown(w().lblTotalHours));
    EXPECT_FALSE(shown(w().chkLimit));
    EXPECT_FALSE(w().chkLimit->isChecked());
    // The hidden grid and total already hold the default range.
    EXPECT_EQ(gridDates(), (QStringList{QStringLiteral("12/3/2026"), QStringLiteral("12/1/2026")}));
    EXPECT_EQ(total(), QStringLiteral("Total Hours 6."));

    t.click("cmdReview");
    EXPECT_EQ(b.caption(), QStringLiteral("Hide My Time"));
    EXPECT_FALSE(w().chkLimit->isChecked());
    EXPECT_EQ(gridDates(), (QStringList{QStringLiteral("12/3/2026"), QStringLiteral("12/1/2026")}));
    EXPECT_EQ(t.dialogs.inputs.size(), 2u);
    EXPECT_TRUE(t.dialogs.messages.empty());
}

TEST_F(TimeSheetTest, ClosingTheDefaultRangeReloadsNothing)
{
    addShift(1, day(2026, 12, 1), 4);
    openSheetFor(QStringLiteral("Ann Able"));
    addShift(1, day(2026, 12, 3), 2);
    const QString sql = w().SqlText;

    t.click("cmdReview");

    EXPECT_EQ(w().cmdReview->caption(), QStringLiteral("View My Time"));
    EXPECT_FALSE(shown(w().tdgTimeWorked));
    EXPECT_EQ(gridDates(), QStringList{QStringLiteral("12/1/2026")});
    EXPECT_EQ(total(), QStringLiteral("Total Hours 4."));
    EXPECT_EQ(w().SqlText, sql);
}

TEST_F(TimeSheetTest, TypedTextThatIsNotADateNeverReachesTheDatabase)
{
    const QString hostile[] = {
        QStringLiteral("1/1/2026# OR 1=1 OR #1/1/2026"),
        QStringLiteral("1/1/2026'; DROP TABLE Time; --"),
        QStringLiteral("#1/1/2026#"),
        QStringLiteral("1/1/2026# And #12/31/2026# OR PersonnelID = 2 OR #1/1/2026"),
        QStringLiteral("1/1/2026; DELETE FROM Time"),
        QStringLiteral("1/1/2026\" OR \"1\"=\"1"),
        QStringLiteral("1/1/2026 UNION SELECT * FROM Personnel"),
    };
    addShift(1, day(2026, 12, 1), 4);
    addShift(2, day(2026, 12, 1), 50);
    openSheetFor(QStringLiteral("Ann Able"));
    const QString defaultListing = listing();
    const QString defaultTotal = w().SqlText;

    for (const QString& text : hostile) {
        for (bool asEnd : {false, true}) {
            SCOPED_TRACE(text.toStdString() + (asEnd ? " as end" : " as start"));
            t.dialogs.clear();
            if (asEnd)
                tick(QStringLiteral("1/1/2026"), text);
            else
                tick(text);
            EXPECT_EQ(t.dialogs.texts(), QStringList{NotADate});
            EXPECT_EQ(listing(), defaultListing);
            EXPECT_EQ(w().SqlText, defaultTotal);
            EXPECT_EQ(gridDates(), QStringList{QStringLiteral("12/1/2026")});
            EXPECT_EQ(total(), QStringLiteral("Total Hours 4."));
            EXPECT_EQ(t.db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Time\"")), Value::integer(2));
        }
    }
}

TEST_F(TimeSheetTest, AnErrorIsReportedAndLeavesGridAndTotalAsTheyWere)
{
    addShift(1, day(2026, 12, 1), 4);
    addShift(1, day(2026, 1, 10), 9);
    openSheetFor(QStringLiteral("Ann Able"));
    // The database file is gone from where the program looks for it.
    t.shared.DBPath = t.appDir.filePath(QStringLiteral("Pelmar.mdb"));

    tick(QStringLiteral("1/1/2026"), QStringLiteral("1/31/2026"));

    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_TRUE(t.dialogs.messages[0].text.startsWith(QStringLiteral("Error:3024 ")))
        << t.dialogs.texts()[0].toStdString();
    EXPECT_EQ(t.dialogs.messages[0].icon, Dialogs::Icon::None);
    EXPECT_EQ(gridDates(), QStringList{QStringLiteral("12/1/2026")});
    EXPECT_EQ(total(), QStringLiteral("Total Hours 4."));
}

TEST_F(TimeSheetTest, ARemovedDatabaseFileFailsTheTotalAndKeepsTheOldOne)
{
    addShift(1, day(2026, 12, 1), 4);
    openSheetFor(QStringLiteral("Ann Able"));
    // The grid's source keeps its open connection; the total opens the file anew.
    ASSERT_TRUE(QFile::remove(t.db.path()));

    tick(std::nullopt);

    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_TRUE(t.dialogs.messages[0].text.startsWith(QStringLiteral("Error:3024 ")))
        << t.dialogs.texts()[0].toStdString();
    EXPECT_FALSE(w().chkLimit->isChecked());
    EXPECT_EQ(gridDates(), QStringList{QStringLiteral("12/1/2026")});
    EXPECT_EQ(total(), QStringLiteral("Total Hours 4."));
}

} // namespace
