#include "workplace/workplace.h"

#include "platform/mail/smtpmail.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/sqltexts.h"

namespace pelmar {

Workplace::Workplace()
    // No database until openDatabase names one.
    : m_employees(QString(), names::PersonnelQuery), m_times(QString(), names::TimeQuery),
      m_settings(QString(), names::SettingsTable)
{
}

Workplace::~Workplace() = default;

void Workplace::openDatabase(const QString& path)
{
    m_path = path;
    m_employees.setDatabaseName(path);
    m_employees.setRecordSource(sqltexts::CurrentEmployees);
    m_employees.refresh();
    m_times.setDatabaseName(path);
    m_times.setRecordSource(sqltexts::AllTimeRecords);
    m_times.refresh();
    m_settings.setDatabaseName(path);
    m_settings.setRecordSource(names::SettingsTable);
    m_settings.refresh();
}

void Workplace::readNotifyHours()
{
    m_notifyHours = m_settings.recordset().field(cols::WorkHoursNotify).toSingle();
}

void Workplace::createMail()
{
    m_mail = std::make_unique<SmtpMail>();
}

std::unique_ptr<Database> Workplace::open() const
{
    return Database::open(m_path);
}

} // namespace pelmar
