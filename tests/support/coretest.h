#pragma once

#include "platform/datetime.h"
#include "support/testdb.h"
#include "workplace/workplace.h"

#include <optional>

namespace pelmar::test {

// Today in the rule tests: Friday 4 December 2026. A literal: a constant
// computed through dates::serial may be set up before the library's epoch.
constexpr double Today = 46360;

// A day of December 2026 and a time of day, as serials.
constexpr double dec(int day)
{
    return Today - 4 + day;
}
inline double hm(int hour, int minute, int second = 0)
{
    return dates::timeSerial(hour, minute, second);
}

// The employee most tests are about.
constexpr qint64 AnnId = 7;
inline const Value Ann = Value::integer(AnnId);
inline const Value Worked = Value::text(QStringLiteral("Worked"));

// A fresh database holding Ann Able (password "pw") and a workplace opened on
// it as start-up leaves it. Opening happens in open() alone, so that the same
// tests can run against another database server by changing it.
struct CoreDb
{
    CoreDb()
    {
        db.addEmployee(AnnId, QStringLiteral("Ann Able"), QStringLiteral("pw"));
        open();
    }

    void open()
    {
        workplace.openDatabase(db.path());
        workplace.readNotifyHours();
    }

    // The threshold is read once at start-up, so the workplace is opened again.
    void setThreshold(double hours)
    {
        db.setSetting(QStringLiteral("WorkHoursNotify"), Value::number(hours));
        open();
    }

    // A time record of Ann's; nullopt stores Null.
    qint64 shift(std::optional<double> tdate, std::optional<double> timeIn,
                 std::optional<double> timeOut = std::nullopt, std::optional<double> hours = std::nullopt,
                 const Value& type = Worked)
    {
        return db.addTime(AnnId, tdate, timeIn, timeOut, hours, type);
    }

    TestDb db;
    Workplace workplace;
};

} // namespace pelmar::test
