#include "timekeeping/alertoutbox.h"

#include "platform/runerror.h"
#include "store/engine.h"

#include <QCoreApplication>
#include <algorithm>
#include <map>
#include <mutex>

namespace pelmar::outbox {

namespace {

constexpr double SecondsPerDay = 86400;
// Longer than any one send (connect and send time-outs) takes.
constexpr double ClaimSeconds = 5 * 60;
constexpr double LongestDelaySeconds = 30 * 60;
constexpr double TriedForDays = 7;

std::mutex cacheMutex;
std::map<QString, bool>& cache()
{
    static std::map<QString, bool> known;
    return known;
}

} // namespace

bool available(Database& db)
{
    {
        const std::lock_guard lock(cacheMutex);
        if (const auto known = cache().find(db.path()); known != cache().end())
            return known->second;
    }
    bool present = true;
    try {
        db.openRecordset(QStringLiteral("SELECT AlertID FROM AlertOutbox WHERE 1 = 0"));
    } catch (const RunError& e) {
        // A server's terminals granted before the outbox can't read it either.
        if (e.number() != err::InputTableNotFound && e.number() != err::ReadOnly)
            throw;
        present = false;
    }
    const std::lock_guard lock(cacheMutex);
    cache()[db.path()] = present;
    return present;
}

QString message(const QString& fullName, const Value& shiftDate)
{
    return QStringLiteral("The login/logout times for ") + fullName + QLatin1Char('\r') +
           QStringLiteral(" on ") + shiftDate.toTextOrEmpty() + QStringLiteral(" are unusual.");
}

qint64 enqueue(Database& db, const Value& employeeId, qint64 timeId, const QString& fullName,
               const Value& shiftDate, double now)
{
    db.execute(
        QStringLiteral("INSERT INTO AlertOutbox (EmployeeID, TimeID, FullName, ShiftDate, Message, State, "
                       "Tries, Created, NextTry) VALUES (?, ?, ?, ?, ?, ?, 0, ?, ?)"),
        {employeeId.isNull() ? Value::null() : Value::integer(employeeId.toInteger()), Value::integer(timeId),
         Value::text(fullName), shiftDate.isNull() ? Value::null() : Value::date(shiftDate.toDouble()),
         Value::text(message(fullName, shiftDate)), Value::text(Pending), Value::number(now),
         Value::number(now)});
    return db.lastInsertId();
}

std::optional<Claimed> claim(Database& db, qint64 id, double now)
{
    Transaction transaction(db);
    const int taken = db.execute(
        QStringLiteral("UPDATE AlertOutbox SET ClaimedUntil = ?, Tries = Tries + 1 WHERE AlertID = ? AND "
                       "State = ? AND (ClaimedUntil IS NULL OR ClaimedUntil < ?)"),
        {Value::number(now + ClaimSeconds / SecondsPerDay), Value::integer(id), Value::text(Pending),
         Value::number(now)});
    if (taken != 1)
        return std::nullopt;
    const auto rs =
        db.openRecordset(QStringLiteral("SELECT Message, Tries FROM AlertOutbox WHERE AlertID = %1").arg(id));
    Claimed claimed{id, rs->field(QStringLiteral("Message")).toTextOrEmpty(),
                    static_cast<int>(rs->field(QStringLiteral("Tries")).toInteger())};
    transaction.commit();
    return claimed;
}

std::vector<qint64> due(Database& db, double now)
{
    std::vector<qint64> ids;
    for (const sql::Row& row :
         db.readAll(QStringLiteral("SELECT AlertID FROM AlertOutbox WHERE State = '%1' AND NextTry <= %2 AND "
                                   "(ClaimedUntil IS NULL OR ClaimedUntil < %2) ORDER BY AlertID")
                        .arg(Pending, QString::number(now, 'f', 8))))
        ids.push_back(row.at(0).toInteger());
    return ids;
}

void markSent(Database& db, qint64 id, double now)
{
    Transaction transaction(db);
    db.execute(
        QStringLiteral("UPDATE AlertOutbox SET State = ?, SentAt = ?, ClaimedUntil = NULL, LastError = "
                       "NULL WHERE AlertID = ?"),
        {Value::text(Sent), Value::number(now), Value::integer(id)});
    transaction.commit();
}

double retryDelay(int tries)
{
    bool ok = false;
    const double first = qEnvironmentVariable("PELMAR_ALERT_RETRY_SECONDS").toDouble(&ok);
    double delay = ok && first > 0 ? first : 60;
    for (int i = 1; i < tries && delay < LongestDelaySeconds; ++i)
        delay *= 2;
    return std::min(delay, LongestDelaySeconds);
}

void markFailed(Database& db, qint64 id, double now, const QString& error, bool retry)
{
    Transaction transaction(db);
    const auto rs =
        db.openRecordset(QStringLiteral("SELECT Created, Tries FROM AlertOutbox WHERE AlertID = %1").arg(id));
    if (rs->recordCount() == 0)
        return;
    const bool givenUp = !retry || now - rs->field(QStringLiteral("Created")).toDouble() >= TriedForDays;
    const int tries = static_cast<int>(rs->field(QStringLiteral("Tries")).toInteger());
    db.execute(
        QStringLiteral("UPDATE AlertOutbox SET State = ?, LastError = ?, ClaimedUntil = NULL, NextTry = ? "
                       "WHERE AlertID = ?"),
        {Value::text(givenUp ? Failed : Pending), Value::text(error),
         Value::number(now + retryDelay(tries) / SecondsPerDay), Value::integer(id)});
    transaction.commit();
}

std::vector<Row> list(Database& db, double from, double to)
{
    std::vector<Row> rows;
    for (const sql::Row& r : db.readAll(
             QStringLiteral("SELECT AlertID, EmployeeID, FullName, ShiftDate, State, Tries, LastError, "
                            "Created, SentAt FROM AlertOutbox WHERE Created >= %1 AND Created < %2 "
                            "ORDER BY AlertID")
                 .arg(QString::number(from, 'f', 0), QString::number(to + 1, 'f', 0))))
        rows.push_back({r[0].toInteger(), r[1], r[2].toTextOrEmpty(), r[3], r[4].toTextOrEmpty(),
                        static_cast<int>(r[5].toInteger()), r[6].toTextOrEmpty(), r[7].toDouble(), r[8]});
    return rows;
}

void resend(Database& db, qint64 id, double now)
{
    Transaction transaction(db);
    if (db.execute(
            QStringLiteral("UPDATE AlertOutbox SET State = ?, NextTry = ?, ClaimedUntil = NULL, Created = "
                           "CASE WHEN Created < ? THEN ? ELSE Created END WHERE AlertID = ?"),
            {Value::text(Pending), Value::number(now), Value::number(now - TriedForDays), Value::number(now),
             Value::integer(id)}) != 1)
        throw RunError(err::ItemNotFound,
                       QCoreApplication::translate("pelmar::outbox", "There is no alert %1.").arg(id));
    transaction.commit();
}

} // namespace pelmar::outbox
