#include "timekeeping/timerecords.h"

#include "platform/datetime.h"
#include "review/timesheet.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/sqltexts.h"
#include "timekeeping/hours.h"

namespace pelmar {

bool TimeRecord::isOpenShift() const
{
    const QString kind = type.toTextOrEmpty();
    return isOpen() && (kind.isEmpty() || kind == WorkedType);
}

namespace timerecords {

TimeRecord current(Recordset& rs)
{
    TimeRecord r;
    r.id = rs.field(cols::TimeID).toInteger();
    r.personnelId = rs.field(cols::PersonnelID);
    r.tdate = rs.field(cols::Tdate);
    r.timeIn = rs.field(cols::TimeIn);
    r.timeOut = rs.field(cols::TimeOut);
    r.hours = rs.field(cols::Thours);
    r.type = rs.field(cols::Type);
    return r;
}

std::optional<TimeRecord> read(Database& db, qint64 id)
{
    const auto rs = db.openRecordset(QStringLiteral("SELECT * FROM qslTime WHERE TimeID = %1").arg(id));
    if (rs->recordCount() == 0)
        return std::nullopt;
    return current(*rs);
}

std::optional<TimeRecord> newestRecent(Database& db, const Value& employeeId, double now)
{
    const DateRange range = timesheet::defaultRange(now);
    const auto rs = db.openRecordset(sqltexts::rangeListing(range.from, range.to, employeeId));
    if (rs->recordCount() == 0)
        return std::nullopt;
    rs->moveFirst();
    return current(*rs);
}

qint64 addShift(Database& db, const Value& employeeId, double date, double timeIn)
{
    db.execute(QStringLiteral("INSERT INTO [Time] (PersonnelID, Tdate, TimeIn, Type) VALUES (?, ?, ?, ?)"),
               {Value::integer(employeeId.toInteger()), Value::date(dates::datePart(date)),
                Value::date(timeIn), Value::text(WorkedType)});
    return db.lastInsertId();
}

std::optional<TimeRecord> closeShift(Database& db, const TimeRecord& open, double timeOut)
{
    const Value out = Value::date(timeOut);
    const int changed = db.execute(
        QStringLiteral("UPDATE [Time] SET TimeOut = ?, Thours = ?, Type = ? "
                       "WHERE TimeID = ? AND TimeOut IS NULL"),
        {out, shiftHours(open.tdate, open.timeIn, out), Value::text(WorkedType), Value::integer(open.id)});
    if (changed != 1)
        return std::nullopt;
    return read(db, open.id);
}

} // namespace timerecords

double timeOfDay(double now)
{
    int hour = 0, minute = 0, second = 0;
    dates::hms(now, hour, minute, second);
    return dates::timeSerial(hour, minute, second);
}

} // namespace pelmar
