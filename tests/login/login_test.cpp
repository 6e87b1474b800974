#include "ui/widgets/glassbutton.h"
#include "ui/widgets/namelist.h"
#include "support/window.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

std::vector<quint32> colours(const GlassButton* b)
{
    return {b->buttonactualcolor(), b->buttonactualglarecolor(), b->buttonclickcolor(),
            b->buttonmousemovecolor()};
}

const QStringList LoggedOut = {"Log In", "", ""};

// Today on the test clock is Friday 4 December 2026, 9:00:00 AM.
class LogInTest : public ::testing::Test
{
protected:
    void SetUp() override { t.addAnn(); }
    FrmTimeLog& w() { return t.window(); }
    WindowTest t;
};

TEST_F(LogInTest, RefusesEveryPasswordThatIsNotExactlyTheStoredOne)
{
    t.db.addEmployee(8, "Bob Blank", "");
    t.db.addEmployee(9, "Cy Null", "x");
    t.db.exec("UPDATE Personnel SET Password = NULL WHERE EmployeeID = 9");
    t.start();

    const std::pair<QString, QString> attempts[] = {
        {"Ann Able", ""},  {"Ann Able", "PW"}, {"Ann Able", " pw"}, {"Ann Able", "pw "},
        {"Bob Blank", ""}, {"Cy Null", ""},    {"Cy Null", "x"},
    };
    for (const auto& [name, password] : attempts) {
        SCOPED_TRACE((name + " / '" + password + "'").toStdString());
        t.dialogs.clear();
        t.logIn(name, password);
        ASSERT_EQ(t.dialogs.texts(), QStringList{"That Password is Incorrect."});
        EXPECT_EQ(t.dialogs.messages[0].title, "PelmarEmployee");
        EXPECT_EQ(t.dialogs.messages[0].icon, Dialogs::Icon::None);
        EXPECT_TRUE(w().tdbPassword->text().isEmpty());
        EXPECT_EQ(t.buttons(), LoggedOut);
        EXPECT_FALSE(w().tdbPersonnel->locked());
    }
}

TEST_F(LogInTest, WithoutAPickedNameNothingChanges)
{
    t.start();
    w().tdbPassword->setText("pw");
    QTest::keyClick(w().tdbPassword, Qt::Key_Return);
    EXPECT_EQ(t.dialogs.texts(), QStringList{"Select your name in the list first."});
    EXPECT_EQ(w().tdbPassword->text(), "pw");
    EXPECT_EQ(t.buttons(), LoggedOut);
}

TEST_F(LogInTest, LogsInWithNoRecordsAndEnterLogsOutAgain)
{
    t.start();
    const auto loggedOutColours = colours(w().cmdGo);
    t.logInAnn();

    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_EQ(t.buttons(), (QStringList{"Log Out", "Clock IN", "View My Time"}));
    EXPECT_EQ(colours(w().cmdGo), (std::vector<quint32>{0x000080, 0x8080FF, 0x0000FF, 0x8080FF}));
    EXPECT_EQ(colours(w().cmdTimeLog), (std::vector<quint32>{0xC00000, 0xFF8080, 0x0000FF, 0xFF8080}));
    EXPECT_EQ(w().cmdGo->toolTip(), "Close your time clock screen");
    EXPECT_TRUE(w().tdbPersonnel->locked());
    EXPECT_EQ(w().tdbPassword->text(), "pw");
    EXPECT_EQ(w().lblTotalHours->text(), "Total Hours 0.");
    EXPECT_FALSE(shown(w().lblTotalHours));
    EXPECT_EQ(t.clockLines(), QStringList(6));

    // Enter while logged in is the click with the caption "Log Out".
    QTest::keyClick(w().tdbPassword, Qt::Key_Return);
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_EQ(t.buttons(), LoggedOut);
    EXPECT_EQ(colours(w().cmdGo), loggedOutColours);
    EXPECT_EQ(w().cmdGo->toolTip(), "Display your time clock screen");
    EXPECT_FALSE(w().tdbPersonnel->locked());
    EXPECT_TRUE(w().tdbPassword->text().isEmpty());
    EXPECT_TRUE(t.db.timeRows().empty());
}

TEST_F(LogInTest, OpenRecordOfTodayOffersClockOutWithItsTimes)
{
    t.db.addTime(7, dec(1), hm(8, 0), hm(16, 0), 8);
    t.db.addTime(7, dec(2), hm(8, 0), hm(15, 30), 7.456);
    t.db.addTime(7, dec(4), hm(7, 30));
    t.start();
    t.logInAnn();

    EXPECT_EQ(t.buttons(), (QStringList{"Log Out", "Clock OUT", "View My Time"}));
    EXPECT_EQ(colours(w().cmdTimeLog), (std::vector<quint32>{0x008000, 0x80FF80, 0x00FF00, 0x80FF80}));
    EXPECT_EQ(t.clockLines(),
              (QStringList{"You Clocked in:", "Friday, December 04, 2026", "7:30:00 AM", "", "", ""}));
    EXPECT_EQ(w().lblTotalHours->text(), "Total Hours 15.46");
    EXPECT_TRUE(t.dialogs.texts().isEmpty());

    // Logging out and in again writes nothing and offers the same.
    t.click("cmdGo");
    EXPECT_EQ(t.clockLines(), QStringList(6));
    t.logInAnn();
    EXPECT_EQ(t.buttons()[1], "Clock OUT");
    EXPECT_EQ(t.db.timeRows().size(), 3u);
}

// Which record decides is the window's concern; what each kind of record
// offers is the clock-state test's.
TEST_F(LogInTest, OnlyAnOpenNewestRecordOfThePeriodOffersClockOut)
{
    struct Case
    {
        const char* what;
        std::vector<std::pair<double, std::optional<double>>> shifts; // date and clock-out
    };
    const Case cases[] = {
        {"closed today", {{dec(4), hm(8, 0)}}},
        {"open 15 days ago, outside the period", {{dates::serial(2026, 11, 19), std::nullopt}}},
        // The period ends today, so a record dated later never reaches the
        // decision.
        {"open tomorrow, outside the period", {{dec(5), std::nullopt}}},
        {"open behind a newer closed record", {{dec(2), std::nullopt}, {dec(3), hm(9, 0)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowTest each;
        each.addAnn();
        for (const auto& [tdate, timeOut] : c.shifts)
            each.db.addTime(7, tdate, hm(6, 0), timeOut);
        each.start();
        each.logInAnn();
        EXPECT_EQ(each.buttons()[1], "Clock IN");
        EXPECT_TRUE(each.dialogs.texts().isEmpty());
        for (const auto& row : each.db.timeRows())
            EXPECT_TRUE(row.hours.isNull()) << "nothing is repaired";
    }
}

TEST_F(LogInTest, AnUnknownCaptionDoesNothing)
{
    t.start();
    ASSERT_TRUE(w().tdbPersonnel->selectName("Ann Able"));
    w().tdbPassword->setText("pw");
    w().cmdGo->setCaption("Log in");
    t.click("cmdGo");
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_EQ(t.buttons(), (QStringList{"Log in", "", ""}));
    EXPECT_FALSE(w().tdbPersonnel->locked());
}

} // namespace
