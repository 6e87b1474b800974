#pragma once

#include "platform/value.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

namespace pelmar {

class Clock;
class Database;

// Bad input to one of the time record commands: reported as given, exit
// status 1, nothing written.
struct BadInput
{
    QString message;
};

// The administrator's commands on time records: list, correct, add and
// remove them (each change with its audit row), the payroll hours, the
// presence board, the audit trail and the upgrade of older files. They use
// the clock's own hours and where-is rules, so the tool and the window
// always agree.
class TimeAdmin
{
public:
    using Opener = std::function<std::unique_ptr<Database>(const QString& folder)>;

    TimeAdmin(QTextStream& out, const Clock& clock, Opener open);

    void times(const QString& folder, const QString& id, const QString& from, const QString& to);
    void timeSet(const QString& folder, const QString& timeId, const QString& in, const QString& out);
    void timeAdd(const QString& folder, const QString& id, const QString& date, const QString& in,
                 const QString& out);
    void timeDelete(const QString& folder, const QString& timeId);
    void hours(const QString& folder, const QString& from, const QString& to);
    void board(const QString& folder);
    void audit(const QString& folder, const QString& from, const QString& to);
    void upgrade(const QString& folder);
    // The audit table of a new database (after init and demo).
    void createAuditTrail(const QString& folder);

private:
    void writeRow(const std::vector<Value>& fields);
    void writeHeader(const char* names);

    QTextStream& m_out;
    const Clock& m_clock;
    Opener m_open;
};

} // namespace pelmar
