#include "review/whereis.h"

#include "admin/recordtypes.h"
#include "platform/runerror.h"
#include "review/timesheet.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/sqltexts.h"
#include "workplace/workplace.h"

namespace pelmar::whereis {

QString status(const QString& type, bool timeInNull, bool timeOutNull)
{
    if (type.isEmpty())
        return QStringLiteral(" is in ");
    switch (admin::recordType(type)) {
    case admin::RecordType::Worked:
        if (!timeInNull)
            return timeOutNull ? QStringLiteral(" is in.") : QStringLiteral(" is out.");
        // A worked record never clocked in says nothing about where the
        // person is; answer as for an unknown type, never with a stale phrase.
        break;
    case admin::RecordType::Vacation:
        return QStringLiteral(" is on vacation ");
    case admin::RecordType::Holiday:
        return QStringLiteral(" is on holiday ");
    case admin::RecordType::SickLeave:
        return QStringLiteral(" is on sick leave ");
    case admin::RecordType::Other:
        break;
    }
    return QStringLiteral(" has no recent time records ");
}

QString answer(Workplace& workplace, const Value& employeeId, const QString& fullName, double now)
{
    const DateRange range = timesheet::defaultRange(now);
    const auto db = workplace.open();
    const auto rs = db->openRecordset(sqltexts::rangeListing(range.from, range.to, employeeId));
    // The first row is the latest record: newest date, then latest clock-in.
    if (rs->recordCount() == 0)
        return QStringLiteral("There is no recent record for ") + fullName;
    rs->moveFirst();
    return fullName + status(rs->field(cols::Type).toTextOrEmpty(), rs->field(cols::TimeIn).isNull(),
                             rs->field(cols::TimeOut).isNull());
}

} // namespace pelmar::whereis
