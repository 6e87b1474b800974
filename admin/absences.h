#pragma once

#include "review/recordtypes.h"
#include "timekeeping/timerecords.h"

#include <QString>
#include <vector>

namespace pelmar {
class Database;
}

namespace pelmar::admin {

// The absences an administrator records, in the order they are offered.
const std::vector<RecordType>& absenceTypes();
// The absence named by text; refused for anything else.
RecordType absenceType(const QString& text);

// The employee's absences dated from..to, newest first, read in one
// transaction; refused for an unknown employee.
std::vector<TimeRecord> absences(Database& db, qint64 employeeId, double from, double to);
// Removes one absence, read in the transaction that removes it and audited;
// refused when the record is gone or is no absence. Returns it as it was.
TimeRecord removeAbsence(Database& db, qint64 timeId, double now);

// Why an absence of the employee can't go on date: the day already holds
// an absence or a worked shift, named by its record. Nullopt when the day
// is free. Read in the caller's transaction.
std::optional<QString> absenceConflict(Database& db, qint64 employeeId, double date);

} // namespace pelmar::admin
