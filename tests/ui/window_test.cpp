#include "support/window.h"
#include "ui/widgets/namelist.h"
#include "ui/widgets/qtdialogs.h"
#include "ui/widgets/timegrid.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

namespace pelmar::test {
namespace {

const QString Friday = QStringLiteral("Friday, December 04, 2026");
const QString Saturday = QStringLiteral("Saturday, December 05, 2026");

// Ann Able at the clock, alerts over 10 hours counted as failing attempts.
class Window : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addAnn();
        t.failingAlerts(10);
    }
    WindowTest t;
};

TEST_F(Window, LogsInAndOutWithTheKeyboardAndRefusesAWrongPassword)
{
    t.start();
    EXPECT_EQ(t.buttons(), QStringList({"Log In", "", ""}));
    t.logIn(QStringLiteral("Ann Able"), QStringLiteral("PW"));
    EXPECT_EQ(t.scripted.texts(), QStringList{"That Password is Incorrect."});
    EXPECT_TRUE(t.find<QLineEdit>("tdbPassword")->text().isEmpty());
    EXPECT_EQ(t.buttons(), QStringList({"Log In", "", ""}));

    t.logInAnn();
    EXPECT_EQ(t.buttons(), QStringList({"Log Out", "Clock IN", "View My Time"}));
    EXPECT_TRUE(t.find<NameList>("tdbPersonnel")->locked());
    QTest::keyClick(t.find("tdbPassword"), Qt::Key_Return);
    EXPECT_EQ(t.buttons(), QStringList({"Log In", "", ""}));
    EXPECT_FALSE(t.find<NameList>("tdbPersonnel")->locked());
}

// Clock OUT closes the shift that log-in found open, by its key, whatever
// range the sheet shows, and shows the record it wrote.
TEST_F(Window, ClockOutClosesTheShiftFoundAtLogInWhateverTheSheetShows)
{
    for (const char* from : {"11/10/2026", "1/1/2020"}) {
        WindowTest w;
        w.addAnn();
        const qint64 older = w.db.addTime(7, dec(4) - 20, hm(8, 0));
        const qint64 today = w.db.addTime(7, dec(4), hm(8, 0));
        w.clock.set(dec(4) + hm(16, 0));
        w.start();
        w.logInAnn();
        w.click("cmdReview");
        w.scripted.answerInput(QString::fromLatin1(from));
        w.scripted.answerInput(
            QString::fromLatin1(from).replace("/10/", "/20/").replace("/1/2020", "/2/2020"));
        w.click("chkLimit");
        w.click("cmdTimeLog");
        EXPECT_TRUE(w.scripted.texts().isEmpty()) << w.scripted.texts().join('|').toStdString();
        EXPECT_EQ(w.db.scalar(QStringLiteral("SELECT Thours FROM [Time] WHERE TimeID = %1").arg(today)),
                  Value::number(8));
        EXPECT_TRUE(
            w.db.scalar(QStringLiteral("SELECT TimeOut FROM [Time] WHERE TimeID = %1").arg(older)).isNull());
        EXPECT_EQ(w.clockLines(), QStringList({"You Clocked in:", Friday, "8:00:00 AM",
                                               "You Clocked out:", Friday, "4:00:00 PM"}));
    }
}

// The labels show the record just written, under a typed range and across
// midnight before the timer has ticked: one reading of the clock serves the
// labels and the record.
TEST_F(Window, ClockInShowsTheRecordJustWritten)
{
    t.db.addTime(7, dec(4) - 20, hm(7, 0), hm(15, 0), 8);
    t.clock.set(dec(4) + hm(23, 59, 59));
    t.start();
    t.logInAnn();
    t.click("cmdReview");
    t.scripted.answerInput(QStringLiteral("11/1/2026"));
    t.scripted.answerInput(QStringLiteral("11/30/2026"));
    t.click("chkLimit");
    t.setNow(dec(5) + hm(0, 0, 1), false);
    t.click("cmdTimeLog");
    EXPECT_EQ(t.text("lblDate"), Saturday);
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Saturday, "12:00:01 AM", "", "", ""}));
    EXPECT_EQ(t.db.timeRows().back().tdate.toDouble(), dec(5));
}

// At 0:00:00, before the timer shows the new day, a shift left open
// yesterday is closed at midnight and today's is opened, dated today.
TEST_F(Window, RepairAtTheStrokeOfMidnight)
{
    t.db.addTime(7, dec(4), hm(9, 0));
    t.clock.set(dec(4) + hm(23, 59, 59));
    t.start();
    t.setNow(dec(5), false);
    t.logInAnn();
    EXPECT_EQ(
        t.scripted.texts(),
        QStringList({WindowTest::AlertAttempt,
                     "You were automatically clocked out at midnight, and clocked back in at 12:01 am. If "
                     "this isn't appropriate, notify the administrator"}));
    const auto rows = t.db.timeRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].hours, Value::number(15));
    EXPECT_EQ(rows[1].tdate.toDouble(), dec(5));
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Saturday, "12:01:00 AM", "", "", ""}));
    EXPECT_EQ(t.buttons()[1], "Clock OUT");

    // Clocking out half a minute later, still before a tick: date and time agree.
    t.setNow(dec(5) + hm(0, 0, 30), false);
    t.click("cmdTimeLog");
    EXPECT_EQ(t.clockLines().mid(3), QStringList({"You Clocked out:", Saturday, "12:00:30 AM"}));
}

// Two terminals show the same open shift; the second one's clock-out, after
// the first closed it, writes nothing and says so.
TEST_F(Window, AStaleTerminalDoesNotOverwriteAClosedShift)
{
    const qint64 shift = t.db.addTime(7, dec(4), hm(8, 0));
    t.clock.set(dec(4) + hm(16, 0));
    t.start();
    ScriptedDialogs otherDialogs;
    ManualClock otherClock(dec(4) + hm(16, 0));
    TimeClockWindow other(otherDialogs, otherClock, t.appDir.path());
    other.start();
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    logIn(other, QStringLiteral("Ann Able"), QStringLiteral("pw"));
    t.logInAnn();

    otherClock.set(dec(4) + hm(17, 0));
    click(other, "cmdTimeLog");
    t.click("cmdTimeLog");
    EXPECT_EQ(t.scripted.texts(),
              QStringList{"This shift was already clocked out at 5:00:00 PM. Nothing was changed."});
    EXPECT_EQ(t.db.scalar(QStringLiteral("SELECT Thours FROM [Time] WHERE TimeID = %1").arg(shift)),
              Value::number(9));
    EXPECT_EQ(t.clockLines().mid(3), QStringList({"You Clocked out:", Friday, "5:00:00 PM"}));
    EXPECT_EQ(t.buttons()[1], QString());
}

TEST_F(Window, WhereIsWithNobodyPickedLooksNothingUp)
{
    t.start();
    t.click("cmdWhereIs");
    ASSERT_EQ(t.scripted.messages.size(), 1u);
    EXPECT_EQ(t.scripted.messages[0].text, "Select a name in the list first.");
    EXPECT_EQ(t.scripted.messages[0].icon, Dialogs::Icon::Information);
}

// The range box asks again after a refused entry, with Qt's own boxes
// answered as the user answers them and the box ticked by a real click.
TEST_F(Window, RangeBoxKeepsAskingAfterARefusedEntry)
{
    QtDialogs dialogs;
    WindowTest w(&dialogs);
    w.addAnn();
    w.db.addTime(7, dec(4) - 20, hm(8, 0), hm(16, 0), 8);
    w.db.addTime(7, dec(4) - 1, hm(8, 0), hm(12, 0), 4);
    w.start();
    dialogs.setOwner(&w.window());
    w.logInAnn();
    w.click("cmdReview");
    auto* box = w.find<QCheckBox>("chkLimit");
    auto* grid = w.find<TimeGrid>("tdgTimeWorked");
    EXPECT_EQ(grid->rowCount(), 1);

    QStringList seen;
    const auto type = [&seen](QString text) {
        return [&seen, text](QWidget* dialog) {
            seen << dialog->windowTitle();
            if (text.isNull()) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            }
            QTest::keyClicks(dialog->findChild<QLineEdit*>(), text);
            QTest::keyClick(dialog, Qt::Key_Return);
        };
    };
    const auto ok = [&seen](QWidget* message) {
        seen << static_cast<QMessageBox*>(message)->text();
        QTest::keyClick(message, Qt::Key_Return);
    };

    // A date that isn't one: told, unticked, and asked again at the next tick.
    whenModal([&](QWidget* d) {
        whenModal(ok);
        type(QStringLiteral("31/31/2026"))(d);
    });
    w.click("chkLimit");
    EXPECT_FALSE(box->isChecked());
    whenModal(type(QString()));
    w.click("chkLimit");
    EXPECT_FALSE(box->isChecked());
    whenModal([&](QWidget* d) {
        whenModal(type(QStringLiteral("11/20/2026")));
        type(QStringLiteral("11/1/2026"))(d);
    });
    w.click("chkLimit");
    EXPECT_EQ(seen, QStringList({"Enter From:", "Entry is not a valid date",
                                 "Enter From:", "Enter From:", "Enter To:"}));
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(w.text("lblTotalHours"), "Total Hours 8.");

    // Unticked by the user: the default range again.
    w.click("chkLimit");
    EXPECT_EQ(w.text("lblTotalHours"), "Total Hours 4.");
}

} // namespace
} // namespace pelmar::test
