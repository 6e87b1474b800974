#pragma once

#include "timekeeping/timerecords.h"

#include <QString>
#include <optional>

namespace pelmar {

class Database;

// What a change to a time record leaves in the audit trail. Made on the
// connection of the change before its transaction begins; write() then goes
// into that transaction, so the trail holds a row exactly when the change
// was saved. Without the table (older files) write() does nothing.
class TimeAudit
{
public:
    TimeAudit(Database& db, double now);

    void write(const QString& action, const std::optional<TimeRecord>& before,
               const std::optional<TimeRecord>& after);

    // The record's fields as the trail keeps them:
    // "Tdate=12/3/2026; TimeIn=9:00:00 AM; TimeOut=; Thours=; Type=Worked".
    static QString describe(const TimeRecord& record);

    inline static const QString ClosedAtMidnight = QStringLiteral("closed at midnight");
    inline static const QString ReopenedAfterMidnight = QStringLiteral("reopened at 12:01 am");
    inline static const QString AlreadyClockedIn = QStringLiteral("already clocked in");
    inline static const QString AlreadyClockedOut = QStringLiteral("already clocked out");
    inline static const QString Edited = QStringLiteral("edited");
    inline static const QString Added = QStringLiteral("added");
    inline static const QString Deleted = QStringLiteral("deleted");

private:
    Database& m_db;
    double m_now;
    bool m_enabled;
};

} // namespace pelmar
