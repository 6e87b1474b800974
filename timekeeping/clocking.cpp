#include "timekeeping/clocking.h"

#include "platform/datetime.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "timekeeping/alertoutbox.h"
#include "timekeeping/hours.h"
#include "timekeeping/timeaudit.h"
#include "workplace/workplace.h"

#include <QCoreApplication>

namespace pelmar {

namespace {

// The day a stored clock-out fell on: the shift's own date, or the next day
// for a shift over midnight.
double dayClockedOut(const TimeRecord& shift)
{
    const double day = dates::datePart(shift.tdate.toDate());
    const bool overMidnight = !shift.timeIn.isNull() && dates::timePart(shift.timeOut.toDouble()) <
                                                            dates::timePart(shift.timeIn.toDouble());
    return overMidnight ? day + 1 : day;
}

} // namespace

void punchIn(Database& db, TimeAudit& audit, const Employee& who, double now, ActionResult& result)
{
    result.offer = ButtonOffer::Hidden;
    const std::optional<TimeRecord> newest = timerecords::newestRecent(db, who.id, now);
    if (newest && newest->isOpenShift()) {
        audit.note(TimeAudit::AlreadyClockedIn, *newest);
        result.notices.push_back(Notice::message(
            newest->timeIn.isNull()
                ? QCoreApplication::translate("pelmar::clocking",
                                              "You are already clocked in. Nothing was changed.")
                : QCoreApplication::translate("pelmar::clocking",
                                              "You are already clocked in since %1. Nothing was changed.")
                      .arg(dates::longTime(newest->timeIn.toDate()))));
        result.clockedIn = clockedInLine(*newest);
        return;
    }
    audit.change(TimeAudit::ClockedIn);
    const qint64 id = timerecords::addShift(db, who.id, now, timeOfDay(now));
    const std::optional<TimeRecord> added = timerecords::read(db, id);
    audit.changed(std::nullopt, added);
    result.clockedIn = clockedInLine(*added);
    result.written = id;
}

bool punchOut(Database& db, TimeAudit& audit, const Workplace& workplace, const Employee& who, qint64 shiftId,
              double now, ActionResult& result)
{
    result.offer = ButtonOffer::Hidden;
    // Read under the write lock, so it stays as read until the commit.
    const std::optional<TimeRecord> shift = timerecords::read(db, shiftId);
    if (!shift) {
        result.notices.push_back(Notice::message(QCoreApplication::translate(
            "pelmar::clocking", "This shift is no longer in the time records. Nothing was changed; "
                                "contact the administrator if your time records need correcting.")));
        return false;
    }
    if (!shift->isOpen()) {
        // The administrator sees the attempt; the record stays as it was.
        audit.note(TimeAudit::AlreadyClockedOut, *shift);
        result.notices.push_back(Notice::message(
            QCoreApplication::translate("pelmar::clocking",
                                        "This shift was already clocked out at %1. Nothing was changed.")
                .arg(dates::longTime(shift->timeOut.toDate()))));
        result.clockedOut = clockedOutLine(dayClockedOut(*shift), *shift);
        return true;
    }
    audit.change(TimeAudit::ClockedOut);
    const std::optional<TimeRecord> closed = timerecords::closeShift(db, *shift, timeOfDay(now));
    if (!closed)
        throw RunError::of(err::Locked); // changed under our lock: a writer without one
    audit.changed(shift, closed);
    const bool alert = exceedsThreshold(closed->hours, workplace.notifyHours());
    std::optional<qint64> alertId;
    if (alert && outbox::available(db))
        alertId = outbox::enqueue(db, who.id, closed->id, who.fullName, closed->tdate, now);
    // The day the shift ended, not the record's own date.
    result.clockedOut = clockedOutLine(dates::datePart(now), *closed);
    result.written = closed->id;
    if (alert)
        result.notices.push_back(Notice::alert(who.fullName, closed->tdate, alertId));
    return true;
}

ActionResult clockIn(Workplace& workplace, const Employee& who, double now)
{
    ActionResult result;
    const auto db = workplace.open();
    TimeAudit audit(*db, now);
    Transaction transaction(*db);
    punchIn(*db, audit, who, now, result);
    transaction.commit();
    return result;
}

ActionResult clockOut(Workplace& workplace, const Employee& who, qint64 shiftId, double now)
{
    ActionResult result;
    const auto db = workplace.open();
    outbox::available(*db); // asked before the transaction, as a failed look-up would end it
    TimeAudit audit(*db, now);
    Transaction transaction(*db);
    if (punchOut(*db, audit, workplace, who, shiftId, now, result))
        transaction.commit();
    return result;
}

} // namespace pelmar
