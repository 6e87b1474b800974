#include "login/login.h"

#include "platform/datetime.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "store/postgres.h"
#include "store/schema.h"
#include "store/serverrules.h"
#include "store/sqltexts.h"
#include "timekeeping/alertoutbox.h"
#include "timekeeping/hours.h"
#include "timekeeping/timeaudit.h"
#include "workplace/workplace.h"

#include <QCoreApplication>

namespace pelmar {

namespace {

constexpr double Midnight = 0;

QString reopenedMessage()
{
    return QCoreApplication::translate("pelmar::login",
                                       "You were automatically clocked out at midnight, and clocked back "
                                       "in at 12:00 am. If this isn't appropriate, notify the administrator");
}

QString notLoggedOutMessage(const TimeRecord& closed)
{
    return QCoreApplication::translate(
               "pelmar::login",
               "You were not logged out correctly on %1.  You were automatically clocked out "
               "at midnight.\rPlease contact the administrator to correct your "
               "time records")
        .arg(closed.tdate.toTextOrEmpty());
}

// The employee's row as it stands now; a refusal's text when they may not log in.
std::optional<Employee> admit(Database& db, const Value& employeeId, const QString& password,
                              QString& refusal)
{
    const auto row = db.openRecordset(sqltexts::employee(employeeId));
    if (row->recordCount() == 0) {
        refusal = notOnStaff();
        return std::nullopt;
    }
    // The password first, so that a name alone tells nobody who has left.
    // A server compares it itself and never hands it out.
    sql::PgSession* server = dynamic_cast<sql::PgSession*>(&db.session());
    const bool matches =
        server && server->hasServerRules()
            ? sql::passwordMatches(*server, row->field(cols::EmployeeID).toInteger(), password)
            : passwordMatches(row->field(cols::Password), password);
    if (!matches) {
        refusal = wrongPassword();
        return std::nullopt;
    }
    if (!row->field(cols::TerminationDate).isNull()) {
        refusal = notOnStaff();
        return std::nullopt;
    }
    return Employee{row->field(cols::EmployeeID), row->field(cols::FullName).toTextOrEmpty()};
}

bool isRepair(ClockOffer offer)
{
    return offer == ClockOffer::RepairYesterday || offer == ClockOffer::RepairEarlier;
}

} // namespace

QString wrongPassword()
{
    return QCoreApplication::translate("pelmar::login", "That Password is Incorrect.");
}

QString notOnStaff()
{
    return QCoreApplication::translate(
        "pelmar::login", "Your name is no longer on the staff list. Please see the administrator.");
}

bool passwordMatches(const Value& stored, const QString& typed)
{
    return !typed.isEmpty() && !stored.isNull() && stored.toText() == typed;
}

Repair repairOpenShift(Database& db, TimeAudit& audit, const Workplace& workplace, const Employee& who,
                       double now)
{
    const double today = dates::datePart(now);
    Repair repair;
    repair.newest = timerecords::newestRecent(db, who.id, now);
    repair.offer = clockOffer(repair.newest, today);
    if (!isRepair(repair.offer))
        return repair;
    audit.change(TimeAudit::ClosedAtMidnight);
    repair.closed = timerecords::closeShift(db, *repair.newest, Midnight);
    if (!repair.closed)
        throw RunError::of(err::Locked); // changed under our lock: a writer without one
    audit.changed(repair.newest, repair.closed);
    if (repair.offer == ClockOffer::RepairYesterday) {
        audit.change(TimeAudit::ReopenedAfterMidnight);
        repair.newest = timerecords::read(db, timerecords::addShift(db, who.id, today, Midnight));
        audit.changed(std::nullopt, repair.newest);
    }
    // Days-old shifts always go to the administrator, whatever their hours.
    if (outbox::available(db) && (repair.offer == ClockOffer::RepairEarlier ||
                                  exceedsThreshold(repair.closed->hours, workplace.notifyHours())))
        repair.alertId =
            outbox::enqueue(db, who.id, repair.closed->id, who.fullName, repair.closed->tdate, now);
    return repair;
}

LogInResult logIn(Workplace& workplace, const Value& employeeId, const QString& password, double now)
{
    LogInResult result;
    ActionResult& screen = result.screen;
    const auto db = workplace.open();
    QString refusal;
    result.employee = admit(*db, employeeId, password, refusal);
    if (!result.employee) {
        screen.notices.push_back(Notice::message(refusal));
        return result;
    }
    const Employee& who = *result.employee;

    Repair repair;
    repair.newest = timerecords::newestRecent(*db, who.id, now);
    repair.offer = clockOffer(repair.newest, dates::datePart(now));
    if (isRepair(repair.offer)) {
        outbox::available(*db); // asked before the transaction, as a failed look-up would end it
        TimeAudit audit(*db, now);
        Transaction transaction(*db);
        // Decided again under the write lock: another terminal may have
        // repaired this shift since it was read.
        repair = repairOpenShift(*db, audit, workplace, who, now);
        transaction.commit();
    }
    const ClockOffer offer = repair.offer;
    const std::optional<TimeRecord>& newest = repair.newest;
    const std::optional<TimeRecord>& closed = repair.closed;
    const std::optional<qint64>& alertId = repair.alertId;
    if (newest && newest->isOpenShift() && offer != ClockOffer::RepairEarlier)
        result.openSince = dates::datePart(newest->tdate.toDate()) +
                           (newest->timeIn.isNull() ? 0 : dates::timePart(newest->timeIn.toDouble()));

    switch (offer) {
    case ClockOffer::ClockIn:
        screen.offer = ButtonOffer::ClockIn;
        break;
    case ClockOffer::Unchanged:
        screen.offer = ButtonOffer::Keep;
        break;
    case ClockOffer::RepairYesterday:
        if (exceedsThreshold(closed->hours, workplace.notifyHours()))
            screen.notices.push_back(Notice::alert(who.fullName, closed->tdate, alertId));
        screen.notices.push_back(Notice::message(reopenedMessage()));
        [[fallthrough]];
    case ClockOffer::ClockOut:
        screen.offer = ButtonOffer::ClockOut;
        screen.openShift = newest->id;
        screen.clockedIn = clockedInLine(*newest);
        break;
    case ClockOffer::RepairEarlier:
        screen.notices.push_back(Notice::message(notLoggedOutMessage(*closed)));
        screen.notices.push_back(Notice::alert(who.fullName, closed->tdate, alertId));
        screen.offer = ButtonOffer::ClockIn;
        break;
    }
    return result;
}

} // namespace pelmar
