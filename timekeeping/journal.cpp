#include "timekeeping/journal.h"

#include "platform/runerror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <sodium.h>

namespace pelmar {

namespace {

const char* const Schema =
    "CREATE TABLE IF NOT EXISTS Punches (EntryKey TEXT PRIMARY KEY, EmployeeID INTEGER NOT NULL, "
    "FullName TEXT NOT NULL, Punch TEXT NOT NULL, PunchedAt REAL NOT NULL, Workstation TEXT NOT NULL, "
    "Refused TEXT);"
    "CREATE INDEX IF NOT EXISTS PunchesByTime ON Punches (PunchedAt);"
    "CREATE TABLE IF NOT EXISTS Staff (EmployeeID INTEGER PRIMARY KEY, FullName TEXT NOT NULL, "
    "Hash TEXT NOT NULL, HashedAt REAL NOT NULL, SeenAt REAL NOT NULL);"
    // Kept apart from the hashes, which come later from another thread.
    "CREATE TABLE IF NOT EXISTS OpenShifts (EmployeeID INTEGER PRIMARY KEY, OpenSince REAL);";

// A log-in hash is made again after a day, so that a password changed where
// no trail saw it stops working offline within a day.
constexpr double RehashAfterDays = 1;

void ensureSodium()
{
    if (sodium_init() < 0)
        throw RunError(err::EngineFailure, QStringLiteral("The password library could not start."));
}

QString randomKey()
{
    ensureSodium();
    unsigned char bytes[16];
    randombytes_buf(bytes, sizeof bytes);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex());
}

std::shared_ptr<sql::Connection> openOrCreate(const QString& path)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw RunError(
            err::PathFileAccess,
            QStringLiteral("Cannot create '%1'.").arg(QDir::toNativeSeparators(info.absolutePath())));
    std::shared_ptr<sql::Connection> db =
        info.exists() ? sql::Connection::openPrivate(path) : sql::Connection::create(path);
    db->exec(QString::fromLatin1(Schema));
    return db;
}

JournalEntry entryOf(sql::Statement& row)
{
    return {row.columnText(0),
            row.columnInt(1),
            row.columnText(2),
            row.columnText(3) == QLatin1String("out") ? JournalEntry::Punch::Out : JournalEntry::Punch::In,
            row.columnDouble(4),
            row.columnText(5)};
}

// The punches still to be written: one the database refused is set aside.
const char* const EntryColumns = "SELECT EntryKey, EmployeeID, FullName, Punch, PunchedAt, Workstation FROM "
                                 "Punches WHERE Refused IS NULL ";

const char* const StaffColumns = "SELECT Staff.EmployeeID, FullName, SeenAt, OpenSince, HashedAt FROM Staff "
                                 "LEFT JOIN OpenShifts ON OpenShifts.EmployeeID = Staff.EmployeeID ";

KnownEmployee knownOf(sql::Statement& row)
{
    KnownEmployee known{row.columnInt(0), row.columnText(1), std::nullopt, row.columnDouble(2),
                        row.columnDouble(4)};
    if (row.columnType(3) != SQLITE_NULL)
        known.openSince = row.columnDouble(3);
    return known;
}

void bindOptional(sql::Statement& stmt, int index, std::optional<double> value)
{
    if (value)
        stmt.bind(index, *value);
    else
        stmt.bindNull(index);
}

} // namespace

Journal::Journal(const QString& path, int keepDays) : m_db(openOrCreate(path)), m_keepDays(keepDays) {}

Journal::~Journal() = default;

QString Journal::pathFor(const QString& databaseLocation)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QByteArray id =
        QCryptographicHash::hash(databaseLocation.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QDir(folder).filePath(
        QStringLiteral("PelmarEmployee/journal-%1.sqlite").arg(QString::fromLatin1(id.left(16))));
}

void Journal::remember(qint64 id, const QString& fullName, const QString& password, double now)
{
    ensureSodium();
    const QByteArray secret = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, secret.constData(), static_cast<unsigned long long>(secret.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw RunError(err::EngineFailure, QStringLiteral("Out of memory while keeping a log-in."));
    sql::Statement put(*m_db,
                       QStringLiteral("INSERT INTO Staff (EmployeeID, FullName, Hash, HashedAt, SeenAt) "
                                      "VALUES (?, ?, ?, ?, ?) ON CONFLICT (EmployeeID) DO UPDATE SET "
                                      "FullName = excluded.FullName, Hash = excluded.Hash, "
                                      "HashedAt = excluded.HashedAt, SeenAt = excluded.SeenAt"));
    put.bind(1, id);
    put.bind(2, fullName);
    put.bind(3, QString::fromLatin1(hash));
    put.bind(4, now);
    put.bind(5, now);
    put.step();
}

bool Journal::touch(qint64 id, std::optional<double> openSince, double now)
{
    setOpenSince(id, openSince);
    double hashedAt = 0;
    double seenAt = 0;
    {
        sql::Statement find(*m_db, QStringLiteral("SELECT HashedAt, SeenAt FROM Staff WHERE EmployeeID = ?"));
        find.bind(1, id);
        if (!find.step())
            return false;
        hashedAt = find.columnDouble(0);
        seenAt = find.columnDouble(1);
    }
    // The days kept count from the last log-in; an hour more or less is no matter.
    if (now - seenAt > 1.0 / 24) {
        sql::Statement seen(*m_db, QStringLiteral("UPDATE Staff SET SeenAt = ? WHERE EmployeeID = ?"));
        seen.bind(1, now);
        seen.bind(2, id);
        seen.step();
    }
    return now - hashedAt < RehashAfterDays;
}

void Journal::setOpenSince(qint64 id, std::optional<double> openSince)
{
    sql::Statement open(
        *m_db, QStringLiteral("INSERT INTO OpenShifts (EmployeeID, OpenSince) VALUES (?, ?) "
                              "ON CONFLICT (EmployeeID) DO UPDATE SET OpenSince = excluded.OpenSince"));
    open.bind(1, id);
    bindOptional(open, 2, openSince);
    open.step();
}

std::optional<KnownEmployee> Journal::admit(qint64 id, const QString& password, double now, bool& isKnown)
{
    sql::Statement find(*m_db, QStringLiteral("SELECT Hash, SeenAt FROM Staff WHERE EmployeeID = ?"));
    find.bind(1, id);
    isKnown = find.step() && now - find.columnDouble(1) <= m_keepDays;
    if (!isKnown)
        return std::nullopt;
    const QByteArray hash = find.columnText(0).toLatin1();
    find.reset(); // no read held open through the slow check
    ensureSodium();
    const QByteArray secret = password.toUtf8();
    if (password.isEmpty() || crypto_pwhash_str_verify(hash.constData(), secret.constData(),
                                                       static_cast<unsigned long long>(secret.size())) != 0)
        return std::nullopt;
    return known(id);
}

std::optional<KnownEmployee> Journal::known(qint64 id) const
{
    sql::Statement find(*m_db,
                        QString::fromLatin1(StaffColumns) + QStringLiteral("WHERE Staff.EmployeeID = ?"));
    find.bind(1, id);
    if (!find.step())
        return std::nullopt;
    return knownOf(find);
}

void Journal::forget(qint64 id)
{
    for (const char* table : {"Staff", "OpenShifts"}) {
        sql::Statement drop(*m_db,
                            QStringLiteral("DELETE FROM %1 WHERE EmployeeID = ?").arg(QLatin1String(table)));
        drop.bind(1, id);
        drop.step();
    }
}

std::vector<KnownEmployee> Journal::remembered() const
{
    sql::Statement all(*m_db, QString::fromLatin1(StaffColumns));
    std::vector<KnownEmployee> staff;
    while (all.step())
        staff.push_back(knownOf(all));
    return staff;
}

JournalEntry Journal::add(qint64 id, const QString& fullName, JournalEntry::Punch punch, double at)
{
    qint64 kept = 0;
    double oldest = 0;
    {
        // Done reading before the write: a read still open would keep its
        // lock, and SQLite refuses at once a write that would wait on
        // another writer meanwhile.
        sql::Statement count(*m_db, QStringLiteral("SELECT COUNT(*), MIN(PunchedAt) FROM Punches"));
        count.step();
        kept = count.columnInt(0);
        oldest = count.columnDouble(1);
    }
    if (kept >= MaxEntries)
        throw RunError(err::DiskFull,
                       QStringLiteral("This terminal already keeps %1 punches for the database. Nothing was "
                                      "saved: clock in on paper and tell the administrator.")
                           .arg(MaxEntries));
    if (kept > 0 && at - oldest > m_keepDays)
        throw RunError(err::DiskFull,
                       QStringLiteral("This terminal has kept punches for more than %1 days without reaching "
                                      "the database. Nothing was saved: clock in on paper and tell the "
                                      "administrator.")
                           .arg(m_keepDays));
    const JournalEntry entry{randomKey(), id, fullName, punch, at, QSysInfo::machineHostName()};

    sql::Statement put(*m_db, QStringLiteral("INSERT INTO Punches (EntryKey, EmployeeID, FullName, Punch, "
                                             "PunchedAt, Workstation) VALUES (?, ?, ?, ?, ?, ?)"));
    put.bind(1, entry.key);
    put.bind(2, entry.employeeId);
    put.bind(3, entry.fullName);
    put.bind(4, QString::fromLatin1(punch == JournalEntry::Punch::Out ? "out" : "in"));
    put.bind(5, entry.at);
    put.bind(6, entry.workstation);
    put.step();
    return entry;
}

std::vector<JournalEntry> Journal::entries() const
{
    sql::Statement all(*m_db,
                       QString::fromLatin1(EntryColumns) + QStringLiteral("ORDER BY PunchedAt, rowid"));
    std::vector<JournalEntry> entries;
    while (all.step())
        entries.push_back(entryOf(all));
    return entries;
}

std::optional<JournalEntry> Journal::newestFor(qint64 id) const
{
    sql::Statement newest(*m_db,
                          QString::fromLatin1(EntryColumns) +
                              QStringLiteral("AND EmployeeID = ? ORDER BY PunchedAt DESC, rowid DESC"));
    newest.bind(1, id);
    if (!newest.step())
        return std::nullopt;
    return entryOf(newest);
}

void Journal::remove(const QString& key)
{
    sql::Statement drop(*m_db, QStringLiteral("DELETE FROM Punches WHERE EntryKey = ?"));
    drop.bind(1, key);
    drop.step();
}

int Journal::size() const
{
    sql::Statement count(*m_db, QStringLiteral("SELECT COUNT(*) FROM Punches WHERE Refused IS NULL"));
    count.step();
    return static_cast<int>(count.columnInt(0));
}

void Journal::setAside(const QString& key, const QString& reason)
{
    sql::Statement refuse(*m_db, QStringLiteral("UPDATE Punches SET Refused = ? WHERE EntryKey = ?"));
    refuse.bind(1, reason);
    refuse.bind(2, key);
    refuse.step();
}

int Journal::setAsideCount() const
{
    sql::Statement count(*m_db, QStringLiteral("SELECT COUNT(*) FROM Punches WHERE Refused IS NOT NULL"));
    count.step();
    return static_cast<int>(count.columnInt(0));
}

} // namespace pelmar
