#include "admin/staff.h"
#include "admin/input.h"

#include "admin/absences.h"
#include "admin/refusal.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/namecheck.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/schema.h"
#include "timekeeping/timeaudit.h"

#include <QCoreApplication>

namespace pelmar::admin {

namespace {

bool exists(Database& db, qint64 id)
{
    return db.openRecordset(QStringLiteral("SELECT EmployeeID FROM Personnel WHERE EmployeeID = %1").arg(id))
               ->recordCount() > 0;
}

// An employee's row as the trail compares it.
struct Row
{
    QString name;
    Value terminated;
    Value password;
};

std::optional<Row> readRow(Database& db, qint64 id)
{
    const auto rs = db.openRecordset(
        QStringLiteral("SELECT FullName, TerminationDate, Password FROM Personnel WHERE EmployeeID = %1")
            .arg(id));
    if (rs->recordCount() == 0)
        return std::nullopt;
    return Row{rs->field(cols::FullName).toTextOrEmpty(), rs->field(cols::TerminationDate),
               rs->field(cols::Password)};
}

bool differ(const Value& a, const Value& b)
{
    return a.isNull() != b.isNull() || a.toTextOrEmpty() != b.toTextOrEmpty();
}

// The rows a server's trigger writes for the change of an employee's row,
// written by the program on a file: never the password itself.
void trail(Database& db, qint64 id, const std::optional<Row>& before, const Row& after)
{
    const double now = SystemClock().now();
    const Value employee = Value::integer(id);
    const Value shownAfter = Value::text(audit::describeEmployee(after.name, after.terminated));
    if (!before) {
        audit::write(
            db, {now, audit::actions::EmployeeAdded, Value::null(), employee, Value::null(), shownAfter});
        return;
    }
    const Value shownBefore = Value::text(audit::describeEmployee(before->name, before->terminated));
    bool written = false;
    const auto row = [&](const QString& action, const Value& from, const Value& to) {
        audit::write(db, {now, action, Value::null(), employee, from, to});
        written = true;
    };
    if (before->name != after.name)
        row(audit::actions::EmployeeRenamed, shownBefore, shownAfter);
    if (differ(before->terminated, after.terminated))
        row(after.terminated.isNull() ? audit::actions::EmployeeRehired : audit::actions::EmployeeTerminated,
            shownBefore, shownAfter);
    if (differ(before->password, after.password))
        row(audit::actions::PasswordReset, Value::null(), Value::null());
    if (!written)
        row(audit::actions::EmployeeEdited, shownBefore, shownAfter);
}

// Sets one column of the employee's row, which must still be there, with
// its trail.
void editEmployee(Database& db, qint64 id, const QString& column, const Value& value)
{
    const bool audited = audit::available(db);
    Transaction transaction(db);
    const std::optional<Row> before = readRow(db, id);
    if (db.execute(QStringLiteral("UPDATE Personnel SET [%1] = ? WHERE EmployeeID = ?").arg(column),
                   {value, Value::integer(id)}) != 1)
        throw Refusal{QCoreApplication::translate("pelmar::admin", "There is no employee %1.").arg(id)};
    if (audited)
        trail(db, id, before, *readRow(db, id));
    transaction.commit();
}

void checkName(const QString& name)
{
    if (const std::optional<QString> refusal = nameRefusal(name))
        throw Refusal{*refusal};
}

// Two current employees of one name could not tell themselves apart in the
// list, so a name is taken until its holder is terminated. Compared here, not
// in SQL, so that both engines match exactly, byte for byte; the staff is small.
void requireNameFree(Database& db, const QString& name, qint64 except = 0)
{
    for (const sql::Row& r : db.readAll(
             QStringLiteral("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate IS NULL")))
        if (r[1].toTextOrEmpty() == name && r[0].toInteger() != except)
            throw Refusal{
                QCoreApplication::translate(
                    "pelmar::admin", "There is already a current employee named %1; nothing was changed.")
                    .arg(name)};
}

} // namespace

std::vector<Employee> staff(Database& db)
{
    const auto rs = db.openRecordset(QStringLiteral(
        "SELECT EmployeeID, FullName, TerminationDate FROM Personnel ORDER BY FullName, EmployeeID"));
    std::vector<Employee> out;
    for (int r = 0; rs->moveTo(r); ++r)
        out.push_back({rs->field(cols::EmployeeID).toInteger(), rs->field(cols::FullName).toTextOrEmpty(),
                       rs->field(cols::TerminationDate)});
    return out;
}

void requireEmployee(Database& db, qint64 id)
{
    if (!exists(db, id))
        throw Refusal{QCoreApplication::translate("pelmar::admin", "There is no employee %1.").arg(id)};
}

QString confirmedPassword(const QString& typed, const QString& again)
{
    if (typed != again)
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "The two passwords differ; nothing was changed.")};
    return typed;
}

void addEmployee(Database& db, qint64 id, const QString& name, const QString& password)
{
    checkName(name);
    const bool audited = audit::available(db);
    Transaction transaction(db);
    if (exists(db, id))
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "Employee %1 already exists; nothing was changed.")
                .arg(id)};
    requireNameFree(db, name);
    db.execute(QStringLiteral("INSERT INTO Personnel (EmployeeID, FullName, Password) VALUES (?, ?, ?)"),
               {Value::integer(id), Value::text(name), Value::text(password)});
    if (audited)
        trail(db, id, std::nullopt, *readRow(db, id));
    transaction.commit();
}

void setPassword(Database& db, qint64 id, const QString& password)
{
    editEmployee(db, id, cols::Password, Value::text(password));
}

void terminate(Database& db, qint64 id, double date)
{
    editEmployee(db, id, cols::TerminationDate, Value::date(date));
}

void rehire(Database& db, qint64 id)
{
    const bool audited = audit::available(db);
    Transaction transaction(db);
    requireEmployee(db, id);
    const std::optional<Row> before = readRow(db, id);
    requireNameFree(db, before->name, id);
    if (db.execute(QStringLiteral("UPDATE Personnel SET TerminationDate = NULL WHERE EmployeeID = ? AND "
                                  "TerminationDate IS NOT NULL"),
                   {Value::integer(id)}) != 1)
        throw Refusal{QCoreApplication::translate("pelmar::admin",
                                                  "Employee %1 is not terminated; nothing was changed.")
                          .arg(id)};
    if (audited)
        trail(db, id, before, *readRow(db, id));
    transaction.commit();
}

std::vector<double> weekdays(double from, double to)
{
    input::requireOrder(from, to);
    std::vector<double> days;
    for (double day = from; day <= to; ++day) {
        if (!dates::isWeekend(day))
            days.push_back(day);
    }
    return days;
}

void addAbsences(Database& db, qint64 id, const std::vector<double>& dates, RecordType type)
{
    if (dates.empty())
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "The range holds no day from Monday to Friday.")};
    TimeAudit audit(db, SystemClock().now());
    Transaction transaction(db);
    requireEmployee(db, id);
    for (const double date : dates) {
        // Read after the dates before it are written, so a date given twice
        // is refused too.
        if (const std::optional<QString> conflict = absenceConflict(db, id, date))
            throw Refusal{*conflict};
        audit.change(TimeAudit::AbsenceAdded);
        db.execute(QStringLiteral("INSERT INTO [Time] (PersonnelID, Tdate, Type) VALUES (?, ?, ?)"),
                   {Value::integer(id), Value::date(date), Value::text(typeText(type))});
        audit.changed(std::nullopt, timerecords::read(db, db.lastInsertId()));
    }
    transaction.commit();
}

} // namespace pelmar::admin
