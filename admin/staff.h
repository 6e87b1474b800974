#pragma once

#include "platform/value.h"
#include "review/recordtypes.h"

#include <QString>
#include <vector>

namespace pelmar {
class Database;
}

namespace pelmar::admin {

// An employee, current or former (terminated on a date).
struct Employee
{
    qint64 id = 0;
    QString name;
    Value terminated; // Null while employed
};

// Everyone the database knows, current and former, by name.
std::vector<Employee> staff(Database& db);

// The one employee check: refused when there is no employee id.
void requireEmployee(Database& db, qint64 id);
// A password typed twice, returned when both are the same; refused, with
// nothing changed, when they differ.
QString confirmedPassword(const QString& typed, const QString& again);

// The changes to the staff, each in one transaction that reads the employee
// it changes, refused with nothing written otherwise. Adding is refused for
// a full name that nameRefusal refuses (blank, hidden or deceiving
// characters, too long); adding or rehiring when a current employee already
// has exactly that name.
void addEmployee(Database& db, qint64 id, const QString& name, const QString& password);
void setPassword(Database& db, qint64 id, const QString& password);
void terminate(Database& db, qint64 id, double date);
// Clears the termination date of a former employee.
void rehire(Database& db, qint64 id);

// Every Monday to Friday of from..to.
std::vector<double> weekdays(double from, double to);
// An absence of the employee on each of dates, in one transaction; refused
// when there is no date, or a date already holds an absence or a shift.
void addAbsences(Database& db, qint64 id, const std::vector<double>& dates, RecordType type);

} // namespace pelmar::admin
