#include "login/offline.h"
#include "store/engine.h"
#include "store/session.h"
#include "support/accessible.h"
#include "support/smtpserver.h"
#include "support/window.h"
#include "timekeeping/alertoutbox.h"
#include "ui/timeclockcontrols.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/namelist.h"
#include "ui/widgets/qtdialogs.h"
#include "ui/widgets/timegrid.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <optional>

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
    EXPECT_TRUE(t.find<QLineEdit>(controls::Password)->text().isEmpty());
    EXPECT_EQ(t.buttons(), QStringList({"Log In", "", ""}));

    t.logInAnn();
    EXPECT_EQ(t.buttons(), QStringList({"Log Out", "Clock IN", "View My Time"}));
    EXPECT_TRUE(t.find<NameList>(controls::NameList)->locked());
    QTest::keyClick(t.find(controls::Password), Qt::Key_Return);
    EXPECT_EQ(t.buttons(), QStringList({"Log In", "", ""}));
    EXPECT_FALSE(t.find<NameList>(controls::NameList)->locked());
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
        w.click(controls::ReviewButton);
        w.scripted.answerInput(QString::fromLatin1(from));
        w.scripted.answerInput(
            QString::fromLatin1(from).replace("/10/", "/20/").replace("/1/2020", "/2/2020"));
        w.click(controls::RangeBox);
        w.click(controls::ClockButton);
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
    t.click(controls::ReviewButton);
    t.scripted.answerInput(QStringLiteral("11/1/2026"));
    t.scripted.answerInput(QStringLiteral("11/30/2026"));
    t.click(controls::RangeBox);
    t.setNow(dec(5) + hm(0, 0, 1), false);
    t.click(controls::ClockButton);
    EXPECT_EQ(t.text(controls::DateLabel), Saturday);
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Saturday, "12:00:01 AM", "", "", ""}));
    EXPECT_EQ(t.db.timeRows().back().tdate.toDouble(), dec(5));
}

// At 0:00:00, before the timer shows the new day, a shift left open
// yesterday is closed at midnight and today's is opened, dated today.
// An alert left pending when a window closed is sent by the next window's
// first tick, silently and once.
TEST_F(Window, APendingAlertIsSentAtTheNextStart)
{
    SmtpServer server;
    const quint16 port = server.serve();
    ASSERT_NE(port, 0);
    t.db.setSetting("smtpserver", Value::text(QStringLiteral("127.0.0.1:%1").arg(port)));
    t.db.setSetting("smtpusername", Value::text(QString::fromLatin1(SmtpServer::User)));
    t.db.setSetting("smtppassword", Value::text(QString::fromLatin1(SmtpServer::Password)));
    t.db.setSetting("smtpemail", Value::text(QStringLiteral("admin@pelmar.example")));
    {
        const auto db = Database::open(t.db.path());
        Transaction transaction(*db);
        outbox::enqueue(*db, Ann, 1, "Ann Able", Value::date(dec(3)), t.clock.now() - 1);
        transaction.commit();
    }
    t.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.received().empty(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return t.db.scalar("SELECT State FROM AlertOutbox").toTextOrEmpty() == outbox::Sent; }, 5000));
    t.setNow(t.clock.now() + 120.0 / 86400);
    QTest::qWait(200);
    EXPECT_EQ(server.received().size(), 1u);
    EXPECT_TRUE(t.scripted.texts().isEmpty()) << t.scripted.texts().join('|').toStdString();
}

// The face behind the labels tells their time, and moves with the minute.
TEST_F(Window, TheClockFaceShowsTheTime)
{
    t.clock.set(dec(4) + hm(23, 45, 10));
    t.start();
    auto* face = t.find<QLabel>(controls::Background);
    const auto drawnAt = [&](int minute) {
        return face->pixmap().toImage() == artwork::background(face->size(), minute).toImage();
    };
    EXPECT_TRUE(drawnAt(23 * 60 + 45));
    EXPECT_FALSE(drawnAt(10 * 60 + 10));
    t.setNow(dec(4) + hm(23, 46));
    EXPECT_TRUE(drawnAt(23 * 60 + 46));
}

TEST_F(Window, RepairAtTheStrokeOfMidnight)
{
    t.db.addTime(7, dec(4), hm(9, 0));
    t.clock.set(dec(4) + hm(23, 59, 59));
    t.start();
    t.setNow(dec(5), false);
    // Behind each box, the screen as it stood before the repair: the boxes
    // come first, as the repair's own steps do.
    QStringList behind;
    t.scripted.onMessage = [&](const QString&) { behind << t.buttons()[1] + "|" + t.clockLines()[2]; };
    t.logInAnn();
    t.scripted.onMessage = nullptr;
    EXPECT_EQ(behind, QStringList({"|", "|"}));
    EXPECT_EQ(
        t.scripted.texts(),
        QStringList({WindowTest::AlertAttempt,
                     "You were automatically clocked out at midnight, and clocked back in at 12:00 am. If "
                     "this isn't appropriate, notify the administrator"}));
    const auto rows = t.db.timeRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].hours, Value::number(15));
    EXPECT_EQ(rows[1].tdate.toDouble(), dec(5));
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Saturday, "12:00:00 AM", "", "", ""}));
    EXPECT_EQ(t.buttons()[1], "Clock OUT");

    // Clocking out half a minute later, still before a tick: date and time agree.
    t.setNow(dec(5) + hm(0, 0, 30), false);
    t.click(controls::ClockButton);
    EXPECT_EQ(t.clockLines().mid(3), QStringList({"You Clocked out:", Saturday, "12:00:30 AM"}));
}

// Two terminals offer the same clock action; the one that clicks second
// writes nothing, says so and shows what the other one wrote.
TEST_F(Window, AStaleTerminalWritesNothing)
{
    const qint64 earlier = t.db.addTime(7, dec(3), hm(8, 0), hm(16, 0), 8);
    t.clock.set(dec(4) + hm(7, 55));
    t.start();
    ScriptedDialogs otherDialogs;
    ManualClock otherClock(dec(4) + hm(8, 0));
    TimeClockWindow other(otherDialogs, otherClock, t.programDir.path());
    other.start();
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    const auto logInBoth = [&] {
        logIn(other, QStringLiteral("Ann Able"), QStringLiteral("pw"));
        t.logInAnn();
    };
    logInBoth();
    EXPECT_EQ(caption(other, controls::ClockButton), "Clock IN");
    EXPECT_EQ(t.buttons()[1], "Clock IN");

    click(other, controls::ClockButton);
    t.setNow(dec(4) + hm(8, 5));
    t.click(controls::ClockButton);
    EXPECT_EQ(t.scripted.texts(),
              QStringList{"You are already clocked in since 8:00:00 AM. Nothing was changed."});
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Friday, "8:00:00 AM", "", "", ""}));
    EXPECT_EQ(t.buttons()[1], QString());
    EXPECT_EQ(t.db.timeRows().size(), 2u);

    t.scripted.messages.clear();
    click(other, controls::GoButton);
    t.click(controls::GoButton);
    logInBoth();
    EXPECT_EQ(t.buttons()[1], "Clock OUT");
    otherClock.set(dec(4) + hm(17, 0));
    click(other, controls::ClockButton);
    t.click(controls::ClockButton);
    EXPECT_EQ(t.scripted.texts(),
              QStringList{"This shift was already clocked out at 5:00:00 PM. Nothing was changed."});
    EXPECT_EQ(t.db.scalar(QStringLiteral("SELECT Thours FROM [Time] WHERE TimeID = %1").arg(earlier + 1)),
              Value::number(9));
    EXPECT_EQ(t.clockLines().mid(3), QStringList({"You Clocked out:", Friday, "5:00:00 PM"}));
    EXPECT_EQ(t.buttons()[1], QString());
}

// Makes the time sheet's reads fail: every row of the time records view
// raises an error, but the one the last write touched, so that an action's
// own read-back inside its transaction passes and the reload after its
// commit fails. arm() makes every read of a row fail.
class FailingSheetReads
{
public:
    explicit FailingSheetReads(TestDb& db) : m_db(db)
    {
        db.exec("CREATE TABLE Trap (Changed INTEGER)");
        db.exec("INSERT INTO Trap VALUES (NULL)");
        db.exec("DROP VIEW qslTime");
        db.exec("CREATE VIEW qslTime AS SELECT TimeID, PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type, "
                "CASE WHEN TimeID <> (SELECT Changed FROM Trap) THEN json('{' || TimeID) END AS Trap "
                "FROM \"Time\"");
        for (const char* write : {"INSERT", "UPDATE"})
            db.exec(QStringLiteral("CREATE TRIGGER Trap%1 AFTER %1 ON \"Time\" BEGIN "
                                   "UPDATE Trap SET Changed = NEW.TimeID; END")
                        .arg(QLatin1String(write)));
    }
    void arm() { m_db.exec("UPDATE Trap SET Changed = -1"); }
    void disarm() { m_db.exec("UPDATE Trap SET Changed = NULL"); }

private:
    TestDb& m_db;
};

// The one error report of a failed read, and nothing else.
void expectOneError(ScriptedDialogs& dialogs, const QStringList& before = {})
{
    const QStringList texts = dialogs.texts();
    ASSERT_EQ(texts.size(), before.size() + 1) << texts.join('|').toStdString();
    EXPECT_EQ(texts.mid(0, before.size()), before);
    EXPECT_TRUE(texts.back().startsWith("Error:")) << texts.back().toStdString();
    dialogs.messages.clear();
}

// Once a write has committed, the window shows what it wrote and sends the
// alert it made due, whatever the reload after it does.
TEST_F(Window, ACommittedWriteIsShownWhenTheReadAfterItFails)
{
    if (t.db.onServer())
        GTEST_SKIP() << "the failing reads are the file's";
    t.db.addTime(7, dec(0), hm(8, 0), hm(9, 0), 1);
    t.db.addTime(7, dec(1), hm(22, 0));
    FailingSheetReads reads(t.db);
    t.start();
    t.logInAnn();
    expectOneError(t.scripted, {"You were not logged out correctly on 12/1/2026.  You were automatically "
                                "clocked out at midnight.\rPlease contact the administrator to correct your "
                                "time records",
                                WindowTest::AlertAttempt});
    EXPECT_EQ(t.buttons(), QStringList({"Log Out", "Clock IN", "View My Time"}));

    reads.disarm();
    t.setNow(dec(4) + hm(8, 0));
    t.click(controls::ClockButton);
    expectOneError(t.scripted);
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Friday, "8:00:00 AM", "", "", ""}));
    EXPECT_EQ(t.buttons()[1], QString());

    t.click(controls::GoButton);
    reads.disarm();
    t.setNow(dec(4) + hm(20, 30));
    t.logInAnn();
    t.click(controls::ClockButton);
    expectOneError(t.scripted, {WindowTest::AlertAttempt});
    EXPECT_EQ(t.clockLines().mid(3), QStringList({"You Clocked out:", Friday, "8:30:00 PM"}));
    EXPECT_EQ(t.db.timeRows().size(), 3u);
}

// The file's folder goes away mid-shift and comes back: Ann's clock-out is
// kept on the terminal, shown as saved, and written back at its own time
// once the folder is there again; someone the terminal never saw is told why
// they can't log in.
TEST_F(Window, AnOutageKeepsThePunchOnTheTerminalUntilTheDatabaseIsBack)
{
    if (t.db.onServer())
        GTEST_SKIP() << "the outage here is the file's folder going away";
    t.db.addEmployee(8, QStringLiteral("Bob Best"), QStringLiteral("pw"));
    t.offlineDays = 14;
    t.start();
    t.logInAnn();
    t.click(controls::ClockButton);
    t.click(controls::GoButton);
    Journal journal(Journal::pathFor(t.db.path()), 14);
    QTRY_VERIFY(journal.known(AnnId).has_value());

    const QString folder = t.db.folder();
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral("-away")));
    t.setNow(dec(4) + hm(17, 0));
    t.logInAnn();
    EXPECT_EQ(t.scripted.texts(), QStringList());
    EXPECT_EQ(t.buttons()[1], QStringLiteral("Clock OUT"));
    t.click(controls::ClockButton);
    EXPECT_EQ(t.scripted.texts(), QStringList{offline::savedMessage(dec(4) + hm(17, 0))});
    EXPECT_EQ(t.clockLines().mid(3), QStringList({"You Clocked out:", Friday, "5:00:00 PM"}));
    auto* mark = t.find<QLabel>("lblOffline");
    ASSERT_TRUE(mark);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(mark->text(), QStringLiteral("offline: 1 punches kept on this terminal"));
    t.scripted.clear();
    t.click(controls::GoButton);
    t.logIn(QStringLiteral("Bob Best"), QStringLiteral("pw"));
    const QStringList refused = t.scripted.texts();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused[0].startsWith(QStringLiteral("The database is out of reach (Error 3044: ")))
        << refused[0].toStdString();
    t.scripted.clear();

    ASSERT_TRUE(QDir().rename(folder + QStringLiteral("-away"), folder));
    t.setNow(dec(4) + hm(17, 1));
    EXPECT_FALSE(mark->isVisible());
    EXPECT_EQ(journal.size(), 0);
    const auto rows = t.db.timeRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].timeOut.toDouble(), hm(17, 0));
    EXPECT_EQ(t.scripted.texts(), QStringList());
}

// Each action that changes the look finishes it when a read inside fails,
// and the default range comes back after the sheet closes or the employee
// logs out.
TEST_F(Window, EveryActionEndsInItsOwnLookWhenAReadFails)
{
    if (t.db.onServer())
        GTEST_SKIP() << "the failing reads are the file's";
    t.db.addTime(7, dec(4) - 20, hm(8, 0), hm(10, 0), 2);
    t.db.addTime(7, dec(3), hm(8, 0), hm(12, 0), 4);
    FailingSheetReads reads(t.db);
    t.start();
    t.logInAnn();
    t.click(controls::ReviewButton);
    auto* box = t.find<QCheckBox>(controls::RangeBox);
    const auto typeNovember = [&] {
        t.scripted.answerInput(QStringLiteral("11/1/2026"));
        t.scripted.answerInput(QStringLiteral("12/3/2026"));
        t.click(controls::RangeBox);
    };

    reads.arm();
    typeNovember();
    expectOneError(t.scripted);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(t.text(controls::TotalHours), "Total Hours 4.");

    reads.disarm();
    typeNovember();
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(t.text(controls::TotalHours), "Total Hours 6.");
    reads.arm();
    t.click(controls::ReviewButton);
    expectOneError(t.scripted);
    EXPECT_EQ(t.buttons()[2], "View My Time");
    EXPECT_FALSE(t.find<TimeGrid>(controls::TimeSheet)->isVisible());

    reads.disarm();
    t.click(controls::ReviewButton);
    EXPECT_EQ(t.buttons()[2], "Hide My Time");
    EXPECT_EQ(t.text(controls::TotalHours), "Total Hours 4.");
    typeNovember();
    reads.arm();
    t.click(controls::GoButton);
    expectOneError(t.scripted);
    EXPECT_EQ(t.buttons(), QStringList({"Log In", "", ""}));
    EXPECT_FALSE(t.find<NameList>(controls::NameList)->locked());

    reads.disarm();
    t.logInAnn();
    t.click(controls::ReviewButton);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(t.text(controls::TotalHours), "Total Hours 4.");
    EXPECT_TRUE(t.scripted.texts().isEmpty());
}

// A shift opened today without a clock-in time is offered, shown and closed
// like any other, without hours and so without an alert.
TEST_F(Window, AShiftWithoutAClockInTimeCanBeClosed)
{
    const qint64 shift = t.db.addTime(7, dec(4), std::nullopt);
    t.clock.set(dec(4) + hm(23, 0));
    t.start();
    t.logInAnn();
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Friday, "", "", "", ""}));
    t.click(controls::ClockButton);
    EXPECT_TRUE(t.scripted.texts().isEmpty()) << t.scripted.texts().join('|').toStdString();
    EXPECT_EQ(t.clockLines().mid(3), QStringList({"You Clocked out:", Friday, "11:00:00 PM"}));
    EXPECT_TRUE(
        t.db.scalar(QStringLiteral("SELECT Thours FROM [Time] WHERE TimeID = %1").arg(shift)).isNull());
}

// The staff the terminal shows and checks is the database's at each use, not
// the list read at start-up.
TEST_F(Window, TheStaffIsReadAtEveryUse)
{
    t.db.addEmployee(8, QStringLiteral("Cid Cole"), QStringLiteral("cc"));
    t.start();
    auto* list = t.find<NameList>(controls::NameList);
    const auto names = [list] {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i);
        return out;
    };
    t.db.exec("UPDATE Personnel SET Password = 'new' WHERE EmployeeID = 7");
    t.db.exec("UPDATE Personnel SET TerminationDate = 46359 WHERE EmployeeID = 8");
    t.db.addEmployee(9, QStringLiteral("Bob Best"), QStringLiteral("bb"));
    QTest::mouseClick(list, Qt::LeftButton);
    list->hidePopup();
    EXPECT_EQ(names(), QStringList({"Ann Able", "Bob Best"}));

    // Still listed, but gone since the list was read.
    t.db.exec("UPDATE Personnel SET TerminationDate = 46359 WHERE EmployeeID = 9");
    t.logIn(QStringLiteral("Bob Best"), QStringLiteral("bb"));
    t.logInAnn();
    EXPECT_EQ(t.scripted.texts(),
              QStringList({"Your name is no longer on the staff list. Please see the administrator.",
                           "That Password is Incorrect."}));
    EXPECT_EQ(t.buttons()[0], "Log In");
    t.logIn(QStringLiteral("Ann Able"), QStringLiteral("new"));
    EXPECT_EQ(t.buttons()[0], "Log Out");

    t.db.addEmployee(10, QStringLiteral("Dee Dunn"), QStringLiteral("dd"));
    t.click(controls::GoButton);
    EXPECT_EQ(names(), QStringList({"Ann Able", "Dee Dunn"}));
    EXPECT_EQ(list->currentText(), "Ann Able");
    EXPECT_TRUE(t.db.timeRows().empty());
}

// Where-is and log-in, with nobody picked, ask for a name in the same words.
TEST_F(Window, WhereIsWithNobodyPickedLooksNothingUp)
{
    t.start();
    t.click(controls::WhereIsButton);
    t.click(controls::GoButton);
    ASSERT_EQ(t.scripted.messages.size(), 2u);
    for (const auto& message : t.scripted.messages) {
        EXPECT_EQ(message.text, "Select a name in the list first.");
        EXPECT_EQ(message.icon, Dialogs::Icon::Information);
    }
    EXPECT_EQ(caption(t.window(), controls::GoButton), "Log In");
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
    w.click(controls::ReviewButton);
    auto* box = w.find<QCheckBox>(controls::RangeBox);
    auto* grid = w.find<TimeGrid>(controls::TimeSheet);
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
    w.click(controls::RangeBox);
    EXPECT_FALSE(box->isChecked());
    whenModal(type(QString()));
    w.click(controls::RangeBox);
    EXPECT_FALSE(box->isChecked());
    whenModal([&](QWidget* d) {
        whenModal(type(QStringLiteral("11/20/2026")));
        type(QStringLiteral("11/1/2026"))(d);
    });
    w.click(controls::RangeBox);
    EXPECT_EQ(seen, QStringList({"Enter From:", "Entry is not a valid date",
                                 "Enter From:", "Enter From:", "Enter To:"}));
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(w.text(controls::TotalHours), "Total Hours 8.");

    // Unticked by the user: the default range again.
    w.click(controls::RangeBox);
    EXPECT_EQ(w.text(controls::TotalHours), "Total Hours 4.");
}

// A slow database never freezes the window: while a clock-in waits for the
// write lock that another terminal holds, the clock keeps ticking and
// clicks go nowhere; the record is of the moment clicked.
TEST_F(Window, TheClockTicksWhileAnActionWaitsForTheDatabase)
{
    if (!t.db.onServer())
        GTEST_SKIP() << "a file on a local disk is asked on the window's thread: its waits end with its "
                        "busy timeout";
    t.start();
    t.logInAnn();
    ASSERT_EQ(t.buttons(), QStringList({"Log Out", "Clock IN", "View My Time"}));
    Database other(sql::Session::openPrivate(t.db.path()));
    std::optional<Transaction> otherTerminal;
    otherTerminal.emplace(other);

    // Runs from the event loop while the click is being handled.
    auto* time = t.find<QLabel>(controls::TimeLabel);
    bool clickReturned = false, advanced = false;
    QStringList shownDuringTheWait;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (clickReturned)
            return;
        if (!advanced) {
            advanced = true;
            t.clock.advanceSeconds(5);
            QTest::mouseClick(t.find<QWidget>(controls::ClockButton), Qt::LeftButton);
            QTest::mouseClick(t.find<QWidget>(controls::GoButton), Qt::LeftButton);
            return;
        }
        // The window's own timer shows the new time.
        if (time->text() == "9:00:05 AM") {
            shownDuringTheWait << time->text();
            poll.stop();
            otherTerminal.reset(); // lets go, having written nothing
        }
    });
    poll.start();
    t.click(controls::ClockButton);
    clickReturned = true;
    poll.stop();

    EXPECT_EQ(shownDuringTheWait, QStringList{"9:00:05 AM"});
    EXPECT_TRUE(t.scripted.texts().isEmpty()) << t.scripted.texts().join('|').toStdString();
    EXPECT_EQ(t.buttons(), QStringList({"Log Out", "", "View My Time"}));
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Friday, "9:00:00 AM", "", "", ""}));
    ASSERT_EQ(t.db.timeRows().size(), 1u);
    EXPECT_TRUE(t.db.timeRows()[0].timeOut.isNull());
}

// A screen reader hears each control as what it is, named by its caption;
// a label by its own text, which no name hides.
TEST_F(Window, AScreenReaderHearsEachControlByItsNameAndRole)
{
    t.db.addTime(7, dec(3), hm(8, 0), hm(16, 0), 8);
    t.start();
    t.logInAnn();
    t.click(controls::ReviewButton);
    struct Row
    {
        const char* control;
        QAccessible::Role role;
        QString name;
    };
    const Row rows[] = {
        {controls::NameList, QAccessible::ComboBox, "Select Name:"},
        {controls::Password, QAccessible::EditableText, "Enter Password"},
        {controls::GoButton, QAccessible::PushButton, "Log Out"},
        {controls::WhereIsButton, QAccessible::PushButton, "Where Is?"},
        {controls::ReviewButton, QAccessible::PushButton, "Hide My Time"},
        {controls::ClockButton, QAccessible::PushButton, "Clock IN"},
        {controls::RangeBox, QAccessible::CheckBox, "Change the dates displayed"},
        {controls::TimeSheet, QAccessible::Table, "Time sheet"},
        {controls::NameCaption, QAccessible::StaticText, "Select Name:"},
        {controls::PasswordCaption, QAccessible::StaticText, "Enter Password"},
        {controls::DateLabel, QAccessible::StaticText, Friday},
        {controls::TimeLabel, QAccessible::StaticText, "9:00:00 AM"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.control);
        ASSERT_NE(t.find(row.control), nullptr);
        EXPECT_TRUE(t.find(row.control)->isVisible());
        const Heard h = heard(t.find(row.control));
        EXPECT_EQ(h.role, row.role);
        EXPECT_EQ(h.caption(), row.name);
    }
    // The name list says the name picked, under its caption.
    EXPECT_EQ(heard(t.find(controls::NameList)).name, "Ann Able");

    // The clock lines and the total, whatever they say, are heard as shown.
    t.click(controls::ClockButton);
    EXPECT_EQ(t.clockLines(), QStringList({"You Clocked in:", Friday, "9:00:00 AM", "", "", ""}));
    for (const char* name : {controls::InCaption, controls::InDate, controls::InTime, controls::TotalHours}) {
        SCOPED_TRACE(name);
        auto* label = t.find<QLabel>(name);
        EXPECT_TRUE(label->isVisible());
        EXPECT_FALSE(label->text().isEmpty());
        EXPECT_EQ(heard(label).spoken(), label->text());
    }
}

// Each row of the time sheet is announced by its date, each column by its caption.
TEST_F(Window, TheTimeSheetsRowsAndColumnsHaveHeadersAScreenReaderReads)
{
    t.db.addTime(7, dec(3), hm(8, 0), hm(16, 0), 8);
    t.start();
    t.logInAnn();
    t.click(controls::ReviewButton);
    auto* grid = t.find<TimeGrid>(controls::TimeSheet);
    ASSERT_GT(grid->rowCount(), 0);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    ASSERT_NE(iface, nullptr);
    QAccessibleTableInterface* table = iface->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(grid->cellText(0, 1).isEmpty());
    EXPECT_EQ(table->rowDescription(0), grid->cellText(0, 1));
    EXPECT_EQ(table->columnDescription(2), "Time In");
    QAccessibleInterface* cell = table->cellAt(0, 2);
    ASSERT_NE(cell, nullptr);
    ASSERT_NE(cell->tableCellInterface(), nullptr);
    const QList<QAccessibleInterface*> rowHeaders = cell->tableCellInterface()->rowHeaderCells();
    ASSERT_EQ(rowHeaders.size(), 1);
    EXPECT_EQ(rowHeaders[0]->text(QAccessible::Name), grid->cellText(0, 1));
    const QList<QAccessibleInterface*> columnHeaders = cell->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(columnHeaders.size(), 1);
    EXPECT_EQ(columnHeaders[0]->text(QAccessible::Name), "Time In");
}

// Tab walks the controls as the picture reads, left to right and down, and
// comes round to the name list again.
TEST_F(Window, TabMovesThroughTheControlsInReadingOrder)
{
    t.start();
    t.logInAnn();
    t.click(controls::ReviewButton);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.window()));
    QWidget* names = t.find(controls::NameList);
    QTest::mouseClick(names, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([names] { return names->hasFocus(); }));
    QStringList visited;
    for (int i = 0; i < 9; ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        visited << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, QStringList({controls::NameList, controls::Password, controls::GoButton,
                                    controls::WhereIsButton, controls::ReviewButton, controls::ClockButton,
                                    controls::RangeBox, controls::TimeSheet, controls::NameList}));
}

// Without a mouse: a name typed into the list, the password, Space on Log
// In, then Enter on Clock IN.
TEST_F(Window, LogsInAndClocksInWithTheKeyboardAlone)
{
    t.start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.window()));
    QWidget* names = t.find(controls::NameList);
    QTest::mouseClick(t.find(controls::Password), Qt::LeftButton);
    QTest::keyClick(t.find(controls::Password), Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(names->hasFocus());
    QTest::keyClicks(names, "Ann");
    EXPECT_EQ(t.find<NameList>(controls::NameList)->currentText(), "Ann Able");
    const auto tab = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); };
    tab();
    QTest::keyClicks(QApplication::focusWidget(), "pw");
    tab();
    ASSERT_EQ(QApplication::focusWidget(), t.find(controls::GoButton));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(t.buttons(), QStringList({"Log Out", "Clock IN", "View My Time"}));
    QWidget* clockButton = t.find(controls::ClockButton);
    while (QApplication::focusWidget() != clockButton && QApplication::focusWidget() != names)
        tab();
    ASSERT_EQ(QApplication::focusWidget(), clockButton);
    QTest::keyClick(clockButton, Qt::Key_Return);
    QTRY_COMPARE(t.clockLines(), QStringList({"You Clocked in:", Friday, "9:00:00 AM", "", "", ""}));
    EXPECT_TRUE(t.scripted.texts().isEmpty()) << t.scripted.texts().join('|').toStdString();
}

} // namespace
} // namespace pelmar::test
