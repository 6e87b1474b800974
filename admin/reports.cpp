#include "admin/reports.h"

#include "admin/csv.h"
#include "admin/records.h"
#include "platform/datetime.h"
#include "review/recordtypes.h"
#include "review/timesheet.h"
#include "review/whereis.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/schema.h"
#include "timekeeping/timerecords.h"

#include <QCoreApplication>
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
    for (const sql::Row& r : db.readAll(
             QStringLiteral("SELECT TimeID, Workstation FROM TimeAudit WHERE TimeID IN (%1) ORDER BY AuditID")
                 .arg(ids.join(','))))
        out[r[0].toInteger()] = r[1].toTextOrEmpty();
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
    const std::vector<sql::Row> records =
        db.readAll(QStringLiteral("SELECT PersonnelID, Tdate, TimeOut, Thours, Type FROM qslTime WHERE Tdate "
                                  "BETWEEN ") +
                   dateLiteral(Value::date(from)) + QStringLiteral(" AND ") + dateLiteral(Value::date(to)));
    for (const sql::Row& record : records) {
        const Value& personnel = record[0];
        const Value& tdate = record[1];
        if (personnel.isNull() || tdate.isNull())
            continue;
        Totals& t = totals[personnel.toInteger()];
        const double day = dates::datePart(tdate.toDouble());
        switch (recordType(record[4])) {
        case RecordType::Worked:
            t.worked.insert(day);
            if (!record[3].isNull())
                t.hours += record[3].toDouble();
            if (record[2].isNull())
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
    const std::vector<sql::Row> people = db.readAll(
        QStringLiteral("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate IS NULL OR "
                       "TerminationDate >= ") +
        dateLiteral(Value::date(from)) + QStringLiteral(" ORDER BY FullName, EmployeeID"));
    std::vector<PayrollRow> rows;
    for (const sql::Row& person : people) {
        const qint64 id = person[0].toInteger();
        const Totals& t = totals[id];
        const auto count = [](const std::set<double>& days) { return static_cast<int>(days.size()); };
        rows.push_back({id, person[1].toTextOrEmpty(), t.hours, count(t.worked), count(t.vacation),
                        count(t.holiday), count(t.sick), t.open});
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

QString payrollHtml(const std::vector<PayrollRow>& rows, const QString& range)
{
    QString html =
        QStringLiteral("<h2>%1</h2><p>%2</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">")
            .arg(QCoreApplication::translate("pelmar::admin", "Payroll").toHtmlEscaped(),
                 range.toHtmlEscaped());
    html += QStringLiteral("<tr><th>ID</th><th>Name</th><th>Hours</th><th>Days worked</th><th>Vacation</th>"
                           "<th>Holiday</th><th>Sick leave</th><th>Open shifts</th></tr>");
    PayrollRow total;
    for (const PayrollRow& r : rows) {
        html +=
            QStringLiteral("<tr><td>%1</td><td>%2</td><td align=\"right\">%3</td><td align=\"right\">%4</td>"
                           "<td align=\"right\">%5</td><td align=\"right\">%6</td><td align=\"right\">%7</td>"
                           "<td align=\"right\">%8</td></tr>")
                .arg(QString::number(r.id), r.name.toHtmlEscaped(), QString::number(r.hours, 'f', 2),
                     QString::number(r.daysWorked), QString::number(r.vacation), QString::number(r.holiday),
                     QString::number(r.sickLeave), QString::number(r.openShifts));
        total.hours += r.hours;
        total.daysWorked += r.daysWorked;
        total.vacation += r.vacation;
        total.holiday += r.holiday;
        total.sickLeave += r.sickLeave;
        total.openShifts += r.openShifts;
    }
    html += QStringLiteral(
                "<tr><th></th><th align=\"left\">%1</th><th align=\"right\">%2</th><th align=\"right\">%3"
                "</th><th align=\"right\">%4</th><th align=\"right\">%5</th><th align=\"right\">%6</th>"
                "<th align=\"right\">%7</th></tr></table>")
                .arg(QCoreApplication::translate("pelmar::admin", "Total"),
                     QString::number(total.hours, 'f', 2), QString::number(total.daysWorked),
                     QString::number(total.vacation), QString::number(total.holiday),
                     QString::number(total.sickLeave), QString::number(total.openShifts));
    return html;
}

Board board(Database& db, double now)
{
    // The where-is lookup over the same days: each employee's newest record
    // decides, in the order of the time sheet's listing.
    const DateRange range = timesheet::defaultRange(now);
    std::map<qint64, TimeRecord> newest;
    const std::vector<sql::Row> records = db.readAll(
        QStringLiteral(
            "SELECT TimeID, PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type FROM qslTime WHERE Tdate "
            "BETWEEN ") +
        dateLiteral(range.from) + QStringLiteral(" And ") + dateLiteral(range.to) +
        QStringLiteral(" ORDER BY PersonnelID, Tdate DESC, TimeIn DESC"));
    for (const sql::Row& r : records) {
        if (!r[1].isNull() && !newest.contains(r[1].toInteger()))
            newest.emplace(r[1].toInteger(),
                           TimeRecord{r[0].toInteger(), r[1], r[2], r[3], r[4], r[5], r[6]});
    }

    Board out;
    const float threshold = alertThreshold(db);
    std::vector<qint64> shown;
    const std::vector<sql::Row> people =
        db.readAll(QStringLiteral("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate IS NULL "
                                  "ORDER BY FullName, EmployeeID"));
    for (const sql::Row& person : people) {
        BoardRow row{person[0].toInteger(),
                     person[1].toTextOrEmpty(),
                     QStringLiteral("no recent records"),
                     Value::null(),
                     QString(),
                     std::nullopt};
        if (const auto found = newest.find(row.id); found != newest.end()) {
            const TimeRecord& record = found->second;
            row.status = boardStatus(whereis::status(record.type.toTextOrEmpty(), record.timeIn.isNull(),
                                                     record.timeOut.isNull()));
            if (row.status != QLatin1String("no recent records")) {
                row.since = since(record, row.status);
                row.overdueHours = overdueHours(record, now, threshold);
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
    return QStringLiteral("%1 in, %2 out, %3 away")
        .arg(QString::number(in), QString::number(out), QString::number(away));
}

QString boardCsv(const Board& board)
{
    QString out = csv::header("EmployeeID,FullName,Status");
    for (const BoardRow& row : board.rows)
        out += csv::line({Value::integer(row.id), Value::text(row.name), Value::text(row.status)});
    return out;
}

} // namespace pelmar::admin
