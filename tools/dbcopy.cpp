#include "tools/dbcopy.h"

#include "admin/refusal.h"
#include "platform/runerror.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/postgres.h"
#include "store/schema.h"
#include "store/serverrules.h"

#include <QRegularExpression>
#include <vector>

namespace pelmar {

namespace {

using UsageError = admin::Refusal;
using Table = std::pair<const char*, const char*>; // a table and the key that orders it

// What a copy takes, in an order that never reaches a row before the row
// it names, each with the key that orders it; the audit trail and the
// outbox when the source has them.
const Table CopiedTables[] = {
    {"Personnel", "EmployeeID"}, {"Time", "TimeID"}, {"CustomSettings", "SettingsID"}};
const Table AuditTable = {"TimeAudit", "AuditID"};
const Table OutboxTable = {"AlertOutbox", "AlertID"};

qint64 rowCount(sql::Session& session, const QString& table)
{
    std::vector<sql::Row> rows;
    session.select(session.translate(QStringLiteral("SELECT COUNT(*) FROM [%1]").arg(table)), false, 1)
        ->read(0, 1, rows);
    return rows.at(0).at(0).toInteger();
}

bool hasTable(sql::Session& session, const Table& table)
{
    return !session.describe(QString::fromLatin1(table.first)).columns.isEmpty();
}

// Readies the target's tables for the rows and returns the tables to copy.
// On a server, the copied rows are no one's change: the trail is copied as
// it stands, and the triggers come back after the rows (restoreServerRules).
std::vector<Table> prepareTarget(sql::Session& reader, const std::shared_ptr<sql::Session>& target,
                                 bool hasTables)
{
    sql::Session& writer = *target;
    auto* serverTarget = dynamic_cast<sql::PgSession*>(&writer);
    if (auto* serverSource = dynamic_cast<sql::PgSession*>(&reader))
        serverSource->allowLongStatements();
    if (serverTarget)
        serverTarget->allowLongStatements();
    if (!hasTables)
        sql::createTables(writer);
    sql::createOutbox(writer);
    std::vector<Table> tables(std::begin(CopiedTables), std::end(CopiedTables));
    const bool audited = hasTable(reader, AuditTable);
    if (serverTarget) {
        sql::installServerRules(*serverTarget);
        serverTarget->exec(QStringLiteral(
            "DROP TRIGGER pelmar_guard ON \"time\"; DROP TRIGGER pelmar_audit ON \"time\"; "
            "DROP TRIGGER pelmar_audit ON personnel; DROP TRIGGER pelmar_audit ON customsettings"));
    } else if (audited) {
        Database database(target);
        audit::createTable(database);
    }
    if (audited)
        tables.push_back(AuditTable);
    if (hasTable(reader, OutboxTable))
        tables.push_back(OutboxTable);
    // The target's own settings row gives way to the source's.
    writer.write(writer.translate(QStringLiteral("DELETE FROM [CustomSettings]")), {});
    return tables;
}

// The server's triggers back, and new time records, audit rows and alerts
// numbered after the copied keys.
void restoreServerRules(sql::PgSession& target)
{
    sql::installServerRules(target);
    target.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('time', 'timeid'), "
                               "COALESCE(MAX(timeid), 0) + 1, false) FROM time; "
                               "SELECT setval(pg_get_serial_sequence('timeaudit', 'auditid'), "
                               "COALESCE(MAX(auditid), 0) + 1, false) FROM timeaudit; "
                               "SELECT setval(pg_get_serial_sequence('alertoutbox', 'alertid'), "
                               "COALESCE(MAX(alertid), 0) + 1, false) FROM alertoutbox"));
}

// Writes rows to table's columns, many rows a statement, well within both
// engines' limit of marks.
void insertRows(sql::Session& writer, const QString& table, const QStringList& columns,
                const std::vector<sql::Row>& rows)
{
    const int perInsert = std::max(1, 2000 / static_cast<int>(columns.size()));
    const QString row =
        QLatin1Char('(') + QStringList(columns.size(), QStringLiteral("?")).join(',') + QLatin1Char(')');
    for (size_t at = 0; at < rows.size(); at += static_cast<size_t>(perInsert)) {
        const size_t n = std::min(rows.size() - at, static_cast<size_t>(perInsert));
        std::vector<Value> params;
        params.reserve(n * static_cast<size_t>(columns.size()));
        for (size_t r = at; r < at + n; ++r)
            params.insert(params.end(), rows[r].begin(), rows[r].end());
        writer.write(writer.translate(
                         QStringLiteral("INSERT INTO [%1] (%2) VALUES %3")
                             .arg(table, columns.join(','), QStringList(static_cast<int>(n), row).join(','))),
                     params);
    }
}

void showProgress(QTextStream& err, const QString& table, qint64 copied, qint64 total, const char* end)
{
    err << "\r" << table << ": " << copied << " of " << total << " rows" << end;
    err.flush();
}

void copyTable(sql::Session& reader, sql::Session& writer, const QString& table, const QString& key,
               bool progress, QTextStream& err)
{
    const qint64 total = rowCount(reader, table);
    // The columns both sides have, in the target's order.
    const QStringList sourceColumns = reader.describe(table).columns;
    QStringList columns;
    for (const QString& c : writer.describe(table).columns) {
        if (sourceColumns.contains(c, Qt::CaseInsensitive))
            columns << QLatin1Char('[') + c + QLatin1Char(']');
    }
    const int keyColumn = static_cast<int>(columns.indexOf(
        QRegularExpression(QStringLiteral("\\[%1\\]").arg(key), QRegularExpression::CaseInsensitiveOption)));
    if (keyColumn < 0)
        throw RunError::of(err::ItemNotFound);
    qint64 copied = 0;
    Value last = Value::null();
    for (;;) {
        // Read by key rather than by offset, so that every batch is cheap.
        const QString where =
            last.isNull() ? QString()
                          : QStringLiteral(" WHERE [%1] > %2").arg(key, QString::number(last.toInteger()));
        std::vector<sql::Row> rows;
        reader
            .select(reader.translate(QStringLiteral("SELECT %1 FROM [%2]%3 ORDER BY [%4] LIMIT 4096")
                                         .arg(columns.join(','), table, where, key)),
                    false, 4096)
            ->read(0, 4096, rows);
        if (rows.empty())
            break;
        insertRows(writer, table, columns, rows);
        copied += static_cast<qint64>(rows.size());
        last = rows.back()[static_cast<size_t>(keyColumn)];
        if (progress)
            showProgress(err, table, copied, total, "");
    }
    if (progress)
        showProgress(err, table, copied, total, "\n");
    const qint64 written = rowCount(writer, table);
    if (written != total)
        throw UsageError{QStringLiteral("%1: %2 rows to copy but %3 in the target; nothing was copied.")
                             .arg(table, QString::number(total), QString::number(written))};
}

} // namespace

void copyDatabase(sql::Session& reader, const std::shared_ptr<sql::Session>& target, bool progress,
                  QTextStream& err)
{
    sql::Session& writer = *target;
    const bool hasTables = !sql::existingTable(writer).isEmpty();
    if (hasTables) {
        for (const QString& table : {QStringLiteral("Personnel"), QStringLiteral("Time")}) {
            if (rowCount(writer, table) > 0)
                throw UsageError{QStringLiteral("The target already holds records; nothing was copied.")};
        }
    }
    // One snapshot of the source, so that the counts and the rows agree.
    const bool server = isServerLocation(reader.location());
    reader.exec(server ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                       : QStringLiteral("BEGIN"));
    writer.begin();
    try {
        for (const auto& [name, key] : prepareTarget(reader, target, hasTables))
            copyTable(reader, writer, QString::fromLatin1(name), QString::fromLatin1(key), progress, err);
        if (auto* serverTarget = dynamic_cast<sql::PgSession*>(&writer))
            restoreServerRules(*serverTarget);
        writer.commit();
    } catch (...) {
        writer.rollback();
        reader.rollback();
        throw;
    }
    reader.rollback();
    // The planner's figures now, not when autovacuum comes round: the
    // terminals' first queries read the indexes from the start.
    if (isServerLocation(writer.location()))
        writer.exec(QStringLiteral("ANALYZE"));
}

} // namespace pelmar
