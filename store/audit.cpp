#include "store/audit.h"

#include "platform/datetime.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "store/postgres.h"
#include "store/serverrules.h"

#include <QRegularExpression>
#include <QSysInfo>
#include <map>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace pelmar::audit {

namespace {

// Workstations of a site may open the file from several threads of one
// process (tests do); the cache is shared between them.
std::mutex cacheMutex;
std::map<QString, bool>& cache()
{
    static std::map<QString, bool> known;
    return known;
}

void remember(const QString& path, bool present)
{
    const std::lock_guard lock(cacheMutex);
    cache()[path] = present;
}

sql::PgSession* server(Database& db)
{
    return dynamic_cast<sql::PgSession*>(&db.session());
}

// Column types that SQLite reads as the program does. "When" is a reserved
// word, so it is always written quoted (as [When] in the program's
// dialect). AuditID keeps the order of writing, which several rows of one
// second need; SQLite numbers it.
const char* const CreateTable =
    "CREATE TABLE IF NOT EXISTS TimeAudit (AuditID INTEGER PRIMARY KEY, [When] DOUBLE PRECISION NOT NULL, "
    "Workstation TEXT, Action TEXT NOT NULL, TimeID INTEGER, EmployeeID INTEGER, "
    "Before TEXT, After TEXT, Account TEXT, Address TEXT, EntryKey TEXT, Offline TEXT)";
const char* const CreateIndex = "CREATE INDEX IF NOT EXISTS TimeAuditByWhen ON TimeAudit ([When])";
// A journal's punch is written back once, whatever copy of it comes back.
const char* const CreateEntryIndex =
    "CREATE UNIQUE INDEX IF NOT EXISTS TimeAuditByEntry ON TimeAudit (EntryKey)";

// A trail made before it named the account, or the journal's punches.
void addMissingColumns(Database& db)
{
    const QStringList columns = db.session().describe(QStringLiteral("TimeAudit")).columns;
    if (columns.contains(QLatin1String("EntryKey"), Qt::CaseInsensitive))
        return;
    for (const char* column : {"Account", "Address", "EntryKey", "Offline"}) {
        if (!columns.contains(QLatin1String(column), Qt::CaseInsensitive))
            db.execute(QStringLiteral("ALTER TABLE TimeAudit ADD COLUMN %1 TEXT").arg(QLatin1String(column)));
    }
    db.execute(QString::fromUtf8(CreateEntryIndex));
}

// The file's writer as the system knows them.
QString account()
{
    if (const passwd* entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

} // namespace

void createTable(Database& db)
{
    if (sql::PgSession* pg = server(db)) {
        sql::installServerRules(*pg);
        return;
    }
    db.execute(QString::fromUtf8(CreateTable));
    db.execute(QString::fromUtf8(CreateIndex));
    addMissingColumns(db);
    remember(db.path(), true);
}

bool available(Database& db)
{
    if (sql::PgSession* pg = server(db))
        return pg->hasServerRules();
    {
        const std::lock_guard lock(cacheMutex);
        const auto known = cache().find(db.path());
        if (known != cache().end())
            return known->second;
    }
    bool present = true;
    try {
        db.openRecordset(QStringLiteral("SELECT TimeID FROM TimeAudit WHERE 1 = 0"));
        addMissingColumns(db);
    } catch (const RunError& e) {
        if (e.number() != err::InputTableNotFound)
            throw; // a busy or broken file says nothing about the table
        present = false;
    }
    remember(db.path(), present);
    return present;
}

void label(Database& db, const QString& action)
{
    if (sql::PgSession* pg = server(db))
        pg->run(QStringLiteral("SELECT set_config('pelmar.action', $1, true)"), {Value::text(action)});
}

void write(Database& db, const Entry& entry, const Offline& offline)
{
    if (server(db))
        return;
    const auto orNull = [](const QString& text) {
        return text.isEmpty() ? Value::null() : Value::text(text);
    };
    db.execute(
        QStringLiteral("INSERT INTO TimeAudit ([When], Workstation, Action, TimeID, EmployeeID, "
                       "Before, After, Account, EntryKey, Offline) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {Value::number(entry.when), Value::text(QSysInfo::machineHostName()), Value::text(entry.action),
         entry.timeId.isNull() ? Value::null() : Value::integer(entry.timeId.toInteger()),
         entry.employeeId.isNull() ? Value::null() : Value::integer(entry.employeeId.toInteger()),
         entry.before, entry.after, Value::text(account()), orNull(offline.entryKey),
         orNull(offline.description)});
}

void markOffline(Database& db, const QString& key, const QString& description)
{
    if (sql::PgSession* pg = server(db))
        pg->run(QStringLiteral(
                    "SELECT set_config('pelmar.entry', $1, true), set_config('pelmar.offline', $2, true)"),
                {Value::text(key), Value::text(description)});
}

bool entryWritten(Database& db, const QString& key)
{
    if (sql::PgSession* pg = server(db)) {
        sql::PgResultHandle found =
            pg->run(QStringLiteral("SELECT pelmar_entry_written($1)"), {Value::text(key)});
        return PQgetvalue(found.get(), 0, 0)[0] == 't';
    }
    // Keys are the journal's own hex digits; anything else is no key of ours.
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{1,64}$"));
    if (!hex.match(key).hasMatch())
        return false;
    return !db.readAll(QStringLiteral("SELECT AuditID FROM TimeAudit WHERE EntryKey = '%1'").arg(key))
                .empty();
}

std::vector<Reset> passwordResets(Database& db, double since)
{
    std::vector<Reset> resets;
    if (sql::PgSession* pg = server(db)) {
        sql::PgResultHandle found =
            pg->run(QStringLiteral("SELECT * FROM pelmar_password_resets($1)"), {Value::number(since)});
        for (int i = 0; i < PQntuples(found.get()); ++i)
            resets.push_back({QByteArray(PQgetvalue(found.get(), i, 0)).toLongLong(),
                              QByteArray(PQgetvalue(found.get(), i, 1)).toDouble()});
        return resets;
    }
    for (const sql::Row& row :
         db.readAll(QStringLiteral("SELECT EmployeeID, MAX([When]) FROM TimeAudit WHERE Action = '%1' AND "
                                   "EmployeeID IS NOT NULL AND [When] >= %2 GROUP BY EmployeeID")
                        .arg(actions::PasswordReset, QString::number(since, 'f', 6))))
        resets.push_back({row.at(0).toInteger(), row.at(1).toDouble()});
    return resets;
}

void note(Database& db, const Entry& entry, const Offline& offline)
{
    if (sql::PgSession* pg = server(db)) {
        if (pg->hasServerRules())
            pg->run(QStringLiteral("SELECT pelmar_note($1, $2)"),
                    {Value::text(entry.action), Value::integer(entry.timeId.toInteger())});
        return;
    }
    write(db, entry, offline);
}

QString describeEmployee(const QString& fullName, const Value& terminationDate)
{
    return QStringLiteral("FullName=%1; TerminationDate=%2").arg(fullName, terminationDate.toTextOrEmpty());
}

QString describeSettings(const Value& notifyHours, const QString& server, const QString& user,
                         const QString& email)
{
    return QStringLiteral("WorkHoursNotify=%1; smtpserver=%2; smtpusername=%3; smtpemail=%4")
        .arg(notifyHours.toTextOrEmpty(), server, user, email);
}

std::vector<Row> read(Database& db, const Filter& filter)
{
    // Bounds as numbers: the column holds serials, not the dialect's dates.
    QString sql = QStringLiteral(
        "SELECT TimeAudit.[When], TimeAudit.Workstation, TimeAudit.Account, TimeAudit.Address, "
        "TimeAudit.Action, TimeAudit.TimeID, TimeAudit.EmployeeID, Personnel.FullName, "
        "TimeAudit.Before, TimeAudit.After, TimeAudit.Offline FROM TimeAudit LEFT JOIN Personnel ON "
        "Personnel.EmployeeID = TimeAudit.EmployeeID WHERE TimeAudit.[When] >= ? AND TimeAudit.[When] < ?");
    std::vector<Value> params{Value::number(dates::datePart(filter.from)),
                              Value::number(dates::datePart(filter.to) + 1)};
    if (filter.employeeId != 0) {
        sql += QStringLiteral(" AND TimeAudit.EmployeeID = ?");
        params.push_back(Value::integer(filter.employeeId));
    }
    if (!filter.action.isEmpty()) {
        sql += QStringLiteral(" AND TimeAudit.Action = ?");
        params.push_back(Value::text(filter.action));
    }
    std::vector<Row> rows;
    for (const std::vector<Value>& v :
         db.readAll(sql + QStringLiteral(" ORDER BY TimeAudit.AuditID"), params)) {
        rows.push_back({v[0].toDouble(), v[1].toTextOrEmpty(), v[2].toTextOrEmpty(), v[3].toTextOrEmpty(),
                        v[4].toTextOrEmpty(), v[5], v[6], v[7].toTextOrEmpty(), v[8], v[9],
                        v[10].toTextOrEmpty()});
    }
    return rows;
}

} // namespace pelmar::audit
