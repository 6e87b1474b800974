#pragma once

#include "store/sqlite.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace pelmar {

// A clock punch kept on the terminal while the database was out of reach.
struct JournalEntry
{
    enum class Punch
    {
        In,
        Out,
    };
    QString key; // random; the audit row of its write-back carries it
    qint64 employeeId = 0;
    QString fullName;
    Punch punch = Punch::In;
    double at = 0; // the terminal's clock at the click, a date serial
    QString workstation;
};

// What the terminal last knew of an employee who logged in on it.
struct KnownEmployee
{
    qint64 id = 0;
    QString fullName;
    std::optional<double> openSince; // clock-in of the shift they had open, date and time
    double seenAt = 0;               // their last log-in with the database in reach
    double hashedAt = 0;             // when the kept hash was made
};

// The terminal's own file for outages of the database: the punches saved
// while it was out of reach, and the employees who may log in meanwhile,
// each with a slow salted hash of their password (Argon2id), never the
// password. One file per database location, in the account's data folder,
// so that punches go back only to the database they were meant for.
//
// Not shared between threads: each thread opens its own; SQLite's locks
// keep them apart.
class Journal
{
public:
    static constexpr int MaxEntries = 10000;
    static constexpr int DefaultKeepDays = 14;

    // Opens the file at path, creating it and its folder when missing.
    // keepDays: how long a log-in is remembered and a punch may wait.
    Journal(const QString& path, int keepDays);
    ~Journal();

    // $XDG_DATA_HOME/PelmarEmployee/journal-<hash of location>.sqlite
    static QString pathFor(const QString& databaseLocation);

    int keepDays() const { return m_keepDays; }

    // The log-in cache. remember() hashes, which takes a tenth of a second
    // on purpose: call it off the window's thread.
    void remember(qint64 id, const QString& fullName, const QString& password, double now);
    // True when the employee's hash is fresh enough that a log-in needs no
    // new one; it then only notes the log-in and what is open.
    bool touch(qint64 id, std::optional<double> openSince, double now);
    void setOpenSince(qint64 id, std::optional<double> openSince);
    // The employee when they are remembered, not expired, and the password
    // matches; nullopt otherwise. known tells the two apart.
    std::optional<KnownEmployee> admit(qint64 id, const QString& password, double now, bool& known);
    std::optional<KnownEmployee> known(qint64 id) const;
    void forget(qint64 id);
    std::vector<KnownEmployee> remembered() const;

    // The punches. add() refuses (error 3035) when the journal is full or
    // its oldest punch has waited longer than keepDays.
    JournalEntry add(qint64 id, const QString& fullName, JournalEntry::Punch punch, double at);
    std::vector<JournalEntry> entries() const; // in the order they were punched
    std::optional<JournalEntry> newestFor(qint64 id) const;
    void remove(const QString& key);
    int size() const; // the punches still to be written
    // A punch the database refused for a reason of its own (not an outage):
    // kept, with the reason, for the office, and no longer tried.
    void setAside(const QString& key, const QString& reason);
    int setAsideCount() const;

private:
    std::shared_ptr<sql::Connection> m_db;
    int m_keepDays;
};

} // namespace pelmar
