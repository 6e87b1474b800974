#include "timekeeping/timeaudit.h"

#include "store/audit.h"

#include <QSysInfo>

namespace pelmar {

TimeAudit::TimeAudit(Database& db, double now) : m_db(db), m_now(now), m_enabled(audit::available(db)) {}

void TimeAudit::write(const QString& action, const std::optional<TimeRecord>& before,
                      const std::optional<TimeRecord>& after)
{
    if (!m_enabled)
        return;
    const TimeRecord& record = after ? *after : *before;
    audit::write(m_db, {m_now, QSysInfo::machineHostName(), action, record.id, record.personnelId,
                        before ? Value::text(describe(*before)) : Value::null(),
                        after ? Value::text(describe(*after)) : Value::null()});
}

QString TimeAudit::describe(const TimeRecord& record)
{
    return QStringLiteral("Tdate=%1; TimeIn=%2; TimeOut=%3; Thours=%4; Type=%5")
        .arg(record.tdate.toTextOrEmpty(), record.timeIn.toTextOrEmpty(), record.timeOut.toTextOrEmpty(),
             record.hours.toTextOrEmpty(), record.type.toTextOrEmpty());
}

} // namespace pelmar
