#pragma once

#include "login/clockstate.h"
#include "platform/value.h"
#include "timekeeping/actionresult.h"

#include <QString>
#include <optional>

namespace pelmar {

class Workplace;

// The password check: exact texts, nothing trimmed; an empty entry never
// passes, and a row without any password can't be matched by anything typed.
bool passwordMatches(const Value& stored, const QString& typed);

// A log-in: the employee let in, or the reason they were not.
struct LogInResult
{
    // Empty when refused; the screen's notices then say why.
    std::optional<Employee> employee;
    ActionResult screen;
};

// The two refusals, as the log-in's notice says them.
QString wrongPassword();
QString notOnStaff();

// Logs the employee with this key in at now (one reading of the clock):
// checks the password and the employment against their row as the database
// holds it, decides the clock offer from their newest record and repairs a
// shift left open on an earlier day. The repair decides again from the rows
// it reads under the write lock, so a shift another terminal repaired first
// is not written twice. Loading the time sheet is the caller's next step.
LogInResult logIn(Workplace& workplace, const Value& employeeId, const QString& password, double now);

} // namespace pelmar
