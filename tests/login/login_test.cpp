#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "store/datasource.h"
#include "support/window.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace pelmar;
using test::WindowTest;

namespace {

const QString Refused = QStringLiteral("That Password is Incorrect.");

// The window is never shown, so "visible" means not hidden.
bool shown(const QWidget* widget)
{
    return !widget->isHidden();
}

std::vector<quint32> colours(const GlassButton* b)
{
    return {b->buttonactualcolor(), b->buttonactualglarecolor(), b->buttonclickcolor(),
            b->buttonmousemovecolor()};
}

// Today on the test clock is Friday 4 December 2026, 9:00:00 AM.
class LogInTest : public ::testing::Test
{
protected:
    void SetUp() override { t.db.addEmployee(7, QStringLiteral("Ann Able"), QStringLiteral("Secret")); }

    static double dec(int d) { return dates::serial(2026, 12, d); }
    static double hm(int h, int m) { return dates::timeSerial(h, m, 0); }

    FrmTimeLog& w() { return t.window(); }
    qint64 timeRows() { return t.db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Time\"")).toInteger(); }
    void pressEnter() { QTest::keyClick(w().tdbPassword, Qt::Key_Return); }

    void expectLoggedOut()
    {
        EXPECT_EQ(w().cmdGo->caption(), "Log In");
        EXPECT_FALSE(w().tdbPersonnel->locked());
        EXPECT_FALSE(shown(w().cmdTimeLog));
        EXPECT_FALSE(shown(w().cmdReview));
    }

    WindowTest t;
};

TEST_F(LogInTest, RefusesEveryPasswordThatIsNotExactlyTheStoredOne)
{
    t.db.addEmployee(8, QStringLiteral("Bob Blank"), QString());
    t.db.addEmployee(9, QStringLiteral("Cy Null"), QStringLiteral("x"));
    t.db.exec(QStringLiteral("UPDATE Personnel SET Password = NULL WHERE EmployeeID = 9"));
    t.start();

    const std::vector<std::pair<QString, QString>> attempts = {
        {"Ann Able", ""},  {"Ann Able", "secret"}, {"Ann Able", " Secret"}, {"Ann Able", "Secret "},
        {"Bob Blank", ""}, {"Cy Null", ""},        {"Cy Null", "x"},
    };
    for (const auto& [name, password] : attempts) {
        SCOPED_TRACE((name + " / '" + password + "'").toStdString());
        t.dialogs.clear();
        t.logIn(name, password);
        ASSERT_EQ(t.dialogs.texts(), QStringList{Refused});
        EXPECT_EQ(t.dialogs.messages[0].title, "PelmarEmployee");
        EXPECT_EQ(t.dialogs.messages[0].icon, Dialogs::Icon::None);
        EXPECT_TRUE(w().tdbPassword->text().isEmpty());
        expectLoggedOut();
    }

    t.dialogs.clear();
    t.logIn(QStringLiteral("Ann Able"), QStringLiteral("Secret"));
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_EQ(w().cmdGo->caption(), "Log Out");
}

TEST_F(LogInTest, WithoutAPickedNameNothingChanges)
{
    t.start();
    w().tdbPassword->setText(QStringLiteral("Secret"));
    pressEnter();

    EXPECT_EQ(t.dialogs.texts(), QStringList{"Select your name in the list first."});
    EXPECT_EQ(w().tdbPassword->text(), "Secret");
    expectLoggedOut();
}

TEST_F(LogInTest, LogsInWithNoRecordsAndEnterLogsOutAgain)
{
    t.start();
    t.logIn(QStringLiteral("Ann Able"), QStringLiteral("Secret"));

    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_EQ(w().cmdGo->caption(), "Log Out");
    EXPECT_EQ(colours(w().cmdGo), (std::vector<quint32>{0x000080, 0x8080FF, 0x0000FF, 0x8080FF}));
    EXPECT_EQ(w().cmdGo->toolTip(), "Close your time clock screen");
    EXPECT_TRUE(w().tdbPersonnel->locked());
    EXPECT_EQ(w().tdbPassword->text(), "Secret");
    EXPECT_TRUE(shown(w().cmdReview));
    EXPECT_EQ(w().datTime->recordSource(),
              "SELECT * FROM qslTime WHERE Tdate BETWEEN #11/20/2026# And "
              "#12/4/2026# AND PersonnelID = 7 ORDER BY Tdate DESC, TimeIn DESC");
    EXPECT_EQ(w().lblTotalHours->text(), "Total Hours 0.");
    EXPECT_FALSE(shown(w().lblTotalHours));
    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock IN");
    EXPECT_TRUE(shown(w().cmdTimeLog));
    EXPECT_EQ(colours(w().cmdTimeLog), (std::vector<quint32>{0xC00000, 0xFF8080, 0x0000FF, 0xFF8080}));
    EXPECT_FALSE(shown(w().lblIn));

    // Enter while logged in is the click with the caption "Log Out".
    pressEnter();
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    expectLoggedOut();
    EXPECT_EQ(colours(w().cmdGo), (std::vector<quint32>{0xC00000, 0xFF8080, 0x0000FF, 0xFF8080}));
    EXPECT_EQ(w().cmdGo->toolTip(), "Display your time clock screen");
    EXPECT_TRUE(w().tdbPassword->text().isEmpty());
    EXPECT_EQ(timeRows(), 0);
}

TEST_F(LogInTest, OpenRecordOfTodayOffersClockOutWithItsTimes)
{
    t.db.addTime(7, dec(1), hm(8, 0), hm(16, 0), 8);
    t.db.addTime(7, dec(2), hm(8, 0), hm(15, 30), 7.456);
    t.db.addTime(7, dec(4), hm(7, 30));
    t.start();
    t.logIn(QStringLiteral("Ann Able"), QStringLiteral("Secret"));

    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
    EXPECT_TRUE(shown(w().cmdTimeLog));
    EXPECT_EQ(colours(w().cmdTimeLog), (std::vector<quint32>{0x008000, 0x80FF80, 0x00FF00, 0x80FF80}));
    EXPECT_TRUE(shown(w().lblIn));
    EXPECT_EQ(w().lblIn->text(), "You Clocked in:");
    EXPECT_TRUE(shown(w().lblDateIn));
    EXPECT_EQ(w().lblDateIn->text(), "Friday, December 04, 2026");
    EXPECT_TRUE(shown(w().lblTimeIn));
    EXPECT_EQ(w().lblTimeIn->text(), "7:30:00 AM");
    EXPECT_EQ(w().lblTotalHours->text(), "Total Hours 15.46");
    EXPECT_TRUE(t.dialogs.texts().isEmpty());

    // Logging out and in again writes nothing and offers the same.
    t.click("cmdGo");
    EXPECT_FALSE(shown(w().lblIn));
    EXPECT_FALSE(shown(w().lblDateIn));
    EXPECT_FALSE(shown(w().lblTimeIn));
    t.logIn(QStringLiteral("Ann Able"), QStringLiteral("Secret"));
    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
    EXPECT_EQ(timeRows(), 3);
}

TEST_F(LogInTest, OnlyAnOpenWorkedNewestRecordOfThePeriodOffersClockOut)
{
    struct Case
    {
        const char* what;
        std::function<qint64(test::TestDb&)> arrange; // returns the row that must stay open, or 0
    };
    const std::vector<Case> cases = {
        {"vacation today",
         [](test::TestDb& db) {
             db.addTime(7, dec(4), hm(8, 0), std::nullopt, 8, Value::text(QStringLiteral("Vacation")));
             return qint64{0};
         }},
        {"closed today",
         [](test::TestDb& db) {
             db.addTime(7, dec(4), hm(6, 0), hm(8, 0), 2);
             return qint64{0};
         }},
        {"open 15 days ago, outside the period",
         [](test::TestDb& db) { return db.addTime(7, dates::serial(2026, 11, 19), hm(8, 0)); }},
        // The period ends today, so a record dated later never reaches the
        // decision (whose "leave the button alone" row the core test covers).
        {"open tomorrow, outside the period",
         [](test::TestDb& db) { return db.addTime(7, dec(5), hm(8, 0)); }},
        {"open behind a newer closed record",
         [](test::TestDb& db) {
             const qint64 open = db.addTime(7, dec(2), hm(8, 0));
             db.addTime(7, dec(3), hm(8, 0), hm(9, 0), 1);
             return open;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowTest each;
        each.db.addEmployee(7, QStringLiteral("Ann Able"), QStringLiteral("Secret"));
        const qint64 open = c.arrange(each.db);
        each.start();
        each.logIn(QStringLiteral("Ann Able"), QStringLiteral("Secret"));
        EXPECT_EQ(each.window().cmdTimeLog->caption(), "Clock IN");
        EXPECT_TRUE(shown(each.window().cmdTimeLog));
        EXPECT_TRUE(each.dialogs.texts().isEmpty());
        if (open != 0) {
            EXPECT_TRUE(
                each.db.scalar(QStringLiteral("SELECT TimeOut FROM \"Time\" WHERE TimeID = %1").arg(open))
                    .isNull());
        }
    }
}

TEST_F(LogInTest, AnUnknownCaptionDoesNothing)
{
    t.start();
    ASSERT_TRUE(w().tdbPersonnel->selectName(QStringLiteral("Ann Able")));
    w().tdbPassword->setText(QStringLiteral("Secret"));
    w().cmdGo->setCaption(QStringLiteral("Log in"));
    t.click("cmdGo");

    EXPECT_TRUE(t.dialogs.texts().isEmpty());
    EXPECT_EQ(w().cmdGo->caption(), "Log in");
    EXPECT_EQ(w().tdbPassword->text(), "Secret");
    EXPECT_FALSE(w().tdbPersonnel->locked());
    EXPECT_FALSE(shown(w().cmdReview));
}

} // namespace
