#include "login/login.h"

#include "app/timeclock.h"
#include "platform/datetime.h"
#include "platform/runerror.h"
#include "review/timesheet.h"
#include "store/engine.h"
#include "timekeeping/hours.h"
#include "timekeeping/timeaudit.h"

namespace pelmar {

namespace {

constexpr double Midnight = 0;
constexpr double OneMinutePastMidnight = 1.0 / 1440;

std::optional<TimeRecord> newestRecord(TimeClock& clock)
{
    Recordset& rs = clock.times().recordset();
    if (rs.recordCount() == 0)
        return std::nullopt;
    rs.moveFirst();
    return timerecords::current(rs);
}

// Closes the shift at the midnight after its date and, for yesterday's,
// opens today's at 12:01 am, in one transaction with their audit rows.
// Returns the closed shift; nullopt when it was no longer open.
std::optional<TimeRecord> closeAtMidnight(TimeClock& clock, qint64 id, const Value& employeeId,
                                          std::optional<double> reopenOn, double now)
{
    const auto db = clock.open();
    TimeAudit audit(*db, now);
    Transaction transaction(*db);
    const std::optional<TimeRecord> shift = timerecords::read(*db, id);
    if (!shift || !shift->isOpen())
        return std::nullopt;
    std::optional<TimeRecord> closed = timerecords::closeShift(*db, *shift, Midnight);
    if (!closed)
        return std::nullopt;
    audit.write(TimeAudit::ClosedAtMidnight, shift, closed);
    if (reopenOn) {
        const qint64 reopened = timerecords::addShift(*db, employeeId, *reopenOn, OneMinutePastMidnight);
        audit.write(TimeAudit::ReopenedAfterMidnight, std::nullopt, timerecords::read(*db, reopened));
    }
    transaction.commit();
    return closed;
}

} // namespace

bool passwordMatches(const Value& stored, const QString& typed)
{
    return !typed.isEmpty() && !stored.isNull() && stored.toText() == typed;
}

LogIn logIn(TimeClock& clock, const Value& employeeId, double now)
{
    const double today = dates::datePart(now);
    const DateRange range = timesheet::defaultRange(now);
    // Each pass that finds its shift already repaired elsewhere sees that
    // repair on the next; a few passes are plenty.
    for (int pass = 0; pass < 5; ++pass) {
        LogIn result;
        result.total = timesheet::load(clock, range, employeeId);
        const std::optional<TimeRecord> newest = newestRecord(clock);
        const ClockOffer offer = clockOffer(
            newest ? std::optional(NewestRecord{newest->type, newest->timeOut, newest->tdate}) : std::nullopt,
            today);
        switch (offer) {
        case ClockOffer::ClockIn:
        case ClockOffer::Unchanged:
            result.offer = offer;
            return result;
        case ClockOffer::ClockOut:
            result.offer = offer;
            result.openShift = newest;
            return result;
        case ClockOffer::RepairYesterday:
        case ClockOffer::RepairEarlier:
            break;
        }

        const bool yesterday = offer == ClockOffer::RepairYesterday;
        result.closedShift = closeAtMidnight(clock, newest->id, employeeId,
                                             yesterday ? std::optional(today) : std::nullopt, now);
        if (!result.closedShift)
            continue;
        // The sheet and its total show the records as they now stand.
        result.total = timesheet::load(clock, range, employeeId);
        if (yesterday) {
            result.repair = LogIn::Repair::ClosedYesterday;
            result.offer = ClockOffer::ClockOut;
            result.openShift = newestRecord(clock);
            result.alertDue = exceedsThreshold(result.closedShift->hours, clock.notifyHours());
            result.message =
                QStringLiteral("You were automatically clocked out at midnight, and clocked back in "
                               "at 12:01 am. If this isn't appropriate, notify the administrator");
        } else {
            result.repair = LogIn::Repair::ClosedEarlier;
            result.offer = ClockOffer::ClockIn;
            // Days-old shifts always go to the administrator, whatever their hours.
            result.alertDue = true;
            result.message = QStringLiteral("You were not logged out correctly on ") +
                             result.closedShift->tdate.toTextOrEmpty() +
                             QStringLiteral(".  You were automatically clocked out at midnight.\r"
                                            "Please contact the administrator to correct your time records");
        }
        return result;
    }
    throw RunError::of(err::Locked);
}

} // namespace pelmar
