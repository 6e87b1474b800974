#include "admin/reports.h"

#include "admin/csv.h"
#include "admin/recordtypes.h"
#include "platform/datetime.h"
#include "review/timesheet.h"
#include "review/whereis.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/schema.h"
#include "timekeeping/timerecords.h"

#include <QStringList>
#include <map>
#include <set>

namespace pelmar::admin {

namespace {

QString dateLiteral(const Value& date)
{
    return QLatin1Char('#') + date.toText() + QLatin1Char('#');
}

// The where-is phrase as one word or two for the board.
QString boardStatus(const QString& phrase)
{
    QString s = phrase.trimmed();
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    if (s.startsWith(QLatin1String("is on ")))
        return s.mid(6);
    if (s.startsWith(QLatin1String("is ")))
        return s.mid(3);
    return QStringLiteral("no recent records");
}

// When the record's status began: the clock-in of an open shift, the
// clock-out of a closed one (12:00 AM is the midnight after), the date of
// an absence.
Value since(const TimeRecord& r, const QString& status)
{
    if (r.tdate.isNull())
        return Value::null();
    const double day = dates::datePart(r.tdate.toDouble());
    if (status == QLatin1String("in"))
        return Value::date(day + r.timeIn.toDouble());
    if (status == QLatin1String("out")) {
        const double out = r.timeOut.toDouble();
        return Value::date(day + (out == 0 ? 1 : out));
    }
    return Value::date(day);
}

// The workstation of each record's last change in the audit trail.
std::map<qint64, QString> workstations(Database& db, const std::vector<qint64>& timeIds)
{
    std::map<qint64, QString> out;
    if (timeIds.empty() || !audit::available(db))
        return out;
    QStringList ids;
    for (const qint64 id : timeIds)
        ids << QString::number(id);
    const auto rs = db.openRecordset(
        QStringLiteral("SELECT TimeID, Workstation FROM TimeAudit WHERE TimeID IN (%1) ORDER BY AuditID")
            .arg(ids.join(',')));
    for (int r = 0; rs->moveTo(r); ++r)
        out[rs->field(cols::TimeID).toInteger()] = rs->field(QStringLiteral("Workstation")).toTextOrEmpty();
    return out;
}

} // namespace

std::vector<PayrollRow> payroll(Database& db, double from, double to)
{
    struct Totals
    {
        double hours = 0;
        std::set<double> worked, vacation, holiday, sick;
        int open = 0;
    };
    std::map<qint64, Totals> totals;
    const auto records = db.openRecordset(QStringLiteral("SELECT * FROM qslTime WHERE Tdate BETWEEN ") +
                                          dateLiteral(Value::date(from)) + QStringLiteral(" AND ") +
                                          dateLiteral(Value::date(to)));
    for (int r = 0; records->moveTo(r); ++r) {
        const TimeRecord record = timerecords::current(*records);
        if (record.personnelId.isNull() || record.tdate.isNull())
            continue;
        Totals& t = totals[record.personnelId.toInteger()];
        const double day = dates::datePart(record.tdate.toDouble());
        switch (recordType(record.type)) {
        case RecordType::Worked:
            t.worked.insert(day);
            if (!record.hours.isNull())
                t.hours += record.hours.toDouble();
            if (record.isOpen())
                ++t.open;
            break;
        case RecordType::Vacation:
            t.vacation.insert(day);
            break;
        case RecordType::Holiday:
            t.holiday.insert(day);
            break;
        case RecordType::SickLeave:
            t.sick.insert(day);
            break;
        case RecordType::Other:
            break;
        }
    }

    // Everyone employed on any day of the range: terminated on or after its
    // first day, or never.
    const auto people = db.openRecordset(
        QStringLiteral("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate IS NULL OR "
                       "TerminationDate >= ") +
        dateLiteral(Value::date(from)) + QStringLiteral(" ORDER BY FullName, EmployeeID"));
    std::vector<PayrollRow> rows;
    for (int r = 0; people->moveTo(r); ++r) {
        const qint64 id = people->field(cols::EmployeeID).toInteger();
        const Totals& t = totals[id];
        const auto count = [](const std::set<double>& days) { return static_cast<int>(days.size()); };
        rows.push_back({id, people->field(cols::FullName).toTextOrEmpty(), t.hours, count(t.worked),
                        count(t.vacation), count(t.holiday), count(t.sick), t.open});
    }
    return rows;
}

QString payrollCsv(const std::vector<PayrollRow>& rows)
{
    QString out = csv::header("EmployeeID,FullName,Hours,DaysWorked,Vacation,Holiday,SickLeave,OpenShifts");
    for (const PayrollRow& r : rows)
        out += csv::line({Value::integer(r.id), Value::text(r.name),
                          Value::text(QString::number(r.hours, 'f', 2)), Value::integer(r.daysWorked),
                          Value::integer(r.vacation), Value::integer(r.holiday), Value::integer(r.sickLeave),
                          Value::integer(r.openShifts)});
    return out;
}

Board board(Database& db, double now)
{
    // The where-is lookup over the same days: each employee's newest record
    // decides, in the order of the time sheet's listing.
    const DateRange range = timesheet::defaultRange(now);
    std::map<qint64, TimeRecord> newest;
    const auto records =
        db.openRecordset(QStringLiteral("SELECT * FROM qslTime WHERE Tdate BETWEEN ") +
                         dateLiteral(range.from) + QStringLiteral(" And ") + dateLiteral(range.to) +
                         QStringLiteral(" ORDER BY PersonnelID, Tdate DESC, TimeIn DESC"));
    for (int r = 0; records->moveTo(r); ++r) {
        const Value id = records->field(cols::PersonnelID);
        if (!id.isNull() && !newest.contains(id.toInteger()))
            newest.emplace(id.toInteger(), timerecords::current(*records));
    }

    Board out;
    std::vector<qint64> shown;
    const auto people =
        db.openRecordset(QStringLiteral("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate "
                                        "IS NULL ORDER BY FullName, EmployeeID"));
    for (int r = 0; people->moveTo(r); ++r) {
        BoardRow row{people->field(cols::EmployeeID).toInteger(),
                     people->field(cols::FullName).toTextOrEmpty(), QStringLiteral("no recent records"),
                     Value::null(), QString()};
        if (const auto found = newest.find(row.id); found != newest.end()) {
            const TimeRecord& record = found->second;
            row.status = boardStatus(whereis::status(record.type.toTextOrEmpty(), record.timeIn.isNull(),
                                                     record.timeOut.isNull()));
            if (row.status != QLatin1String("no recent records")) {
                row.since = since(record, row.status);
                shown.push_back(record.id);
            }
        }
        out.rows.push_back(row);
    }
    const std::map<qint64, QString> where = workstations(db, shown);
    for (BoardRow& row : out.rows) {
        if (const auto found = newest.find(row.id); found != newest.end()) {
            if (const auto w = where.find(found->second.id); w != where.end())
                row.workstation = w->second;
        }
    }
    return out;
}

QString Board::summary() const
{
    int in = 0, out = 0, away = 0;
    for (const BoardRow& row : rows) {
        if (row.status == QLatin1String("in"))
            ++in;
        else if (row.status == QLatin1String("out"))
            ++out;
        else if (row.status != QLatin1String("no recent records"))
            ++away;
    }
    return QStringLiteral("%1 in, %2 out, %3 away").arg(in).arg(out).arg(away);
}

QString boardCsv(const Board& board)
{
    QString out = csv::header("EmployeeID,FullName,Status");
    for (const BoardRow& row : board.rows)
        out += csv::line({Value::integer(row.id), Value::text(row.name), Value::text(row.status)});
    return out;
}

} // namespace pelmar::admin
