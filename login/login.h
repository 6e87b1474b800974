#pragma once

#include "login/clockstate.h"
#include "platform/value.h"
#include "timekeeping/actionresult.h"

#include <QString>
#include <optional>

namespace pelmar {

class Database;
class TimeAudit;
class Workplace;

// The password check: exact texts, nothing trimmed; an empty entry never
// passes, and a row without any password can't be matched by anything typed.
bool passwordMatches(const Value& stored, const QString& typed);

// A log-in: the employee let in, or the reason they were not.
struct LogInResult
{
    // Empty when refused; the screen's notices then say why.
    std::optional<Employee> employee;
    ActionResult screen;
    // The clock-in (date and time) of the shift left open after the log-in,
    // for the terminal's journal.
    std::optional<double> openSince;
};

// The two refusals, as the log-in's notice says them.
QString wrongPassword();
QString notOnStaff();

// Logs the employee with this key in at now (one reading of the clock):
// checks the password and the employment against their row as the database
// holds it, decides the clock offer from their newest record and repairs a
// shift left open on an earlier day. The repair decides again from the rows
// it reads under the write lock, so a shift another terminal repaired first
// is not written twice. Loading the time sheet is the caller's next step.
// The log-in's decision and its midnight repair, inside the caller's
// transaction at now: the offer from the employee's newest record, which a
// repair closes at midnight (and reopens at 12:00 am when it was
// yesterday's), with the alert it calls for in the outbox. A punch written
// back from a terminal's journal is decided by the same steps.
struct Repair
{
    ClockOffer offer = ClockOffer::ClockIn;
    std::optional<TimeRecord> newest; // after the repair
    std::optional<TimeRecord> closed; // the shift closed at midnight
    std::optional<qint64> alertId;
};
Repair repairOpenShift(Database& db, TimeAudit& audit, const Workplace& workplace, const Employee& who,
                       double now);

LogInResult logIn(Workplace& workplace, const Value& employeeId, const QString& password, double now);

} // namespace pelmar
