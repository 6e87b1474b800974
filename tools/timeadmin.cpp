#include "tools/timeadmin.h"

#include "admin/input.h"
#include "admin/records.h"
#include "admin/reports.h"
#include "platform/clock.h"
#include "store/engine.h"

namespace pelmar {

TimeAdmin::TimeAdmin(QTextStream& out, const Clock& clock, Opener open, Locator locate)
    : m_out(out), m_clock(clock), m_open(std::move(open)), m_locate(std::move(locate))
{
}

void TimeAdmin::times(const QString& folder, const QString& idText, const QString& fromText,
                      const QString& toText)
{
    const qint64 id = admin::input::employeeNumber(idText);
    const double from = admin::input::date(fromText);
    const double to = admin::input::date(toText);
    const auto db = m_open(folder);
    std::vector<TimeRecord> records;
    for (const admin::ListedRecord& r : admin::records(*db, id, from, to, m_clock.now()))
        records.push_back(r.record);
    m_out << admin::recordsCsv(records);
}

void TimeAdmin::timeSet(const QString& folder, const QString& timeIdText, const QString& inText,
                        const QString& outText)
{
    const qint64 timeId = admin::input::timeNumber(timeIdText);
    const admin::ShiftTimes times = admin::input::shift(inText, outText);
    const auto db = m_open(folder);
    m_out << admin::recordsCsv({admin::setTimes(*db, timeId, times, m_clock.now())});
}

void TimeAdmin::timeAdd(const QString& folder, const QString& idText, const QString& dateText,
                        const QString& inText, const QString& outText)
{
    const qint64 id = admin::input::employeeNumber(idText);
    const double date = admin::input::date(dateText);
    const admin::ShiftTimes times = admin::input::shift(inText, outText);
    const auto db = m_open(folder);
    m_out << admin::recordsCsv({admin::addShift(*db, id, date, times, m_clock.now())});
}

void TimeAdmin::timeDelete(const QString& folder, const QString& timeIdText)
{
    const qint64 timeId = admin::input::timeNumber(timeIdText);
    const auto db = m_open(folder);
    m_out << admin::recordsCsv({admin::removeRecord(*db, timeId, m_clock.now())});
}

void TimeAdmin::hours(const QString& folder, const QString& fromText, const QString& toText)
{
    const double from = admin::input::date(fromText);
    const double to = admin::input::date(toText);
    const auto db = m_open(folder);
    m_out << admin::payrollCsv(admin::payroll(*db, from, to));
}

void TimeAdmin::board(const QString& folder)
{
    const auto db = m_open(folder);
    m_out << admin::boardCsv(admin::board(*db, m_clock.now()));
}

void TimeAdmin::audit(const QString& folder, const QString& fromText, const QString& toText)
{
    const double from = admin::input::date(fromText);
    const double to = admin::input::date(toText);
    const auto db = m_open(folder);
    m_out << admin::auditCsv(admin::auditTrail(*db, from, to));
}

void TimeAdmin::alerts(const QString& folder, const QString& fromText, const QString& toText)
{
    const double from = admin::input::date(fromText);
    const double to = admin::input::date(toText);
    const auto db = m_open(folder);
    m_out << admin::alertsCsv(admin::alerts(*db, from, to));
}

void TimeAdmin::upgrade(const QString& folder)
{
    m_out << "Upgraded " << admin::upgrade(m_locate(folder)) << "\n";
}

void TimeAdmin::createAuditTrail(const QString& folder)
{
    admin::createAuditTrail(*m_open(folder));
}

} // namespace pelmar
