#include "tools/timeadmin.h"

#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/numformat.h"
#include "review/timesheet.h"
#include "review/whereis.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/sqltexts.h"
#include "timekeeping/hours.h"
#include "timekeeping/timeaudit.h"
#include "timekeeping/timerecords.h"
#include "tools/csv.h"

#include <cmath>
#include <map>
#include <set>

namespace pelmar {

namespace {

constexpr qint64 SecondsPerDay = 86400;

qint64 positiveNumber(const QString& text, const QString& what)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || n <= 0)
        throw BadInput{QStringLiteral("'%1' is not %2 (a whole number above 0).").arg(text, what)};
    return n;
}

qint64 employeeNumber(const QString& text)
{
    return positiveNumber(text, QStringLiteral("an employee number"));
}

qint64 timeNumber(const QString& text)
{
    return positiveNumber(text, QStringLiteral("a time record number"));
}

double dateArgument(const QString& text)
{
    const std::optional<double> d = dates::isDate(text) ? dates::parseDate(text) : std::nullopt;
    if (!d)
        throw BadInput{QStringLiteral("'%1' is not a date; write it as M/D/YYYY.").arg(text)};
    return dates::datePart(*d);
}

void requireOrder(double from, double to)
{
    if (from > to)
        throw BadInput{QStringLiteral("The range ends on %1, before it starts on %2.")
                           .arg(dates::shortDate(to), dates::shortDate(from))};
}

// A time of day as the clock shows it, with AM or PM: what a 24-hour
// reading would mean is never guessed at.
double timeArgument(const QString& text)
{
    const QString suffix = text.trimmed().right(2);
    const bool ampm = suffix.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0 ||
                      suffix.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
    const std::optional<double> t = ampm ? dates::parseTime(text.trimmed()) : std::nullopt;
    if (!t)
        throw BadInput{QStringLiteral("'%1' is not a time; write it as h:mm AM or h:mm:ss PM.").arg(text)};
    return *t;
}

qint64 secondOfDay(double time)
{
    return std::llround(dates::timePart(time) * SecondsPerDay) % SecondsPerDay;
}

// The clock-in and clock-out of a corrected shift. A clock-out of 12:00 AM is
// the midnight after the date, as the clock's own midnight close stores it;
// any other clock-out must not be before the clock-in.
struct ShiftTimes
{
    double in;
    std::optional<double> out;
};

ShiftTimes shiftArguments(const QString& inText, const QString& outText)
{
    ShiftTimes times{timeArgument(inText), std::nullopt};
    if (outText == QLatin1String("-"))
        return times;
    times.out = timeArgument(outText);
    const qint64 in = secondOfDay(times.in);
    const qint64 out = secondOfDay(*times.out);
    if (out == 0 && in == 0)
        throw BadInput{QStringLiteral("A shift from 12:00 AM to the midnight after is 24 hours; the time "
                                      "records can't hold it. Split it into two records.")};
    if (out != 0 && out < in)
        throw BadInput{QStringLiteral("The clock-out %1 is before the clock-in %2; only 12:00 AM means the "
                                      "midnight after the date.")
                           .arg(dates::longTime(*times.out), dates::longTime(times.in))};
    return times;
}

bool isType(const Value& type, const QString& name)
{
    return type.toTextOrEmpty().compare(name, Qt::CaseInsensitive) == 0;
}

QString csvField(const Value& v)
{
    return v.isNull() ? QString() : csvQuoted(v.toText());
}

std::vector<Value> recordFields(const TimeRecord& r)
{
    return {Value::integer(r.id), r.tdate, r.timeIn, r.timeOut, r.hours, r.type};
}

const char* const RecordHeader = "TimeID,Tdate,TimeIn,TimeOut,Thours,Type";

void requireEmployee(Database& db, qint64 id)
{
    if (db.openRecordset(QStringLiteral("SELECT EmployeeID FROM Personnel WHERE EmployeeID = %1").arg(id))
            ->recordCount() == 0)
        throw BadInput{QStringLiteral("There is no employee %1.").arg(id)};
}

TimeRecord requireRecord(Database& db, qint64 timeId)
{
    const std::optional<TimeRecord> record = timerecords::read(db, timeId);
    if (!record)
        throw BadInput{QStringLiteral("There is no time record %1.").arg(timeId)};
    return *record;
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

QString dateLiteral(double date)
{
    return QLatin1Char('#') + dates::shortDate(date) + QLatin1Char('#');
}

} // namespace

TimeAdmin::TimeAdmin(QTextStream& out, const Clock& clock, Opener open)
    : m_out(out), m_clock(clock), m_open(std::move(open))
{
}

void TimeAdmin::times(const QString& folder, const QString& idText, const QString& fromText,
                      const QString& toText)
{
    const qint64 id = employeeNumber(idText);
    const double from = dateArgument(fromText);
    const double to = dateArgument(toText);
    requireOrder(from, to);
    const auto db = m_open(folder);
    requireEmployee(*db, id);
    // The time sheet's own listing: same rows, same order.
    const auto rs =
        db->openRecordset(sqltexts::rangeListing(Value::date(from), Value::date(to), Value::integer(id)));
    writeHeader(RecordHeader);
    for (int r = 0; rs->moveTo(r); ++r)
        writeRow(recordFields(timerecords::current(*rs)));
}

void TimeAdmin::timeSet(const QString& folder, const QString& timeIdText, const QString& inText,
                        const QString& outText)
{
    const qint64 timeId = timeNumber(timeIdText);
    const ShiftTimes times = shiftArguments(inText, outText);
    const auto db = m_open(folder);
    TimeAudit audit(*db, m_clock.now());
    Transaction transaction(*db);
    const TimeRecord before = requireRecord(*db, timeId);
    if (!isType(before.type, WorkedType))
        throw BadInput{QStringLiteral("Time record %1 is a \"%2\" record; only \"Worked\" records have clock "
                                      "times.")
                           .arg(timeId)
                           .arg(before.type.toTextOrEmpty())};
    const Value in = Value::date(times.in);
    const Value out = times.out ? Value::date(*times.out) : Value::null();
    const int changed =
        db->execute(QStringLiteral("UPDATE [Time] SET TimeIn = ?, TimeOut = ?, Thours = ? WHERE TimeID = ?"),
                    {in, out, shiftHours(in, out), Value::integer(timeId)});
    if (changed != 1)
        throw BadInput{QStringLiteral("Time record %1 could not be changed.").arg(timeId)};
    const TimeRecord after = requireRecord(*db, timeId);
    audit.write(TimeAudit::Edited, before, after);
    transaction.commit();
    writeHeader(RecordHeader);
    writeRow(recordFields(after));
}

void TimeAdmin::timeAdd(const QString& folder, const QString& idText, const QString& dateText,
                        const QString& inText, const QString& outText)
{
    const qint64 id = employeeNumber(idText);
    const double date = dateArgument(dateText);
    const ShiftTimes times = shiftArguments(inText, outText);
    const auto db = m_open(folder);
    TimeAudit audit(*db, m_clock.now());
    Transaction transaction(*db);
    requireEmployee(*db, id);
    const Value in = Value::date(times.in);
    const Value out = times.out ? Value::date(*times.out) : Value::null();
    db->execute(
        QStringLiteral("INSERT INTO [Time] (PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type) "
                       "VALUES (?, ?, ?, ?, ?, ?)"),
        {Value::integer(id), Value::date(date), in, out, shiftHours(in, out), Value::text(WorkedType)});
    const TimeRecord added = requireRecord(*db, db->lastInsertId());
    audit.write(TimeAudit::Added, std::nullopt, added);
    transaction.commit();
    writeHeader(RecordHeader);
    writeRow(recordFields(added));
}

void TimeAdmin::timeDelete(const QString& folder, const QString& timeIdText)
{
    const qint64 timeId = timeNumber(timeIdText);
    const auto db = m_open(folder);
    TimeAudit audit(*db, m_clock.now());
    Transaction transaction(*db);
    const TimeRecord before = requireRecord(*db, timeId);
    if (db->execute(QStringLiteral("DELETE FROM [Time] WHERE TimeID = ?"), {Value::integer(timeId)}) != 1)
        throw BadInput{QStringLiteral("Time record %1 could not be removed.").arg(timeId)};
    audit.write(TimeAudit::Deleted, before, std::nullopt);
    transaction.commit();
    writeHeader(RecordHeader);
    writeRow(recordFields(before));
}

void TimeAdmin::hours(const QString& folder, const QString& fromText, const QString& toText)
{
    const double from = dateArgument(fromText);
    const double to = dateArgument(toText);
    requireOrder(from, to);
    const auto db = m_open(folder);

    struct Totals
    {
        double hours = 0;
        std::set<double> worked, vacation, holiday, sick;
        int open = 0;
    };
    std::map<qint64, Totals> totals;
    const auto records = db->openRecordset(QStringLiteral("SELECT * FROM qslTime WHERE Tdate BETWEEN ") +
                                           dateLiteral(from) + QStringLiteral(" AND ") + dateLiteral(to));
    for (int r = 0; records->moveTo(r); ++r) {
        const TimeRecord record = timerecords::current(*records);
        if (record.personnelId.isNull() || record.tdate.isNull())
            continue;
        Totals& t = totals[record.personnelId.toInteger()];
        const double day = dates::datePart(record.tdate.toDouble());
        // Types typed by hand in the suite's other programs vary in case.
        if (isType(record.type, WorkedType)) {
            t.worked.insert(day);
            if (!record.hours.isNull())
                t.hours += record.hours.toDouble();
            if (record.isOpen())
                ++t.open;
        } else if (isType(record.type, QStringLiteral("Vacation"))) {
            t.vacation.insert(day);
        } else if (isType(record.type, QStringLiteral("Holiday"))) {
            t.holiday.insert(day);
        } else if (isType(record.type, QStringLiteral("Sick Leave"))) {
            t.sick.insert(day);
        }
    }

    // Everyone employed on any day of the range: terminated on or after its
    // first day, or never.
    const auto people = db->openRecordset(
        QStringLiteral("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate IS NULL OR "
                       "TerminationDate >= ") +
        dateLiteral(from) + QStringLiteral(" ORDER BY FullName, EmployeeID"));
    writeHeader("EmployeeID,FullName,Hours,DaysWorked,Vacation,Holiday,SickLeave,OpenShifts");
    for (int r = 0; people->moveTo(r); ++r) {
        const qint64 id = people->field(cols::EmployeeID).toInteger();
        const Totals& t = totals[id];
        const auto count = [](const std::set<double>& days) { return Value::integer(std::ssize(days)); };
        writeRow({Value::integer(id), people->field(cols::FullName),
                  Value::text(QString::number(t.hours, 'f', 2)), count(t.worked), count(t.vacation),
                  count(t.holiday), count(t.sick), Value::integer(t.open)});
    }
}

void TimeAdmin::board(const QString& folder)
{
    const auto db = m_open(folder);
    // The where-is lookup over the same days: its newest record decides.
    const DateRange range = timesheet::defaultRange(m_clock.now());
    const auto people =
        db->openRecordset(QStringLiteral("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate "
                                         "IS NULL ORDER BY FullName, EmployeeID"));
    writeHeader("EmployeeID,FullName,Status");
    for (int r = 0; people->moveTo(r); ++r) {
        const Value id = people->field(cols::EmployeeID);
        const auto rs = db->openRecordset(sqltexts::rangeListing(range.from, range.to, id));
        QString status = QStringLiteral("no recent records");
        if (rs->recordCount() > 0) {
            rs->moveFirst();
            status = boardStatus(whereis::status(rs->field(cols::Type).toTextOrEmpty(),
                                                 rs->field(cols::TimeIn).isNull(),
                                                 rs->field(cols::TimeOut).isNull()));
        }
        writeRow({id, people->field(cols::FullName), Value::text(status)});
    }
}

void TimeAdmin::audit(const QString& folder, const QString& fromText, const QString& toText)
{
    const double from = dateArgument(fromText);
    const double to = dateArgument(toText);
    requireOrder(from, to);
    const auto db = m_open(folder);
    if (!audit::available(*db))
        throw BadInput{QStringLiteral("This database has no audit trail yet; run pelmar-db upgrade on it "
                                      "first.")};
    writeHeader("When,Workstation,Action,TimeID,EmployeeID,Before,After");
    for (const audit::Row& row : audit::read(*db, from, to))
        writeRow({Value::date(row.when), Value::text(row.workstation), Value::text(row.action), row.timeId,
                  row.employeeId, row.before, row.after});
}

void TimeAdmin::upgrade(const QString& folder)
{
    const auto db = m_open(folder);
    Transaction transaction(*db);
    // The indexes of the current schema, for files made before they were.
    db->execute(QStringLiteral("CREATE INDEX IF NOT EXISTS PersonnelByName ON Personnel (TerminationDate, "
                               "FullName)"));
    db->execute(QStringLiteral(
        "CREATE INDEX IF NOT EXISTS TimeByEmployee ON [Time] (PersonnelID, Tdate, TimeIn, Thours)"));
    db->execute(QStringLiteral("CREATE INDEX IF NOT EXISTS TimeByDate ON [Time] (Tdate, TimeIn)"));
    audit::createTable(*db);
    transaction.commit();
    m_out << "Upgraded " << db->path() << "\n";
}

void TimeAdmin::createAuditTrail(const QString& folder)
{
    const auto db = m_open(folder);
    Transaction transaction(*db);
    audit::createTable(*db);
    transaction.commit();
}

void TimeAdmin::writeHeader(const char* names)
{
    m_out << names << "\r\n";
}

void TimeAdmin::writeRow(const std::vector<Value>& fields)
{
    QStringList texts;
    for (const Value& v : fields)
        texts << csvField(v);
    m_out << texts.join(QLatin1Char(',')) << "\r\n";
}

} // namespace pelmar
