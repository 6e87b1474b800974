#include "admin/reports.h"
#include "admin/input.h"

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

// When the record's status began: the clock-in of an open shift, the
// clock-out of a closed one (12:00 AM is the midnight after), the date of
// an absence.
Value since(const TimeRecord& r, whereis::Status status)
{
    if (r.tdate.isNull())
        return Value::null();
    const double day = dates::datePart(r.tdate.toDouble());
    if (status == whereis::Status::In)
        return Value::date(day + r.timeIn.toDouble());
    if (status == whereis::Status::Out) {
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

// One employee's records of a payroll's range.
struct Totals
{
    double hours = 0;
    std::set<double> worked, vacation, holiday, sick;
    std::map<QString, int> other;
    int open = 0;
};

// Each employee's records of from..to, by employee number.
std::map<qint64, Totals> tally(Database& db, double from, double to)
{
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
            ++t.other[record[4].toTextOrEmpty()];
            break;
        }
    }
    return totals;
}

QString translated(const char* text)
{
    return QCoreApplication::translate("pelmar::admin", text);
}

QString cell(const char* tag, const QString& text, bool right)
{
    return QStringLiteral("<%1%2>%3</%1>")
        .arg(QLatin1String(tag), right ? QStringLiteral(" align=\"right\"") : QString(), text);
}

// A row's figures, hours first, as cells of tag.
QString figureCells(const char* tag, const PayrollRow& r)
{
    QString row;
    for (const int n : {r.daysWorked, r.vacation, r.holiday, r.sickLeave, r.other, r.openShifts})
        row += cell(tag, QString::number(n), true);
    return cell(tag, QString::number(r.hours, 'f', 2), true) + row;
}

// The payroll's table: the header in <thead>, which the layout repeats at
// the top of each page, a row per employee, and the totals.
QString payrollTable(const Payroll& payroll)
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                  "width=\"100%\"><thead><tr>");
    for (const char* title :
         {QT_TRANSLATE_NOOP("pelmar::admin", "ID"), QT_TRANSLATE_NOOP("pelmar::admin", "Name"),
          QT_TRANSLATE_NOOP("pelmar::admin", "Hours"), QT_TRANSLATE_NOOP("pelmar::admin", "Days worked"),
          QT_TRANSLATE_NOOP("pelmar::admin", "Vacation"), QT_TRANSLATE_NOOP("pelmar::admin", "Holiday"),
          QT_TRANSLATE_NOOP("pelmar::admin", "Sick leave"), QT_TRANSLATE_NOOP("pelmar::admin", "Other"),
          QT_TRANSLATE_NOOP("pelmar::admin", "Open shifts")})
        html += cell("th", translated(title).toHtmlEscaped(), false);
    html += QStringLiteral("</tr></thead>");
    for (const PayrollRow& r : payroll.rows)
        html += QStringLiteral("<tr>") + cell("td", QString::number(r.id), false) +
                cell("td", r.name.toHtmlEscaped(), false) + figureCells("td", r) + QStringLiteral("</tr>");
    return html + QStringLiteral("<tr>") + cell("th", QString(), false) +
           cell("th", QCoreApplication::translate("pelmar::admin", "Total").toHtmlEscaped(), false) +
           figureCells("th", payroll.total()) + QStringLiteral("</tr></table>");
}

} // namespace

Payroll payroll(Database& db, double from, double to)
{
    input::requireOrder(from, to);
    std::map<qint64, Totals> totals = tally(db, from, to);

    // Everyone employed on any day of the range: terminated on or after its
    // first day, or never.
    const std::vector<sql::Row> people = db.readAll(
        QStringLiteral("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate IS NULL OR "
                       "TerminationDate >= ") +
        dateLiteral(Value::date(from)) + QStringLiteral(" ORDER BY FullName, EmployeeID"));
    Payroll out;
    for (const sql::Row& person : people) {
        const qint64 id = person[0].toInteger();
        const Totals& t = totals[id];
        const auto count = [](const std::set<double>& days) { return static_cast<int>(days.size()); };
        int other = 0;
        for (const auto& [type, n] : t.other) {
            out.otherTypes[type] += n;
            other += n;
        }
        out.rows.push_back({id, person[1].toTextOrEmpty(), t.hours, count(t.worked), count(t.vacation),
                            count(t.holiday), count(t.sick), other, t.open});
    }
    return out;
}

int Payroll::openShifts() const
{
    return total().openShifts;
}

PayrollRow Payroll::total() const
{
    PayrollRow sum;
    for (const PayrollRow& r : rows) {
        sum.hours += r.hours;
        sum.daysWorked += r.daysWorked;
        sum.vacation += r.vacation;
        sum.holiday += r.holiday;
        sum.sickLeave += r.sickLeave;
        sum.other += r.other;
        sum.openShifts += r.openShifts;
    }
    return sum;
}

QString payrollCsv(const Payroll& payroll)
{
    QString out =
        csv::header("EmployeeID,FullName,Hours,DaysWorked,Vacation,Holiday,SickLeave,Other,OpenShifts");
    for (const PayrollRow& r : payroll.rows)
        out += csv::line({Value::integer(r.id), Value::text(r.name),
                          Value::text(QString::number(r.hours, 'f', 2)), Value::integer(r.daysWorked),
                          Value::integer(r.vacation), Value::integer(r.holiday), Value::integer(r.sickLeave),
                          Value::integer(r.other), Value::integer(r.openShifts)});
    if (!payroll.otherTypes.empty()) {
        out += QStringLiteral("\r\n") + csv::header("OtherType,Records");
        for (const auto& [type, n] : payroll.otherTypes)
            out += csv::line({Value::text(type), Value::integer(n)});
    }
    return out;
}

QString payrollHtml(const Payroll& payroll, const QString& range)
{
    QString html =
        QStringLiteral("<h2>%1</h2>")
            .arg(QCoreApplication::translate("pelmar::admin", "Payroll %1").arg(range).toHtmlEscaped()) +
        payrollTable(payroll);
    if (!payroll.otherTypes.empty()) {
        html += QStringLiteral("<p>%1</p><ul>")
                    .arg(QCoreApplication::translate("pelmar::admin",
                                                     "Other: records of a type the clock does not know")
                             .toHtmlEscaped());
        for (const auto& [type, n] : payroll.otherTypes)
            html +=
                QStringLiteral("<li>%1: %2</li>")
                    .arg((type.isEmpty() ? QCoreApplication::translate("pelmar::admin", "(no type)") : type)
                             .toHtmlEscaped(),
                         QString::number(n));
        html += QStringLiteral("</ul>");
    }
    if (const int open = payroll.openShifts(); open > 0)
        html += QStringLiteral("<p><b>%1</b></p>")
                    .arg(QCoreApplication::translate("pelmar::admin",
                                                     "%n shift(s) still open in this range: their hours are "
                                                     "not counted.",
                                                     nullptr, open)
                             .toHtmlEscaped());
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
                     whereis::Status::NoRecentRecords,
                     Value::null(),
                     QString(),
                     std::nullopt};
        if (const auto found = newest.find(row.id); found != newest.end()) {
            const TimeRecord& record = found->second;
            row.status =
                whereis::status(record.type.toTextOrEmpty(), record.timeIn.isNull(), record.timeOut.isNull());
            if (row.status != whereis::Status::NoRecentRecords) {
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

Board::Counts Board::counts() const
{
    Counts c;
    for (const BoardRow& row : rows) {
        if (whereis::isIn(row.status))
            ++c.in;
        else if (row.status == whereis::Status::Out)
            ++c.out;
        else if (whereis::isAway(row.status))
            ++c.away;
    }
    return c;
}

const char* statusWord(whereis::Status status)
{
    // Marked so that the window can translate the same words.
    switch (status) {
    case whereis::Status::In:
    case whereis::Status::InUntyped:
        return QT_TRANSLATE_NOOP("pelmar::board", "in");
    case whereis::Status::Out:
        return QT_TRANSLATE_NOOP("pelmar::board", "out");
    case whereis::Status::Vacation:
        return QT_TRANSLATE_NOOP("pelmar::board", "vacation");
    case whereis::Status::Holiday:
        return QT_TRANSLATE_NOOP("pelmar::board", "holiday");
    case whereis::Status::SickLeave:
        return QT_TRANSLATE_NOOP("pelmar::board", "sick leave");
    case whereis::Status::NoRecentRecords:
        break;
    }
    return QT_TRANSLATE_NOOP("pelmar::board", "no recent records");
}

QString boardCsv(const Board& board)
{
    QString out = csv::header("EmployeeID,FullName,Status");
    for (const BoardRow& row : board.rows)
        out += csv::line({Value::integer(row.id), Value::text(row.name),
                          Value::text(QString::fromLatin1(statusWord(row.status)))});
    return out;
}

} // namespace pelmar::admin
