#include "admin/absences.h"
#include "admin/records.h"
#include "admin/refusal.h"
#include "admin/settings.h"
#include "admin/staff.h"
#include "store/audit.h"
#include "store/engine.h"
#include "support/coretest.h"
#include "timekeeping/timeaudit.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace pelmar;
using test::dec;

namespace {

class StaffTest : public test::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        db.addEmployee(7, "Ann Lee", "pw");
        db.addEmployee(8, "Ben Ode", "pw", dec(1));
        database = Database::open(db.path());
    }
    // Every row the staff and settings actions may write.
    std::vector<sql::Row> contents()
    {
        auto rows = db.rows("SELECT * FROM Personnel ORDER BY EmployeeID");
        for (auto& r : db.rows("SELECT * FROM qslTime ORDER BY TimeID"))
            rows.push_back(r);
        for (auto& r : db.rows("SELECT * FROM CustomSettings"))
            rows.push_back(r);
        return rows;
    }

    std::unique_ptr<Database> database;
};

INSTANTIATE_TEST_SUITE_P(Engines, StaffTest, test::bothEngines(), test::engineName);

} // namespace

TEST_P(StaffTest, RefusalsWriteNothing)
{
    Database& d = *database;
    admin::Settings badHours = admin::readSettings(d);
    badHours.notifyHours = "ten";
    admin::Settings lineBreak = admin::readSettings(d);
    lineBreak.email = "a@b\nBcc: c@d";
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"There is no employee 9.", [&] { admin::rehire(d, 9); }},
        {"Employee 7 is not terminated; nothing was changed.", [&] { admin::rehire(d, 7); }},
        {"There is no employee 9.", [&] { admin::terminate(d, 9, dec(4)); }},
        {"Employee 7 already exists; nothing was changed.", [&] { admin::addEmployee(d, 7, "Ann", "x"); }},
        {"The full name is empty.", [&] { admin::addEmployee(d, 9, "  ", "x"); }},
        {"There is already a current employee named Ann Lee; nothing was changed.",
         [&] { admin::addEmployee(d, 9, "Ann Lee", "x"); }},
        {"The range holds no day from Monday to Friday.",
         [&] { admin::addAbsences(d, 7, admin::weekdays(dec(5), dec(6)), RecordType::Holiday); }},
        {"There is no employee 9.", [&] { admin::addAbsences(d, 9, {dec(4)}, RecordType::Holiday); }},
        {"WorkHoursNotify must be a number of hours, not 'ten'.", [&] { admin::saveSettings(d, badHours); }},
        {"A mail setting cannot hold a line break.", [&] { admin::saveSettings(d, lineBreak); }},
    };
    const auto before = contents();
    for (const auto& [message, action] : cases) {
        SCOPED_TRACE(message);
        try {
            action();
            ADD_FAILURE() << "not refused";
        } catch (const admin::Refusal& r) {
            EXPECT_EQ(r.description(), message);
        }
        EXPECT_EQ(contents(), before);
    }
}

// A name is taken while its holder is employed: hiring or rehiring a second
// current "Ann Lee" is refused, a former employee's name is free.
TEST_P(StaffTest, ACurrentEmployeesNameIsTaken)
{
    Database& d = *database;
    db.addEmployee(10, "Ann Lee", "pw", dec(1));
    try {
        admin::rehire(d, 10);
        ADD_FAILURE() << "rehired a second Ann Lee";
    } catch (const admin::Refusal& r) {
        EXPECT_EQ(r.description(), "There is already a current employee named Ann Lee; nothing was changed.");
    }
    admin::addEmployee(d, 11, "Ben Ode", "pw"); // 8 Ben Ode has left
    admin::addEmployee(d, 12, "ann lee", "pw"); // the same only when exactly the same
    EXPECT_THROW(admin::rehire(d, 8), admin::Refusal);
    admin::terminate(d, 7, dec(3));
    admin::rehire(d, 10);
    std::vector<qint64> current;
    for (const admin::Employee& e : admin::staff(d))
        if (e.terminated.isNull())
            current.push_back(e.id);
    EXPECT_EQ(current, (std::vector<qint64>{10, 11, 12}));
}

TEST_P(StaffTest, ChangesTheStaffAsAsked)
{
    Database& d = *database;
    admin::rehire(d, 8);
    admin::terminate(d, 7, dec(3));
    // Monday 30 November to Sunday 6 December: the five weekdays.
    admin::addAbsences(d, 8, admin::weekdays(dec(0), dec(6)), RecordType::SickLeave);
    admin::Settings s{"7.5", "mail.example.com:587", "clock", "s3cret", "boss@example.com"};
    admin::saveSettings(d, s);

    std::vector<std::pair<qint64, Value>> staff;
    for (const admin::Employee& e : admin::staff(d))
        staff.emplace_back(e.id, e.terminated);
    EXPECT_EQ(staff, (std::vector<std::pair<qint64, Value>>{{7, Value::date(dec(3))}, {8, Value::null()}}));
    EXPECT_EQ(
        db.scalar("SELECT COUNT(*) FROM qslTime WHERE PersonnelID = 8 AND Type = 'Sick Leave' AND Tdate "
                  "BETWEEN 46356 AND 46360")
            .toInteger(),
        5);
    const admin::Settings read = admin::readSettings(d);
    EXPECT_EQ(QStringList({read.notifyHours, read.server, read.user, read.email}),
              QStringList({"7.5", s.server, s.user, s.email}));
    EXPECT_EQ(read.password, std::nullopt) << "never read back";
    EXPECT_EQ(db.scalar("SELECT smtppassword FROM CustomSettings").toText(), "s3cret");

    // Left out, the saved password is kept.
    s.password.reset();
    s.user = "clock2";
    admin::saveSettings(d, s);
    EXPECT_EQ(db.scalar("SELECT smtppassword FROM CustomSettings").toText(), "s3cret");
    EXPECT_EQ(db.scalar("SELECT smtpusername FROM CustomSettings").toText(), "clock2");
}

// Without a typed password the test alert takes the saved one, read at the
// moment, and only to the saved server.
TEST_P(StaffTest, TheSavedMailPasswordGoesOnlyToTheSavedServer)
{
    Database& d = *database;
    admin::saveSettings(d, {"10", "mail.example.com:587", "clock", QString("s3cret"), "boss@example.com"});
    admin::Settings typed = admin::readSettings(d);
    const MailServer saved = admin::testAlert(d, typed).server;
    EXPECT_EQ(saved.address, "mail.example.com:587");
    EXPECT_EQ(saved.password, "s3cret");

    typed.server = "mail.attacker.test:587";
    try {
        admin::testAlert(d, typed);
        ADD_FAILURE() << "not refused";
    } catch (const admin::Refusal& r) {
        EXPECT_TRUE(r.description().contains("mail.attacker.test:587")) << r.description().toStdString();
    }

    typed.password = "typed-pw";
    const MailServer elsewhere = admin::testAlert(d, typed).server;
    EXPECT_EQ(elsewhere.address, "mail.attacker.test:587");
    EXPECT_EQ(elsewhere.password, "typed-pw");
}

// A day holds one absence or worked shifts, never both: the refusal names
// the record in the way, and nothing of the call is written.
TEST_P(StaffTest, AnAbsenceIsRefusedOnATakenDay)
{
    Database& d = *database;
    const QString vacation = QString::number(db.addTime(7, dec(2), {}, {}, {}, Value::text("Vacation")));
    const QString shift = QString::number(db.addTime(7, dec(3), test::hm(9, 0)));
    const QString typed = QString::number(db.addTime(7, dec(1), {}, {}, {}, Value::text("vacation")));
    const std::pair<QString, std::vector<double>> cases[] = {
        {"Ann Lee already has Vacation on 12/2/2026 (record " + vacation + "); nothing was changed.",
         {dec(2)}},
        {"Ann Lee has a shift on 12/3/2026 (record " + shift + "); nothing was changed.", {dec(3)}},
        {"Ann Lee already has vacation on 12/1/2026 (record " + typed + "); nothing was changed.", {dec(1)}},
        // The weekdays of a range: the first taken day refuses all of them.
        {"Ann Lee already has vacation on 12/1/2026 (record " + typed + "); nothing was changed.",
         admin::weekdays(dec(0), dec(4))},
    };
    const auto before = contents();
    for (const auto& [message, days] : cases) {
        SCOPED_TRACE(message.toStdString());
        try {
            admin::addAbsences(d, 7, days, RecordType::Holiday);
            ADD_FAILURE() << "not refused";
        } catch (const admin::Refusal& r) {
            EXPECT_EQ(r.description(), message);
        }
        EXPECT_EQ(contents(), before);
    }
    // A date given twice meets its own first absence.
    try {
        admin::addAbsences(d, 8, {dec(4), dec(4)}, RecordType::SickLeave);
        ADD_FAILURE() << "not refused";
    } catch (const admin::Refusal& r) {
        EXPECT_TRUE(r.description().startsWith("Ben Ode already has Sick Leave on 12/4/2026 (record "))
            << r.description().toStdString();
    }
    EXPECT_EQ(contents(), before);
}

TEST_P(StaffTest, AbsencesAreListedAndRemovedWithTheirTrail)
{
    Database& d = *database;
    admin::createAuditTrail(d);
    const qint64 shift = db.addTime(7, dec(3), test::hm(9, 0));
    admin::addAbsences(d, 7, {dec(1), dec(2)}, RecordType::Vacation);
    std::vector<std::pair<Value, Value>> listed;
    for (const TimeRecord& r : admin::absences(d, 7, dec(0), dec(6)))
        listed.emplace_back(r.tdate, r.type);
    const Value vacation = Value::text("Vacation");
    EXPECT_EQ(listed, (std::vector<std::pair<Value, Value>>{{Value::date(dec(2)), vacation},
                                                            {Value::date(dec(1)), vacation}}));

    const qint64 removed = admin::absences(d, 7, dec(2), dec(2)).front().id;
    EXPECT_EQ(admin::removeAbsence(d, removed, dec(4)).tdate, Value::date(dec(2)));
    EXPECT_EQ(admin::absences(d, 7, dec(0), dec(6)).size(), 1u);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM TimeAudit WHERE Action = 'absence removed' AND TimeID = " +
                        QString::number(removed))
                  .toInteger(),
              1);
    // Gone, or a shift: no absence to remove.
    for (const qint64 id : {removed, shift}) {
        try {
            admin::removeAbsence(d, id, dec(4));
            ADD_FAILURE() << id << " removed";
        } catch (const admin::Refusal& r) {
            EXPECT_EQ(r.description(), QString("There is no absence %1; nothing was changed.").arg(id));
        }
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM qslTime WHERE TimeID = " + QString::number(shift)).toInteger(),
              1);
}

// The check column of the records, decided in the core: the clock's
// midnight close first, then a shift open too long, then one just open.
TEST_P(StaffTest, EachRecordCarriesItsCheck)
{
    Database& d = *database;
    admin::createAuditTrail(d);
    db.setSetting("WorkHoursNotify", Value::number(10));
    const qint64 closed = db.addTime(7, dec(1), test::hm(9, 0), test::hm(23, 59, 59), 15);
    const qint64 worked = db.addTime(7, dec(2), test::hm(8, 0), test::hm(16, 0), 8);
    const qint64 overdue = db.addTime(7, dec(3), test::hm(9, 0));
    const qint64 open = db.addTime(7, dec(4), test::hm(8, 0));
    const qint64 vacation =
        db.addTime(7, dec(0), std::nullopt, std::nullopt, std::nullopt, Value::text("Vacation"));
    db.exec(QStringLiteral(
                "INSERT INTO TimeAudit (\"When\", Action, TimeID, EmployeeID) VALUES (%1, '%2', %3, 7)")
                .arg(QString::number(dec(2)), TimeAudit::ClosedAtMidnight, QString::number(closed)));
    std::map<qint64, admin::RecordCheck> checks;
    for (const admin::ListedRecord& l : admin::records(d, 7, dec(0), dec(4), dec(4) + test::hm(9, 0))) {
        checks[l.record.id] = l.check;
        EXPECT_EQ(l.overdueHours.has_value(), l.record.id == overdue) << l.record.id;
    }
    using C = admin::RecordCheck;
    EXPECT_EQ(checks, (std::map<qint64, C>{{closed, C::ClosedAtMidnight},
                                           {worked, C::None},
                                           {overdue, C::Overdue},
                                           {open, C::Open},
                                           {vacation, C::None}}));
}

// The audit's employee and action are picked by the query: a text with a
// quote is a value like any other.
TEST_P(StaffTest, TheAuditTrailIsFilteredByItsQuery)
{
    Database& d = *database;
    admin::createAuditTrail(d);
    admin::addAbsences(d, 7, {dec(1)}, RecordType::Vacation);
    admin::setPassword(d, 8, "new");
    admin::setPassword(d, 7, "new");
    const auto picked = [&](qint64 employee, const QString& action) {
        std::vector<std::pair<qint64, QString>> rows;
        // The test database's own staff may or may not have left rows.
        for (const audit::Row& r : admin::auditTrail(d, 0, 2958465, {employee, action}))
            if (r.action != audit::actions::EmployeeAdded)
                rows.emplace_back(r.employeeId.toInteger(), r.action);
        return rows;
    };
    using Rows = std::vector<std::pair<qint64, QString>>;
    const QString reset = audit::actions::PasswordReset;
    EXPECT_EQ(picked(0, {}), (Rows{{7, TimeAudit::AbsenceAdded}, {8, reset}, {7, reset}}));
    EXPECT_EQ(picked(7, {}), (Rows{{7, TimeAudit::AbsenceAdded}, {7, reset}}));
    EXPECT_EQ(picked(0, reset), (Rows{{8, reset}, {7, reset}}));
    EXPECT_EQ(picked(8, reset), (Rows{{8, reset}}));
    EXPECT_EQ(picked(0, "it's"), Rows{});
    for (const QString& action : admin::auditActions())
        EXPECT_FALSE(action.isEmpty());
}

// Both entries of a password must be the same; one message says so.
TEST(PasswordTest, TheTwoEntriesMustMatch)
{
    EXPECT_EQ(admin::confirmedPassword("s3cret", "s3cret"), "s3cret");
    EXPECT_EQ(admin::confirmedPassword("", ""), "");
    for (const auto& [typed, again] : {std::pair{"s3cret", "s3creT"}, std::pair{"s3cret", ""}}) {
        try {
            admin::confirmedPassword(typed, again);
            ADD_FAILURE() << typed << " / " << again;
        } catch (const admin::Refusal& r) {
            EXPECT_EQ(r.description(), "The two passwords differ; nothing was changed.");
        }
    }
}

// An open shift is flagged by the clock's own alert comparison: hours past
// the threshold, strictly.
TEST(OverdueTest, AnOpenShiftPastTheThresholdIsFlagged)
{
    const auto record = [](std::optional<double> out, const char* type) {
        TimeRecord r;
        r.tdate = Value::date(dec(3));
        r.timeIn = Value::date(test::hm(9, 0));
        r.timeOut = out ? Value::date(*out) : Value::null();
        r.type = Value::text(type);
        return r;
    };
    const double now = dec(4) + test::hm(9, 0); // 24 hours after the clock-in
    struct Case
    {
        TimeRecord record;
        float threshold;
        std::optional<double> hours;
    };
    const Case cases[] = {
        {record(std::nullopt, "Worked"), 10, 24},
        {record(std::nullopt, ""), 10, 24},
        {record(std::nullopt, "Worked"), 24, std::nullopt}, // exactly the threshold
        {record(test::hm(17, 0), "Worked"), 10, std::nullopt},
        {record(std::nullopt, "Vacation"), 10, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<double> hours = admin::overdueHours(c.record, now, c.threshold);
        ASSERT_EQ(hours.has_value(), c.hours.has_value()) << c.record.type.toTextOrEmpty().toStdString();
        if (hours) {
            EXPECT_NEAR(*hours, *c.hours, 1e-6);
        }
    }
}
