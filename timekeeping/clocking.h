#pragma once

#include "timekeeping/actionresult.h"

namespace pelmar {

class Database;
class TimeAudit;
class Workplace;

// Clock in at now (one reading of the clock): under the write lock, adds an
// open "Worked" shift unless the employee's newest record is already one
// (clocked in at another terminal meanwhile), which is then shown and
// audited instead. Either way the button is hidden.
ActionResult clockIn(Workplace& workplace, const Employee& who, double now);

// Clock out of the open shift with this key at now, with its hours and the
// alert they call for. A shift no longer open (clocked out at another
// terminal, or removed) is left as it is, and the employee is told.
ActionResult clockOut(Workplace& workplace, const Employee& who, qint64 shiftId, double now);

// The steps of the two actions inside the caller's transaction, for the
// terminal's clicks and the punches written back from its journal alike.
// punchOut returns false when the shift is gone and nothing was written.
void punchIn(Database& db, TimeAudit& audit, const Employee& who, double now, ActionResult& result);
bool punchOut(Database& db, TimeAudit& audit, const Workplace& workplace, const Employee& who, qint64 shiftId,
              double now, ActionResult& result);

} // namespace pelmar
