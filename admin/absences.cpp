#include "admin/absences.h"
#include "admin/input.h"

#include "admin/refusal.h"
#include "admin/staff.h"
#include "platform/datetime.h"
#include "store/engine.h"
#include "store/sqltexts.h"
#include "timekeeping/timeaudit.h"

#include <QCoreApplication>

namespace pelmar::admin {

namespace {

std::vector<TimeRecord> recordsOn(Database& db, qint64 employeeId, double from, double to)
{
    const auto rs = db.openRecordset(
        sqltexts::rangeListing(Value::date(from), Value::date(to), Value::integer(employeeId)));
    std::vector<TimeRecord> out;
    for (int r = 0; rs->moveTo(r); ++r)
        out.push_back(timerecords::current(*rs));
    return out;
}

bool isAbsence(const TimeRecord& record)
{
    const RecordType type = recordType(record.type);
    return type != RecordType::Worked && type != RecordType::Other;
}

// A shift as the clock writes it: "Worked", or no type at all.
bool isShift(const TimeRecord& record)
{
    return record.type.toTextOrEmpty().isEmpty() || recordType(record.type) == RecordType::Worked;
}

QString employeeName(Database& db, qint64 id)
{
    const std::vector<sql::Row> rows = db.readAll(
        QStringLiteral("SELECT FullName FROM Personnel WHERE EmployeeID = %1").arg(QString::number(id)));
    return rows.empty() ? QString::number(id) : rows.front()[0].toTextOrEmpty();
}

} // namespace

const std::vector<RecordType>& absenceTypes()
{
    static const std::vector<RecordType> types = {RecordType::Vacation, RecordType::Holiday,
                                                  RecordType::SickLeave};
    return types;
}

RecordType absenceType(const QString& text)
{
    const RecordType type = recordType(text);
    if (type == RecordType::Worked || type == RecordType::Other)
        throw Refusal{
            QCoreApplication::translate(
                "pelmar::admin", "'%1' is not an absence; use \"Vacation\", \"Holiday\" or \"Sick Leave\".")
                .arg(text)};
    return type;
}

std::vector<TimeRecord> absences(Database& db, qint64 employeeId, double from, double to)
{
    input::requireOrder(from, to);
    Transaction transaction(db);
    requireEmployee(db, employeeId);
    std::vector<TimeRecord> out;
    for (const TimeRecord& record : recordsOn(db, employeeId, from, to))
        if (isAbsence(record))
            out.push_back(record);
    transaction.commit();
    return out;
}

TimeRecord removeAbsence(Database& db, qint64 timeId, double now)
{
    TimeAudit audit(db, now);
    Transaction transaction(db);
    const std::optional<TimeRecord> before = timerecords::read(db, timeId);
    if (!before || !isAbsence(*before))
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "There is no absence %1; nothing was changed.")
                .arg(timeId)};
    audit.change(TimeAudit::AbsenceRemoved);
    // The type is part of what was seen: a record turned into a shift
    // meanwhile is no longer this absence.
    if (db.execute(QStringLiteral("DELETE FROM [Time] WHERE TimeID = ? AND Type = ?"),
                   {Value::integer(timeId), before->type}) != 1)
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "There is no absence %1; nothing was changed.")
                .arg(timeId)};
    audit.changed(before, std::nullopt);
    transaction.commit();
    return *before;
}

std::optional<QString> absenceConflict(Database& db, qint64 employeeId, double date)
{
    const std::vector<TimeRecord> onDay = recordsOn(db, employeeId, date, date);
    if (onDay.empty())
        return std::nullopt;
    // An absence first: the more likely slip is entering it twice.
    const TimeRecord* found = &onDay.front();
    for (const TimeRecord& record : onDay)
        if (!isShift(record)) {
            found = &record;
            break;
        }
    const QString name = employeeName(db, employeeId);
    const QString day = dates::shortDate(date);
    if (!isShift(*found))
        return QCoreApplication::translate("pelmar::admin",
                                           "%1 already has %2 on %3 (record %4); nothing was changed.")
            .arg(name, shownType(found->type), day, QString::number(found->id));
    return QCoreApplication::translate("pelmar::admin",
                                       "%1 has a shift on %2 (record %3); nothing was changed.")
        .arg(name, day, QString::number(found->id));
}

} // namespace pelmar::admin
