#include "timekeeping/timeaudit.h"

#include "store/audit.h"

namespace pelmar {

TimeAudit::TimeAudit(Database& db, double now) : m_db(db), m_now(now), m_enabled(audit::available(db)) {}

void TimeAudit::change(const QString& action)
{
    m_action = action;
    if (m_enabled)
        audit::label(m_db, action);
}

void TimeAudit::changed(const std::optional<TimeRecord>& before, const std::optional<TimeRecord>& after)
{
    if (!m_enabled)
        return;
    const TimeRecord& record = after ? *after : *before;
    audit::write(m_db,
                 {m_now, m_action, Value::integer(record.id), record.personnelId,
                  before ? Value::text(describe(*before)) : Value::null(),
                  after ? Value::text(describe(*after)) : Value::null()},
                 {m_entryKey, m_offline});
}

void TimeAudit::note(const QString& action, const TimeRecord& record)
{
    if (!m_enabled)
        return;
    const Value fields = Value::text(describe(record));
    audit::note(m_db, {m_now, action, Value::integer(record.id), record.personnelId, fields, fields},
                {m_entryKey, m_offline});
}

void TimeAudit::offline(const QString& entryKey, const QString& description)
{
    m_entryKey = entryKey;
    m_offline = description;
    if (m_enabled)
        audit::markOffline(m_db, entryKey, description);
}

QString TimeAudit::describe(const TimeRecord& record)
{
    return QStringLiteral("Tdate=%1; TimeIn=%2; TimeOut=%3; Thours=%4; Type=%5")
        .arg(record.tdate.toTextOrEmpty(), record.timeIn.toTextOrEmpty(), record.timeOut.toTextOrEmpty(),
             record.hours.toTextOrEmpty(), record.type.toTextOrEmpty());
}

} // namespace pelmar
