#pragma once

#include "platform/value.h"

#include <QString>
#include <optional>

namespace pelmar {

class Workplace;

// The where-is answer: the text of an information message.
namespace whereis {

// The phrase after the full name for an employee's latest record, from its
// Type (Null read as empty text) and whether its times are Null. Types are
// compared exactly, letter case included.
QString status(const QString& type, bool timeInNull, bool timeOutNull);

// The answer for the employee with this key and name: the latest record of
// today and the DaysShown days before it. Errors other than "no record" are
// thrown for the caller to report.
QString answer(Workplace& workplace, const Value& employeeId, const QString& fullName, double now);

// Said instead of looking anything up when no name is picked.
QString noNamePicked();

} // namespace whereis
} // namespace pelmar
