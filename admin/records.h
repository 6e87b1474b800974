#pragma once

#include "admin/input.h"
#include "store/audit.h"
#include "timekeeping/alertoutbox.h"
#include "timekeeping/timerecords.h"

#include <QString>
#include <vector>

namespace pelmar {
class Database;
}

namespace pelmar::admin {

// What the manager should check about a time record, the first that
// applies: the clock closed it at midnight by itself; it is a shift open for
// longer than the alert threshold; it is a shift still open.
enum class RecordCheck
{
    None,
    ClosedAtMidnight,
    Overdue,
    Open
};

// One employee's time record as the administrator sees it, with its check.
struct ListedRecord
{
    TimeRecord record;
    RecordCheck check = RecordCheck::None;
    std::optional<double> overdueHours; // the hours open so far, when Overdue
};

// The employee's records dated from..to, newest first: the time sheet's own
// listing, at now. Refused for an unknown employee.
std::vector<ListedRecord> records(Database& db, qint64 employeeId, double from, double to, double now);

// The alert threshold (WorkHoursNotify) as stored.
float alertThreshold(Database& db);
// The hours an open shift has run at now, when they pass threshold by the
// clock's own alert comparison; nullopt for a closed record or an absence.
std::optional<double> overdueHours(const TimeRecord& record, double now, float threshold);

// The corrections. Each runs in one transaction with its audit row (the
// trail names this computer and now), reads the record it changes inside
// it, and returns the record as stored (as it was, for a removal).
// A shift's times; only a "Worked" record has them.
TimeRecord setTimes(Database& db, qint64 timeId, const ShiftTimes& times, double now);
// A new "Worked" record of the employee on date.
TimeRecord addShift(Database& db, qint64 employeeId, double date, const ShiftTimes& times, double now);
TimeRecord removeRecord(Database& db, qint64 timeId, double now);

// Which of a range's audit rows to show: with an employee other than 0 only
// that employee's, with an action only that action's.
struct AuditFilter
{
    qint64 employeeId = 0;
    QString action;
};
// The audit rows written on the dates from..to that the filter picks, in
// the order they were written. Refused when the database has no trail yet.
std::vector<audit::Row> auditTrail(Database& db, double from, double to, const AuditFilter& filter = {});
// An action as a person reads it, in the window's language.
QString shownAction(const QString& action);
// Every action the trail names, for picking one: the time records', then
// the staff's and the settings'.
const std::vector<QString>& auditActions();

// Brings a database made by the suite's other programs up to the schema:
// the indexes and the audit trail. Safe to run again. Returns the location
// as opened.
QString upgrade(const QString& location);
// The audit trail of a database just created.
void createAuditTrail(Database& db);

// The CSV tables of pelmar-db's times and audit commands.
QString recordsCsv(const std::vector<TimeRecord>& records);
QString auditCsv(const std::vector<audit::Row>& rows);
// The alerts' outbox of the dates from..to, refused for a database without
// one; and as CSV.
std::vector<outbox::Row> alerts(Database& db, double from, double to);
QString alertsCsv(const std::vector<outbox::Row>& rows);

} // namespace pelmar::admin
