#include "admin/staff.h"

#include "admin/refusal.h"
#include "platform/namecheck.h"
#include "store/engine.h"
#include "store/schema.h"

#include <QCoreApplication>

namespace pelmar::admin {

namespace {

bool exists(Database& db, qint64 id)
{
    return db.openRecordset(QStringLiteral("SELECT EmployeeID FROM Personnel WHERE EmployeeID = %1").arg(id))
               ->recordCount() > 0;
}

// Sets one column of the employee's row, which must still be there.
void editEmployee(Database& db, qint64 id, const QString& column, const Value& value)
{
    if (db.execute(QStringLiteral("UPDATE Personnel SET [%1] = ? WHERE EmployeeID = ?").arg(column),
                   {value, Value::integer(id)}) != 1)
        throw Refusal{QCoreApplication::translate("pelmar::admin", "There is no employee %1.").arg(id)};
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

void checkName(const QString& name)
{
    if (const std::optional<QString> refusal = nameRefusal(name))
        throw Refusal{*refusal};
}

void addEmployee(Database& db, qint64 id, const QString& name, const QString& password)
{
    checkName(name);
    Transaction transaction(db);
    if (exists(db, id))
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "Employee %1 already exists; nothing was changed.")
                .arg(id)};
    requireNameFree(db, name);
    db.execute(QStringLiteral("INSERT INTO Personnel (EmployeeID, FullName, Password) VALUES (?, ?, ?)"),
               {Value::integer(id), Value::text(name), Value::text(password)});
    transaction.commit();
}

void setPassword(Database& db, qint64 id, const QString& password)
{
    Transaction transaction(db);
    editEmployee(db, id, cols::Password, Value::text(password));
    transaction.commit();
}

void terminate(Database& db, qint64 id, double date)
{
    Transaction transaction(db);
    editEmployee(db, id, cols::TerminationDate, Value::date(date));
    transaction.commit();
}

void rehire(Database& db, qint64 id)
{
    Transaction transaction(db);
    requireEmployee(db, id);
    const auto name =
        db.readAll(QStringLiteral("SELECT FullName FROM Personnel WHERE EmployeeID = %1").arg(id));
    requireNameFree(db, name.at(0).at(0).toTextOrEmpty(), id);
    if (db.execute(QStringLiteral("UPDATE Personnel SET TerminationDate = NULL WHERE EmployeeID = ? AND "
                                  "TerminationDate IS NOT NULL"),
                   {Value::integer(id)}) != 1)
        throw Refusal{QCoreApplication::translate("pelmar::admin",
                                                  "Employee %1 is not terminated; nothing was changed.")
                          .arg(id)};
    transaction.commit();
}

std::vector<double> weekdays(double from, double to)
{
    std::vector<double> days;
    for (double day = from; day <= to; ++day) {
        const int weekday = (static_cast<int>(day) + 6) % 7; // 0 = Sunday
        if (weekday != 0 && weekday != 6)
            days.push_back(day);
    }
    return days;
}

void addAbsences(Database& db, qint64 id, const std::vector<double>& dates, RecordType type)
{
    if (dates.empty())
        throw Refusal{
            QCoreApplication::translate("pelmar::admin", "The range holds no day from Monday to Friday.")};
    Transaction transaction(db);
    requireEmployee(db, id);
    for (const double date : dates)
        db.execute(QStringLiteral("INSERT INTO [Time] (PersonnelID, Tdate, Type) VALUES (?, ?, ?)"),
                   {Value::integer(id), Value::date(date), Value::text(typeText(type))});
    transaction.commit();
}

} // namespace pelmar::admin
