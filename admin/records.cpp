#include "admin/records.h"

#include "admin/csv.h"
#include "admin/input.h"
#include "admin/refusal.h"
#include "admin/staff.h"
#include "platform/datetime.h"
#include "review/recordtypes.h"
#include "store/engine.h"
#include "store/postgres.h"
#include "store/schema.h"
#include "store/sqltexts.h"
#include "timekeeping/hours.h"
#include "timekeeping/timeaudit.h"

#include <QCoreApplication>
#include <set>

namespace pelmar::admin {

namespace {

TimeRecord requireRecord(Database& db, qint64 timeId)
{
    const std::optional<TimeRecord> record = timerecords::read(db, timeId);
    if (!record)
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "There is no time record %1.").arg(timeId)};
    return *record;
}

Value outValue(const ShiftTimes& times)
{
    return times.out ? Value::date(*times.out) : Value::null();
}

std::set<qint64> closedAtMidnight(Database& db, qint64 employeeId)
{
    std::set<qint64> ids;
    if (!audit::available(db))
        return ids;
    const auto rs = db.openRecordset(
        QStringLiteral("SELECT TimeID FROM TimeAudit WHERE EmployeeID = %1 AND Action = '%2'")
            .arg(QString::number(employeeId), TimeAudit::ClosedAtMidnight));
    for (int r = 0; rs->moveTo(r); ++r)
        ids.insert(rs->field(cols::TimeID).toInteger());
    return ids;
}

} // namespace

std::vector<ListedRecord> records(Database& db, qint64 employeeId, double from, double to, double now)
{
    input::requireOrder(from, to);
    requireEmployee(db, employeeId);
    const std::set<qint64> closed = closedAtMidnight(db, employeeId);
    const float threshold = alertThreshold(db);
    const auto rs = db.openRecordset(
        sqltexts::rangeListing(Value::date(from), Value::date(to), Value::integer(employeeId)));
    std::vector<ListedRecord> out;
    for (int r = 0; rs->moveTo(r); ++r) {
        ListedRecord listed{timerecords::current(*rs), RecordCheck::None, std::nullopt};
        const TimeRecord& record = listed.record;
        listed.overdueHours = overdueHours(record, now, threshold);
        if (closed.contains(record.id))
            listed.check = RecordCheck::ClosedAtMidnight;
        else if (listed.overdueHours)
            listed.check = RecordCheck::Overdue;
        else if (recordType(record.type) == RecordType::Worked && record.isOpen())
            listed.check = RecordCheck::Open;
        out.push_back(listed);
    }
    return out;
}

float alertThreshold(Database& db)
{
    const std::vector<sql::Row> rows =
        db.readAll(QStringLiteral("SELECT WorkHoursNotify FROM CustomSettings ORDER BY SettingsID"));
    return rows.empty() ? 0 : rows.front()[0].toSingle();
}

std::optional<double> overdueHours(const TimeRecord& record, double now, float threshold)
{
    if (!record.isOpenShift() || record.tdate.isNull() || record.timeIn.isNull())
        return std::nullopt;
    const double start = dates::datePart(record.tdate.toDouble()) + record.timeIn.toDouble();
    const double hours = (now - start) * 24;
    if (!exceedsThreshold(Value::number(hours), threshold))
        return std::nullopt;
    return hours;
}

TimeRecord setTimes(Database& db, qint64 timeId, const ShiftTimes& times, double now)
{
    TimeAudit audit(db, now);
    Transaction transaction(db);
    const TimeRecord before = requireRecord(db, timeId);
    if (recordType(before.type) != RecordType::Worked)
        throw Refusal{QCoreApplication::translate(
                          "pelmar::admin",
                          "Time record %1 is a \"%2\" record; only \"Worked\" records have clock "
                          "times.")
                          .arg(QString::number(timeId), before.type.toTextOrEmpty())};
    checkShift(before.tdate.isNull() ? 0 : dates::datePart(before.tdate.toDouble()), times);
    const Value in = Value::date(times.in);
    const Value out = outValue(times);
    audit.change(TimeAudit::Edited);
    const int changed =
        db.execute(QStringLiteral("UPDATE [Time] SET TimeIn = ?, TimeOut = ?, Thours = ? WHERE TimeID = ?"),
                   {in, out, shiftHours(before.tdate, in, out), Value::integer(timeId)});
    if (changed != 1)
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "Time record %1 could not be changed.").arg(timeId)};
    const TimeRecord after = requireRecord(db, timeId);
    audit.changed(before, after);
    transaction.commit();
    return after;
}

TimeRecord addShift(Database& db, qint64 employeeId, double date, const ShiftTimes& times, double now)
{
    checkShift(date, times);
    TimeAudit audit(db, now);
    Transaction transaction(db);
    requireEmployee(db, employeeId);
    const Value in = Value::date(times.in);
    const Value out = outValue(times);
    audit.change(TimeAudit::Added);
    db.execute(QStringLiteral("INSERT INTO [Time] (PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type) "
                              "VALUES (?, ?, ?, ?, ?, ?)"),
               {Value::integer(employeeId), Value::date(date), in, out,
                shiftHours(Value::date(date), in, out), Value::text(WorkedType)});
    const TimeRecord added = requireRecord(db, db.lastInsertId());
    audit.changed(std::nullopt, added);
    transaction.commit();
    return added;
}

TimeRecord removeRecord(Database& db, qint64 timeId, double now)
{
    TimeAudit audit(db, now);
    Transaction transaction(db);
    const TimeRecord before = requireRecord(db, timeId);
    audit.change(TimeAudit::Deleted);
    if (db.execute(QStringLiteral("DELETE FROM [Time] WHERE TimeID = ?"), {Value::integer(timeId)}) != 1)
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "Time record %1 could not be removed.").arg(timeId)};
    audit.changed(before, std::nullopt);
    transaction.commit();
    return before;
}

std::vector<audit::Row> auditTrail(Database& db, double from, double to, const AuditFilter& filter)
{
    input::requireOrder(from, to);
    if (!audit::available(db))
        throw Refusal{QCoreApplication::translate(
            "pelmar::admin", "This database has no audit trail yet; run pelmar-db upgrade on it "
                             "first.")};
    return audit::read(db, {from, to, filter.employeeId, filter.action});
}

QString shownAction(const QString& action)
{
    return QCoreApplication::translate("pelmar::audit", action.toUtf8().constData());
}

const std::vector<QString>& auditActions()
{
    namespace a = audit::actions;
    static const std::vector<QString> actions{TimeAudit::ClockedIn,
                                              TimeAudit::ClockedOut,
                                              TimeAudit::Edited,
                                              TimeAudit::Added,
                                              TimeAudit::Deleted,
                                              TimeAudit::AbsenceAdded,
                                              TimeAudit::AbsenceRemoved,
                                              TimeAudit::ClosedAtMidnight,
                                              TimeAudit::ReopenedAfterMidnight,
                                              TimeAudit::AlreadyClockedIn,
                                              TimeAudit::AlreadyClockedOut,
                                              a::EmployeeAdded,
                                              a::EmployeeRenamed,
                                              a::EmployeeTerminated,
                                              a::EmployeeRehired,
                                              a::EmployeeEdited,
                                              a::PasswordReset,
                                              a::SettingsChanged,
                                              a::MailPasswordChanged};
    return actions;
}

QString upgrade(const QString& location)
{
    const std::shared_ptr<sql::Session> session = sql::Session::open(location);
    Database db(session);
    Transaction transaction(db);
    if (auto* server = dynamic_cast<sql::PgSession*>(session.get()))
        server->allowLongStatements();
    sql::createOutbox(*session);
    sql::createIndexes(*session);
    audit::createTable(db);
    transaction.commit();
    return db.path();
}

void createAuditTrail(Database& db)
{
    Transaction transaction(db);
    audit::createTable(db);
    transaction.commit();
}

QString recordsCsv(const std::vector<TimeRecord>& records)
{
    QString out = csv::header("TimeID,Tdate,TimeIn,TimeOut,Thours,Type");
    for (const TimeRecord& r : records)
        out += csv::line({Value::integer(r.id), r.tdate, r.timeIn, r.timeOut, r.hours, r.type});
    return out;
}

std::vector<outbox::Row> alerts(Database& db, double from, double to)
{
    input::requireOrder(from, to);
    if (!outbox::available(db))
        throw Refusal{QCoreApplication::translate(
            "pelmar::admin", "This database has no alerts' outbox yet; run pelmar-db upgrade on it first.")};
    return outbox::list(db, from, to);
}

QString alertsCsv(const std::vector<outbox::Row>& rows)
{
    QString out = csv::header("AlertID,Created,EmployeeID,FullName,ShiftDate,State,Tries,LastError,SentAt");
    for (const outbox::Row& r : rows)
        out +=
            csv::line({Value::integer(r.id), Value::date(r.created), r.employeeId, Value::text(r.fullName),
                       r.shiftDate, Value::text(r.state), Value::integer(r.tries), Value::text(r.lastError),
                       r.sentAt.isNull() ? Value::null() : Value::date(r.sentAt.toDouble())});
    return out;
}

QString auditCsv(const std::vector<audit::Row>& rows)
{
    QString out = csv::header(
        "When,Workstation,Account,Address,Action,TimeID,EmployeeID,Employee,Before,After,Offline");
    for (const audit::Row& row : rows)
        out += csv::line({Value::date(row.when), Value::text(row.workstation), Value::text(row.account),
                          Value::text(row.address), Value::text(row.action), row.timeId, row.employeeId,
                          Value::text(row.employeeName), row.before, row.after, Value::text(row.offline)});
    return out;
}

} // namespace pelmar::admin
