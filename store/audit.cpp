#include "store/audit.h"

#include "platform/runerror.h"
#include "store/engine.h"

#include <QString>
#include <map>
#include <mutex>

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

// Column types that both engines read the same way. "When" is a reserved
// word, so it is always written quoted (as [When] in the program's dialect).
// AuditID keeps the order of writing, which several rows of one second need;
// the writer numbers it, since the engines number keys differently.
const char* const CreateTable =
    "CREATE TABLE IF NOT EXISTS TimeAudit (AuditID INTEGER PRIMARY KEY, [When] DOUBLE PRECISION NOT NULL, "
    "Workstation TEXT, Action TEXT NOT NULL, TimeID INTEGER, EmployeeID INTEGER, "
    "Before TEXT, After TEXT)";
const char* const CreateIndex = "CREATE INDEX IF NOT EXISTS TimeAuditByWhen ON TimeAudit ([When])";

} // namespace

void createTable(Database& db)
{
    db.execute(QString::fromUtf8(CreateTable));
    db.execute(QString::fromUtf8(CreateIndex));
    remember(db.path(), true);
}

bool available(Database& db)
{
    {
        const std::lock_guard lock(cacheMutex);
        const auto known = cache().find(db.path());
        if (known != cache().end())
            return known->second;
    }
    bool present = true;
    try {
        db.openRecordset(QStringLiteral("SELECT TimeID FROM TimeAudit WHERE 1 = 0"));
    } catch (const RunError& e) {
        if (e.number() != err::InputTableNotFound)
            throw; // a busy or broken file says nothing about the table
        present = false;
    }
    remember(db.path(), present);
    return present;
}

void write(Database& db, const Entry& entry)
{
    // The caller's write transaction holds the file, so the next number is ours.
    const Value last = db.openRecordset(QStringLiteral("SELECT MAX(AuditID) AS LastID FROM TimeAudit"))
                           ->field(QStringLiteral("LastID"));
    db.execute(
        QStringLiteral("INSERT INTO TimeAudit (AuditID, [When], Workstation, Action, TimeID, EmployeeID, "
                       "Before, After) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
        {Value::integer(last.isNull() ? 1 : last.toInteger() + 1), Value::number(entry.when),
         Value::text(entry.workstation), Value::text(entry.action), Value::integer(entry.timeId),
         entry.employeeId.isNull() ? Value::null() : Value::integer(entry.employeeId.toInteger()),
         entry.before, entry.after});
}

std::vector<Row> read(Database& db, double from, double to)
{
    // Bounds as numbers: the column holds serials, not the dialect's dates.
    const auto rs = db.openRecordset(
        QStringLiteral("SELECT [When], Workstation, Action, TimeID, EmployeeID, Before, After FROM TimeAudit "
                       "WHERE [When] >= %1 AND [When] < %2 ORDER BY AuditID")
            .arg(QString::number(from, 'f', 0), QString::number(to + 1, 'f', 0)));
    std::vector<Row> rows;
    for (int r = 0; rs->moveTo(r); ++r) {
        const std::vector<Value>& v = rs->row(r);
        rows.push_back({v[0].toDouble(), v[1].toTextOrEmpty(), v[2].toTextOrEmpty(), v[3], v[4], v[5], v[6]});
    }
    return rows;
}

} // namespace pelmar::audit
