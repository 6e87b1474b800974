#pragma once

#include "timekeeping/timerecords.h"

#include <QString>
#include <optional>

namespace pelmar {

class Database;

// What a change to a time record leaves in the audit trail. Made on the
// connection of the change before its transaction begins. Inside it, each
// change is named first (change()), then written, then recorded
// (changed()), so that the trail holds its row exactly when the change was
// saved: on a server the trigger writes it under that name, on a file
// changed() does. Without a trail (older files) both do nothing.
class TimeAudit
{
public:
    TimeAudit(Database& db, double now);

    void change(const QString& action);
    void changed(const std::optional<TimeRecord>& before, const std::optional<TimeRecord>& after);
    // An attempt that changed nothing, kept all the same.
    void note(const QString& action, const TimeRecord& record);
    // The rows from here on are a punch written back from a terminal's
    // journal: they carry its key and say where and when it was punched.
    void offline(const QString& entryKey, const QString& description);

    // The record's fields as the trail keeps them:
    // "Tdate=12/3/2026; TimeIn=9:00:00 AM; TimeOut=; Thours=; Type=Worked".
    static QString describe(const TimeRecord& record);

    inline static const QString ClockedIn =
        QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "clocked in"));
    inline static const QString ClockedOut =
        QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "clocked out"));
    inline static const QString ClosedAtMidnight =
        QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "closed at midnight"));
    inline static const QString ReopenedAfterMidnight =
        QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "reopened at 12:00 am"));
    inline static const QString AlreadyClockedIn =
        QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "already clocked in"));
    inline static const QString AlreadyClockedOut =
        QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "already clocked out"));
    inline static const QString Edited = QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "edited"));
    inline static const QString Added = QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "added"));
    inline static const QString Deleted = QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "deleted"));
    inline static const QString AbsenceAdded =
        QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "absence added"));
    inline static const QString AbsenceRemoved =
        QString::fromLatin1(QT_TRANSLATE_NOOP("pelmar::audit", "absence removed"));

private:
    Database& m_db;
    double m_now;
    bool m_enabled;
    QString m_action;
    QString m_entryKey;
    QString m_offline;
};

} // namespace pelmar
