#include "ui/widgets/glassbutton.h"
#include "ui/widgets/namelist.h"
#include "ui/widgets/timegrid.h"
#include "store/datasource.h"
#include "support/window.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

// Today on the test clock is Friday 4 December 2026; the default range runs
// from 20 November.
class TimeSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.db.addEmployee(1, "Ann Able", "pw");
        t.db.addEmployee(2, "Bob Baker", "pw");
    }

    void addShift(qint64 id, double tdate, double hours)
    {
        t.db.addTime(id, tdate, hm(8, 0), std::nullopt, hours);
    }

    // Starts the window with Ann selected and the review button offered, as
    // after a log-in, and opens the sheet.
    void openSheet()
    {
        t.start();
        ASSERT_TRUE(w().tdbPersonnel->selectName("Ann Able"));
        w().cmdReview->setVisible(true);
        t.click("cmdReview");
    }

    // Ticks the box, answering the date boxes (nullopt cancels).
    void tick(std::optional<QString> from, std::optional<QString> to = std::nullopt)
    {
        t.dialogs.answerInput(std::move(from));
        if (to)
            t.dialogs.answerInput(std::move(to));
        w().chkLimit->click();
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

    WindowTest t;
};

TEST_F(TimeSheetTest, OpeningShowsTheDefaultFifteenDays)
{
    addShift(1, dec(4), 8);
    addShift(1, dates::serial(2026, 11, 20), 7.5); // 14 days ago: listed and counted
    addShift(1, dates::serial(2026, 11, 19), 5);   // 15 days ago: not
    addShift(1, dec(5), 3);                        // after today: not
    addShift(2, dec(3), 100);                      // someone else's
    openSheet();

    const GlassButton& b = *w().cmdReview;
    EXPECT_EQ(b.caption(), "Hide My Time");
    EXPECT_EQ(b.toolTip(), "Close your time sheet records.");
    EXPECT_EQ(b.buttonactualcolor(), 0x000080u);
    EXPECT_EQ(b.buttonactualglarecolor(), 0x0000FFu);
    EXPECT_TRUE(shown(w().lblTotalHours) && shown(w().chkLimit) && shown(w().tdgTimeWorked));
    EXPECT_FALSE(w().chkLimit->isChecked());
    EXPECT_EQ(gridDates(), (QStringList{"12/4/2026", "11/20/2026"}));
    EXPECT_EQ(total(), "Total Hours 15.5");
    EXPECT_TRUE(t.dialogs.messages.empty() && t.dialogs.inputs.empty());
}

TEST_F(TimeSheetTest, TotalsWithoutDecimalsKeepThePoint)
{
    openSheet();
    EXPECT_EQ(total(), "Total Hours 0.");
    for (int d = 0; d < 5; ++d)
        addShift(1, dates::serial(2026, 11, 30) + d, 8);
    t.click("cmdReview");
    t.click("cmdReview");
    EXPECT_EQ(total(), "Total Hours 40.");
}

TEST_F(TimeSheetTest, TickingAsksForBothDatesAndLoadsTheTypedRange)
{
    for (const int day : {4, 5, 31})
        addShift(1, dates::serial(2026, 1, day), day / 8.0);
    addShift(1, dates::serial(2026, 5, 1), 9); // 1/5 read day first
    addShift(1, dec(4), 1);
    openSheet();

    tick("1/5/2026", "1/31/2026");

    ASSERT_EQ(t.dialogs.inputs.size(), 2u);
    EXPECT_EQ(t.dialogs.inputs[0].prompt, "Enter the start ('from') date as mm/dd/yyyy");
    EXPECT_EQ(t.dialogs.inputs[0].title, "Enter From:");
    EXPECT_EQ(t.dialogs.inputs[1].prompt, "Enter the end ('to') date as mm/dd/yyyy");
    EXPECT_EQ(t.dialogs.inputs[1].title, "Enter To:");
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_TRUE(w().chkLimit->isChecked());
    EXPECT_EQ(gridDates(), (QStringList{"1/31/2026", "1/5/2026"}));
    EXPECT_EQ(total(), "Total Hours 4.5");

    // Unticking goes back to the default range without asking.
    w().chkLimit->click();
    EXPECT_EQ(t.dialogs.inputs.size(), 2u);
    EXPECT_EQ(gridDates(), QStringList{"12/4/2026"});
}

TEST_F(TimeSheetTest, CancellingTheFirstBoxReloadsTheDefaultQuietly)
{
    addShift(1, dec(1), 4);
    openSheet();
    addShift(1, dec(2), 3); // only a reload can show this row

    tick(std::nullopt);

    EXPECT_EQ(t.dialogs.inputs.size(), 1u);
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_FALSE(w().chkLimit->isChecked());
    EXPECT_EQ(gridDates(), (QStringList{"12/2/2026", "12/1/2026"}));
    EXPECT_EQ(total(), "Total Hours 7.");
}

// Mistyped, missing and hostile texts alike are told and the default range
// reloaded; typed text goes into the statements as it is, so none of these
// may reach one.
TEST_F(TimeSheetTest, TextThatIsNotADateIsToldAndTheDefaultReloaded)
{
    struct Case
    {
        std::optional<QString> from, to;
        size_t boxes;
    };
    std::vector<Case> cases = {{"13/45/2026", {}, 1},
                               {" ", {}, 1},
                               {"1/5/2026", "tomorrow", 2},
                               {"1/5/2026", "", 2},
                               {"1/5/2026", std::nullopt, 2}};
    for (const char* hostile :
         {"1/1/2026# OR 1=1 OR #1/1/2026", "1/1/2026'; DROP TABLE Time; --", "#1/1/2026#",
          "1/1/2026# And #12/31/2026# OR PersonnelID = 2 OR #1/1/2026", "1/1/2026; DELETE FROM Time",
          "1/1/2026\" OR \"1\"=\"1", "1/1/2026 UNION SELECT * FROM Personnel"}) {
        cases.push_back({hostile, {}, 1});
        cases.push_back({"1/1/2026", hostile, 2});
    }
    addShift(1, dec(1), 4);
    addShift(2, dec(1), 50);
    openSheet();
    const QString listing = w().datTime->recordSource();
    const QString totalSql = w().SqlText;

    int rows = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.value_or("<cancel>").toStdString() + " / " +
                     c.to.value_or("<cancel>").toStdString());
        t.dialogs.clear();
        addShift(1, dec(2), 1); // another row that only a reload shows
        ++rows;
        t.dialogs.answerInput(c.from);
        if (c.boxes == 2)
            t.dialogs.answerInput(c.to);
        bool tickedDuringMessage = false;
        t.dialogs.onNextMessage([&] { tickedDuringMessage = w().chkLimit->isChecked(); });
        w().chkLimit->click();

        EXPECT_EQ(t.dialogs.inputs.size(), c.boxes);
        EXPECT_EQ(t.dialogs.texts(), QStringList{"Entry is not a valid date"});
        EXPECT_TRUE(tickedDuringMessage) << "the box is cleared after the message";
        EXPECT_FALSE(w().chkLimit->isChecked());
        EXPECT_EQ(w().datTime->recordSource(), listing);
        EXPECT_EQ(w().SqlText, totalSql);
        EXPECT_EQ(w().tdgTimeWorked->rowCount(), rows);
        EXPECT_EQ(total(), QStringLiteral("Total Hours %1.").arg(3 + rows));
        EXPECT_EQ(t.db.timeRows().size(), rows + 1u);
    }
}

TEST_F(TimeSheetTest, ClosingATypedRangeReloadsTheDefaultAndReopensOnIt)
{
    addShift(1, dec(1), 4);
    addShift(1, dates::serial(2026, 1, 10), 9);
    openSheet();
    tick("1/1/2026", "1/31/2026");
    ASSERT_EQ(gridDates(), QStringList{"1/10/2026"});
    addShift(1, dec(3), 2);

    t.click("cmdReview");

    const GlassButton& b = *w().cmdReview;
    EXPECT_EQ(b.caption(), "View My Time");
    EXPECT_EQ(b.toolTip(), "Display your time sheet in a table");
    EXPECT_EQ((std::vector{b.buttonactualcolor(), b.buttonactualglarecolor(), b.buttonclickcolor(),
                           b.buttonmousemovecolor()}),
              (std::vector<quint32>{0x004080, 0x0080FF, 0x0080FF, 0x80C0FF}));
    EXPECT_FALSE(shown(w().tdgTimeWorked) || shown(w().lblTotalHours) || shown(w().chkLimit));
    EXPECT_FALSE(w().chkLimit->isChecked());
    // The hidden grid and total already hold the default range.
    EXPECT_EQ(gridDates(), (QStringList{"12/3/2026", "12/1/2026"}));
    EXPECT_EQ(total(), "Total Hours 6.");

    t.click("cmdReview");
    EXPECT_EQ(b.caption(), "Hide My Time");
    EXPECT_EQ(gridDates(), (QStringList{"12/3/2026", "12/1/2026"}));
    EXPECT_EQ(t.dialogs.inputs.size(), 2u);
    EXPECT_TRUE(t.dialogs.messages.empty());
}

TEST_F(TimeSheetTest, ARemovedDatabaseFileIsReportedAndGridAndTotalStay)
{
    addShift(1, dec(1), 4);
    openSheet();
    ASSERT_TRUE(QFile::remove(t.db.path()));

    tick(std::nullopt);

    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_TRUE(t.dialogs.texts()[0].startsWith("Error:3024 ")) << t.dialogs.texts()[0].toStdString();
    EXPECT_FALSE(w().chkLimit->isChecked());
    EXPECT_EQ(gridDates(), QStringList{"12/1/2026"});
    EXPECT_EQ(total(), "Total Hours 4.");
}

} // namespace
