#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
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

// Today on the test clock is Friday 4 December 2026, 9:00:00 AM.
class LogInTest : public ::testing::Test
{
protected:
    void SetUp() override { t.addAnn(); }

    FrmTimeLog& w() { return t.window(); }

    void expectLoggedOut()
    {
        EXPECT_EQ(w().cmdGo->caption(), "Log In");
        EXPECT_EQ(w().cmdGo->toolTip(), "Display your time clock screen");
        EXPECT_FALSE(w().tdbPersonnel->locked());
        EXPECT_FALSE(shown(w().cmdTimeLog));
        EXPECT_FALSE(shown(w().cmdReview));
    }

    WindowTest t;
};

TEST_F(LogInTest, RefusesEveryPasswordThatIsNotExactlyTheStoredOne)
{
    t.db.addEmployee(8, "Bob Blank", QString());
    t.db.addEmployee(9, "Cy Null", "x");
    t.db.exec("UPDATE Personnel SET Password = NULL WHERE EmployeeID = 9");
    t.start();

    const std::vector<std::pair<QString, QString>> attempts = {
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
        expectLoggedOut();
    }
}

TEST_F(LogInTest, WithoutAPickedNameNothingChanges)
{
    t.start();
    w().tdbPassword->setText("pw");
    QTest::keyClick(w().tdbPassword, Qt::Key_Return);

    EXPECT_EQ(t.dialogs.texts(), QStringList{"Select your name in the list first."});
    EXPECT_EQ(w().tdbPassword->text(), "pw");
    expectLoggedOut();
}

TEST_F(LogInTest, LogsInWithNoRecordsAndEnterLogsOutAgain)
{
    t.start();
    const auto loggedOutColours = colours(w().cmdGo);
    t.logInAnn();

    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_EQ(w().cmdGo->caption(), "Log Out");
    EXPECT_EQ(colours(w().cmdGo), (std::vector<quint32>{0x000080, 0x8080FF, 0x0000FF, 0x8080FF}));
    EXPECT_EQ(w().cmdGo->toolTip(), "Close your time clock screen");
    EXPECT_TRUE(w().tdbPersonnel->locked());
    EXPECT_EQ(w().tdbPassword->text(), "pw");
    EXPECT_TRUE(shown(w().cmdReview));
    EXPECT_EQ(w().lblTotalHours->text(), "Total Hours 0.");
    EXPECT_FALSE(shown(w().lblTotalHours));
    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock IN");
    EXPECT_TRUE(shown(w().cmdTimeLog));
    EXPECT_EQ(colours(w().cmdTimeLog), (std::vector<quint32>{0xC00000, 0xFF8080, 0x0000FF, 0xFF8080}));
    EXPECT_FALSE(shown(w().lblIn));

    // Enter while logged in is the click with the caption "Log Out".
    QTest::keyClick(w().tdbPassword, Qt::Key_Return);
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    expectLoggedOut();
    EXPECT_EQ(colours(w().cmdGo), loggedOutColours);
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

    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
    EXPECT_TRUE(shown(w().cmdTimeLog));
    EXPECT_EQ(colours(w().cmdTimeLog), (std::vector<quint32>{0x008000, 0x80FF80, 0x00FF00, 0x80FF80}));
    EXPECT_TRUE(shown(w().lblIn) && shown(w().lblDateIn) && shown(w().lblTimeIn));
    EXPECT_EQ(w().lblIn->text(), "You Clocked in:");
    EXPECT_EQ(w().lblDateIn->text(), "Friday, December 04, 2026");
    EXPECT_EQ(w().lblTimeIn->text(), "7:30:00 AM");
    EXPECT_EQ(w().lblTotalHours->text(), "Total Hours 15.46");
    EXPECT_TRUE(t.dialogs.texts().isEmpty());

    // Logging out and in again writes nothing and offers the same.
    t.click("cmdGo");
    EXPECT_FALSE(shown(w().lblIn) || shown(w().lblDateIn) || shown(w().lblTimeIn));
    t.logInAnn();
    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
    EXPECT_EQ(t.db.timeRows().size(), 3u);
}

// Which record decides is the window's part; what each kind of record
// offers is the clock-state test's.
TEST_F(LogInTest, OnlyAnOpenNewestRecordOfThePeriodOffersClockOut)
{
    const std::vector<std::pair<const char*, std::function<void(TestDb&)>>> cases = {
        {"closed today", [](TestDb& db) { db.addTime(7, dec(4), hm(6, 0), hm(8, 0), 2); }},
        {"open 15 days ago, outside the period",
         [](TestDb& db) { db.addTime(7, dates::serial(2026, 11, 19), hm(8, 0)); }},
        // The period ends today, so a record dated later never reaches the
        // decision.
        {"open tomorrow, outside the period", [](TestDb& db) { db.addTime(7, dec(5), hm(8, 0)); }},
        {"open behind a newer closed record",
         [](TestDb& db) {
             db.addTime(7, dec(2), hm(8, 0));
             db.addTime(7, dec(3), hm(8, 0), hm(9, 0), 1);
         }},
    };
    for (const auto& [what, arrange] : cases) {
        SCOPED_TRACE(what);
        WindowTest each;
        each.addAnn();
        arrange(each.db);
        const auto openRows = [&] {
            const auto rows = each.db.timeRows();
            return std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.timeOut.isNull(); });
        };
        const auto open = openRows();
        each.start();
        each.logInAnn();
        EXPECT_EQ(each.window().cmdTimeLog->caption(), "Clock IN");
        EXPECT_TRUE(each.dialogs.texts().isEmpty());
        EXPECT_EQ(openRows(), open) << "nothing is repaired";
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
    EXPECT_EQ(w().cmdGo->caption(), "Log in");
    EXPECT_FALSE(w().tdbPersonnel->locked());
    EXPECT_FALSE(shown(w().cmdReview));
}

} // namespace
