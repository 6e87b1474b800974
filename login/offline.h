#pragma once

#include "login/login.h"
#include "platform/runerror.h"
#include "timekeeping/journal.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pelmar {

class Database;
class Workplace;

namespace offline {

// Whether a failure means the database is out of reach: the server refused
// or dropped the connection, the file or its folder is missing or can't be
// opened, or the write lock was not granted in time. Only then does the
// terminal keep punches itself; every other error stays what it is.
bool outOfReach(const RunError& error);

// What the window says of a punch kept in the journal.
QString savedMessage(double at);
// The log-in refused during an outage to someone the terminal doesn't know.
QString unknownMessage(const RunError& cause, int keepDays);

} // namespace offline

// The terminal's way through an outage of the database: who may log in,
// the punches it keeps meanwhile, and their write-back once the database
// answers. Made with keepDays 0 it is off and keeps nothing.
class OfflineClock
{
public:
    // Runs a call of the database: at once, or on the window's worker.
    using Runner = std::function<void(const std::function<void()>&)>;

    OfflineClock(const QString& journalPath, int keepDays);
    // Waits for the log-ins still being hashed.
    ~OfflineClock();
    OfflineClock(const OfflineClock&) = delete;
    OfflineClock& operator=(const OfflineClock&) = delete;

    bool enabled() const { return m_journal != nullptr; }
    // Whether the journal covers this failure: it is on, and the database
    // is out of reach.
    bool covers(const RunError& error) const;

    // A log-in or clock action as the terminal does it: with the database,
    // or from the journal while the database is out of reach (offline says
    // which). A session decided by the journal keeps its punches there.
    // The log-in writes back any kept punches first, so it decides from
    // them. What the database answered is noted for the next outage.
    LogInResult logIn(Workplace& workplace, const Value& employeeId, const QString& password, double now,
                      const Runner& run, bool& offline);
    ActionResult clock(Workplace& workplace, const Employee& who, bool in, std::optional<qint64> shiftId,
                       double now, const Runner& run, bool& offline);
    // Punches waiting for the database, and those it refused (kept, with
    // the reason, for the office).
    int pending() const;
    int setAside() const;

    // After a log-in or clock action the database answered: what the
    // terminal keeps for the next outage, noted on a thread of its own. The
    // password is hashed only when the kept hash is a day old or more.
    void loggedIn(const Employee& who, const QString& password, std::optional<double> openSince, double now);
    void clocked(const Employee& who, std::optional<double> openSince);

    // The log-in and the two actions while the database is out of reach
    // (cause says how), from what the terminal last read and its journal.
    LogInResult logIn(const Value& employeeId, const QString& password, double now, const RunError& cause);
    ActionResult clockIn(const Employee& who, double now);
    ActionResult clockOut(const Employee& who, double now);

    // Writes the kept punches back in the order they were punched, each in
    // a transaction of its own decided as a click at its own time, and
    // returns how many were written. A punch the trail already holds (a
    // copy, or a write-back cut short after its commit) is dropped unwritten.
    // Throws at the first failure; what was written stays written.
    int writeBack(Workplace& workplace, double now);
    // The same, quiet: the failure is returned, as an outage.
    std::optional<RunError> tryWriteBack(Workplace& workplace, double now, const Runner& run);

    // After the workplace's read of the staff: forgets who is no longer on
    // it and whose password was reset since it was kept.
    void reconcile(Workplace& workplace, double now);

    // Waits until everything handed to the noting thread is kept.
    void settle();

private:
    // A punch into the journal, shown as the window shows a saved one.
    ActionResult keep(const Employee& who, JournalEntry::Punch punch, double now);
    // One kept punch in its own transaction; false when the trail already had it.
    bool writeOne(Database& db, const Workplace& workplace, const JournalEntry& entry, bool trail,
                  double now);
    // Notes in the journal; a failure there is no failure of the action.
    void note(const std::function<void()>& keep);

    class Keeper;
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<Keeper> m_keeper;
};

} // namespace pelmar
