#pragma once

#include "platform/value.h"

#include <QString>
#include <optional>
#include <vector>

namespace pelmar {

class Database;

// The alerts' outbox: an alert is a row of AlertOutbox, written in the
// transaction of the clock-out or repair that calls for it, so that it
// exists exactly when its cause does. Any terminal sends it: it claims the
// row first, so that two never send one alert, and a failed send is tried
// again later, ever less often, until it is sent or a week has passed.
// Databases made before the outbox have no table until `pelmar-db upgrade`;
// their alerts are sent once, at once, as before.
namespace outbox {

inline const QString Pending = QStringLiteral("pending");
inline const QString Sent = QStringLiteral("sent");
inline const QString Failed = QStringLiteral("failed");

// Whether the database has the outbox. Asked once per database, so call it
// before a transaction begins.
bool available(Database& db);

// Adds the alert for the shift, pending and due at once, inside the
// caller's transaction; returns its key.
qint64 enqueue(Database& db, const Value& employeeId, qint64 timeId, const QString& fullName,
               const Value& shiftDate, double now);

// An alert as one send takes it.
struct Claimed
{
    qint64 id = 0;
    QString message;
    int tries = 0; // this send included
};
// Takes a pending alert for one send, in a transaction of its own: nobody
// else takes it until the claim runs out. Nothing when it is sent, failed
// for good, or claimed by another.
std::optional<Claimed> claim(Database& db, qint64 id, double now);
// The pending alerts due by now and not claimed, oldest first.
std::vector<qint64> due(Database& db, double now);
void markSent(Database& db, qint64 id, double now);
// A send that failed: tried again after the back-off, or failed for good
// after a week of tries, or at once when it can't succeed by trying again.
void markFailed(Database& db, qint64 id, double now, const QString& error, bool retry = true);
// Seconds until the try after the given number of tries: 1, 2, 4 ... up to
// 30 minutes, the first from PELMAR_ALERT_RETRY_SECONDS when set.
double retryDelay(int tries);

// The outbox's rows created on the dates from..to, for the office.
struct Row
{
    qint64 id = 0;
    Value employeeId;
    QString fullName;
    Value shiftDate;
    QString state;
    int tries = 0;
    QString lastError;
    double created = 0;
    Value sentAt;
};
std::vector<Row> list(Database& db, double from, double to);
// Puts an alert back in the queue, due at once, whatever its state.
void resend(Database& db, qint64 id, double now);

// The mail text of an alert: one bare carriage return between the name and
// the date, as the clock has always sent it.
QString message(const QString& fullName, const Value& shiftDate);

} // namespace outbox
} // namespace pelmar
