#pragma once

#include <QString>
#include <QTextStream>
#include <functional>
#include <memory>

namespace pelmar {

class Clock;
class Database;

// pelmar-db's commands on time records, payroll, the board and the audit
// trail: each reads its arguments, asks the administrator's module and
// prints the answer as CSV.
class TimeAdmin
{
public:
    using Opener = std::function<std::unique_ptr<Database>(const QString& folder)>;
    using Locator = std::function<QString(const QString& folder)>;

    TimeAdmin(QTextStream& out, const Clock& clock, Opener open, Locator locate);

    void times(const QString& folder, const QString& id, const QString& from, const QString& to);
    void timeSet(const QString& folder, const QString& timeId, const QString& in, const QString& out);
    void timeAdd(const QString& folder, const QString& id, const QString& date, const QString& in,
                 const QString& out);
    void timeDelete(const QString& folder, const QString& timeId);
    void hours(const QString& folder, const QString& from, const QString& to);
    void board(const QString& folder);
    void audit(const QString& folder, const QString& from, const QString& to);
    void alerts(const QString& folder, const QString& from, const QString& to);
    void upgrade(const QString& folder);
    // The audit table of a new database (after init and demo).
    void createAuditTrail(const QString& folder);

private:
    QTextStream& m_out;
    const Clock& m_clock;
    Opener m_open;
    Locator m_locate;
};

} // namespace pelmar
