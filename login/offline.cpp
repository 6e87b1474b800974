#include "login/offline.h"

#include "platform/datetime.h"
#include "platform/runerror.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/schema.h"
#include "timekeeping/alertoutbox.h"
#include "timekeeping/clocking.h"
#include "timekeeping/timeaudit.h"
#include "workplace/workplace.h"

#include <QCoreApplication>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace pelmar {

namespace offline {

bool outOfReach(const RunError& error)
{
    switch (error.number()) {
    case err::ServerConnectionFailed:
    case err::ServerCallFailed:
    case err::CouldNotFindFile:
    case err::PathNotValid:
    case err::DiskOrNetwork:
    case err::Locked:
        return true;
    default:
        return false;
    }
}

QString savedMessage(double at)
{
    return QCoreApplication::translate(
               "pelmar::offline", "Saved on this terminal at %1. The database is out of reach; your time "
                                  "will be written when it is back.")
        .arg(dates::longTime(at));
}

QString unknownMessage(const RunError& cause, int keepDays)
{
    return QCoreApplication::translate("pelmar::offline",
                                       "The database is out of reach (Error %1: %2). Until it is back, only "
                                       "employees who logged in on this terminal in the last %3 days can "
                                       "log in here.")
        .arg(QString::number(cause.number()), cause.description(), QString::number(keepDays));
}

} // namespace offline

namespace {

// The trail's words for where and when a punch written back was punched.
QString describePunch(const JournalEntry& entry)
{
    return QStringLiteral("punched offline on %1 at %2 %3")
        .arg(entry.workstation, dates::shortDate(entry.at), dates::longTime(entry.at));
}

// A punch's date and time as the record stores them: to the second.
double punchedAt(double now)
{
    return dates::datePart(now) + timeOfDay(now);
}

// The shift the terminal believes open, as a record for the clock line.
TimeRecord openShift(const Employee& who, double since)
{
    TimeRecord shift;
    shift.personnelId = who.id;
    shift.tdate = Value::date(dates::datePart(since));
    shift.timeIn = Value::date(dates::timePart(since));
    shift.type = Value::text(QStringLiteral("Worked"));
    return shift;
}

} // namespace

// Notes what the database answered (log-ins with their hashes, open
// shifts) in the journal on a thread of its own, through a connection of
// its own, in the order it was told: the window never waits for the disk or
// the hash.
class OfflineClock::Keeper
{
public:
    Keeper(QString path, int keepDays) : m_path(std::move(path)), m_keepDays(keepDays)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~Keeper()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    using Job = std::function<void(Journal&)>;
    void add(Job job)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_all();
    }
    void settle()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
    }

private:
    void run()
    {
        std::unique_ptr<Journal> journal;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty())
                return;
            const Job job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_busy = true;
            lock.unlock();
            try {
                if (!journal)
                    journal = std::make_unique<Journal>(m_path, m_keepDays);
                job(*journal);
            } catch (const std::exception& error) {
                // The next log-in tries again; meanwhile what was kept before serves.
                qWarning("A log-in could not be kept for outages: %s", error.what());
            }
            lock.lock();
            m_busy = false;
            m_idle.notify_all();
        }
    }

    QString m_path;
    int m_keepDays;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread; // last: started once the members it uses exist
};

OfflineClock::OfflineClock(const QString& journalPath, int keepDays)
{
    if (keepDays <= 0)
        return;
    m_journal = std::make_unique<Journal>(journalPath, keepDays);
    m_keeper = std::make_unique<Keeper>(journalPath, keepDays);
}

OfflineClock::~OfflineClock() = default;

bool OfflineClock::covers(const RunError& error) const
{
    return m_journal && offline::outOfReach(error);
}

void OfflineClock::note(const std::function<void()>& keep)
{
    try {
        keep();
    } catch (const std::exception& error) {
        qWarning("The terminal's journal could not note a log-in or punch: %s", error.what());
    }
}

LogInResult OfflineClock::logIn(Workplace& workplace, const Value& employeeId, const QString& password,
                                double now, const Runner& run, bool& offline)
{
    const std::optional<RunError> unwritten = tryWriteBack(workplace, now, run);
    LogInResult result;
    offline = false;
    try {
        // The employee's own punches still kept decide, not the database
        // that lacks them.
        if (unwritten && m_journal->newestFor(employeeId.toInteger()))
            throw *unwritten;
        run([&] { result = pelmar::logIn(workplace, employeeId, password, now); });
    } catch (const RunError& error) {
        if (!covers(error))
            throw;
        result = logIn(employeeId, password, now, error);
        offline = result.employee.has_value();
        return result;
    }
    if (result.employee && m_journal)
        note([&] { loggedIn(*result.employee, password, result.openSince, now); });
    return result;
}

ActionResult OfflineClock::clock(Workplace& workplace, const Employee& who, bool in,
                                 std::optional<qint64> shiftId, double now, const Runner& run, bool& offline)
{
    ActionResult result;
    if (!offline) {
        try {
            if (in)
                run([&] { result = pelmar::clockIn(workplace, who, now); });
            else
                run([&] { result = pelmar::clockOut(workplace, who, shiftId.value_or(0), now); });
            if (result.written && m_journal)
                note([&] { clocked(who, in ? std::optional<double>(punchedAt(now)) : std::nullopt); });
            return result;
        } catch (const RunError& error) {
            if (!covers(error))
                throw;
            offline = true;
        }
    }
    return keep(who, in ? JournalEntry::Punch::In : JournalEntry::Punch::Out, now);
}

std::optional<RunError> OfflineClock::tryWriteBack(Workplace& workplace, double now, const Runner& run)
{
    if (pending() == 0)
        return std::nullopt;
    try {
        run([&] { writeBack(workplace, now); });
        return std::nullopt;
    } catch (const RunError& error) {
        if (!offline::outOfReach(error))
            qWarning("A punch kept on this terminal could not be written back: %s", error.what());
        // Kept as an outage, so that the log-in after it decides from the journal.
        return RunError(err::DiskOrNetwork, error.description());
    } catch (const std::exception& error) {
        qWarning("A punch kept on this terminal could not be written back: %s", error.what());
        return RunError(err::DiskOrNetwork, QString::fromLocal8Bit(error.what()));
    }
}

int OfflineClock::pending() const
{
    return m_journal ? m_journal->size() : 0;
}

void OfflineClock::settle()
{
    if (m_keeper)
        m_keeper->settle();
}

void OfflineClock::loggedIn(const Employee& who, const QString& password, std::optional<double> openSince,
                            double now)
{
    if (!m_keeper)
        return;
    m_keeper->add([id = who.id.toInteger(), name = who.fullName, password, openSince, now](Journal& journal) {
        if (!journal.touch(id, openSince, now))
            journal.remember(id, name, password, now);
    });
}

void OfflineClock::clocked(const Employee& who, std::optional<double> openSince)
{
    if (m_keeper)
        m_keeper->add(
            [id = who.id.toInteger(), openSince](Journal& journal) { journal.setOpenSince(id, openSince); });
}

LogInResult OfflineClock::logIn(const Value& employeeId, const QString& password, double now,
                                const RunError& cause)
{
    LogInResult result;
    bool known = false;
    const std::optional<KnownEmployee> admitted =
        m_journal ? m_journal->admit(employeeId.toInteger(), password, now, known) : std::nullopt;
    if (!admitted) {
        result.screen.notices.push_back(Notice::message(
            known ? wrongPassword() : offline::unknownMessage(cause, m_journal ? m_journal->keepDays() : 0)));
        return result;
    }
    const Employee who{employeeId, admitted->fullName};
    result.employee = who;
    // The journal's own punches are newer than anything read before.
    std::optional<double> openSince = admitted->openSince;
    if (const std::optional<JournalEntry> newest = m_journal->newestFor(admitted->id))
        openSince =
            newest->punch == JournalEntry::Punch::In ? std::optional<double>(newest->at) : std::nullopt;
    // A shift left open yesterday is still closed by its clock-out: the
    // write-back repairs it at midnight first. An older one is past that.
    if (openSince && dates::datePart(*openSince) >= dates::datePart(now) - 1) {
        result.screen.offer = ButtonOffer::ClockOut;
        result.screen.clockedIn = clockedInLine(openShift(who, *openSince));
        result.openSince = openSince;
    } else {
        result.screen.offer = ButtonOffer::ClockIn;
    }
    return result;
}

ActionResult OfflineClock::clockIn(const Employee& who, double now)
{
    return keep(who, JournalEntry::Punch::In, now);
}

ActionResult OfflineClock::clockOut(const Employee& who, double now)
{
    return keep(who, JournalEntry::Punch::Out, now);
}

ActionResult OfflineClock::keep(const Employee& who, JournalEntry::Punch punch, double now)
{
    const JournalEntry entry = m_journal->add(who.id.toInteger(), who.fullName, punch, punchedAt(now));
    ActionResult result;
    result.offer = ButtonOffer::Hidden;
    TimeRecord shift = openShift(who, entry.at);
    if (punch == JournalEntry::Punch::In) {
        result.clockedIn = clockedInLine(shift);
    } else {
        shift.timeOut = shift.timeIn;
        result.clockedOut = clockedOutLine(dates::datePart(entry.at), shift);
    }
    result.notices.push_back(Notice::message(offline::savedMessage(entry.at)));
    return result;
}

bool OfflineClock::writeOne(Database& db, const Workplace& workplace, const JournalEntry& entry, bool trail,
                            double now)
{
    TimeAudit audit(db, now);
    Transaction transaction(db);
    if (trail && audit::entryWritten(db, entry.key))
        return false;
    const Employee who{Value::integer(entry.employeeId), entry.fullName};
    const Repair repair = repairOpenShift(db, audit, workplace, who, entry.at);
    audit.offline(entry.key, describePunch(entry));
    ActionResult result;
    if (entry.punch == JournalEntry::Punch::In)
        punchIn(db, audit, who, entry.at, result);
    else if (repair.newest && repair.newest->isOpenShift())
        punchOut(db, audit, workplace, who, repair.newest->id, entry.at, result);
    else if (repair.newest)
        audit.note(TimeAudit::AlreadyClockedOut, *repair.newest);
    transaction.commit();
    return true;
}

int OfflineClock::writeBack(Workplace& workplace, double now)
{
    if (!m_journal)
        return 0;
    const std::vector<JournalEntry> entries = m_journal->entries();
    if (entries.empty())
        return 0;
    const auto db = workplace.open();
    // Asked before any transaction, as a failed look-up would end one.
    const bool trail = audit::available(*db);
    outbox::available(*db);
    int written = 0;
    for (const JournalEntry& entry : entries) {
        try {
            written += writeOne(*db, workplace, entry, trail, now) ? 1 : 0;
        } catch (const RunError& error) {
            if (offline::outOfReach(error))
                throw;
            // Refused for a reason of its own: kept for the office, and the
            // punches after it still go.
            qWarning("A punch kept on this terminal was refused: %s", error.what());
            m_journal->setAside(entry.key,
                                QStringLiteral("Error %1: %2").arg(error.number()).arg(error.description()));
            continue;
        }
        // Gone from the journal only once written: a crash between the two
        // leaves a punch the trail recognises next time.
        m_journal->remove(entry.key);
    }
    return written;
}

int OfflineClock::setAside() const
{
    return m_journal ? m_journal->setAsideCount() : 0;
}

void OfflineClock::reconcile(Workplace& workplace, double now)
{
    if (!m_journal)
        return;
    const std::vector<KnownEmployee> kept = m_journal->remembered();
    if (kept.empty() || !workplace.employees().hasRecordset())
        return;
    std::vector<qint64> staff;
    Recordset& employees = workplace.employees().recordset();
    const auto idColumn = static_cast<size_t>(employees.columnIndex(cols::EmployeeID));
    const auto leftColumn = static_cast<size_t>(employees.columnIndex(cols::TerminationDate));
    for (int r = 0; employees.moveTo(r); ++r) {
        if (employees.row(r).at(leftColumn).isNull())
            staff.push_back(employees.row(r).at(idColumn).toInteger());
    }
    const auto db = workplace.open();
    // Resets since the oldest kept log-in could have been hashed.
    const std::vector<audit::Reset> resets = audit::available(*db)
                                                 ? audit::passwordResets(*db, now - m_journal->keepDays() - 1)
                                                 : std::vector<audit::Reset>();
    for (const KnownEmployee& known : kept) {
        const bool onStaff = std::find(staff.begin(), staff.end(), known.id) != staff.end();
        const bool resetSince = std::any_of(resets.begin(), resets.end(), [&](const audit::Reset& reset) {
            return reset.employeeId == known.id && reset.when >= known.hashedAt;
        });
        if (!onStaff || resetSince)
            m_journal->forget(known.id);
    }
}

} // namespace pelmar
