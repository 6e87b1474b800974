#include "review/whereis.h"

#include "platform/runerror.h"
#include "review/recordtypes.h"
#include "review/timesheet.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/sqltexts.h"
#include "workplace/workplace.h"

#include <QCoreApplication>

namespace pelmar::whereis {

Status status(const QString& type, bool timeInNull, bool timeOutNull)
{
    if (type.isEmpty())
        return Status::InUntyped;
    switch (recordType(type)) {
    case RecordType::Worked:
        if (!timeInNull)
            return timeOutNull ? Status::In : Status::Out;
        // A worked record never clocked in says nothing about where the
        // person is; answer as for an unknown type, never with a stale phrase.
        break;
    case RecordType::Vacation:
        return Status::Vacation;
    case RecordType::Holiday:
        return Status::Holiday;
    case RecordType::SickLeave:
        return Status::SickLeave;
    case RecordType::Other:
        break;
    }
    return Status::NoRecentRecords;
}

QString phrase(Status status)
{
    switch (status) {
    case Status::In:
        return QCoreApplication::translate("pelmar::whereis", " is in.");
    case Status::InUntyped:
        return QCoreApplication::translate("pelmar::whereis", " is in ");
    case Status::Out:
        return QCoreApplication::translate("pelmar::whereis", " is out.");
    case Status::Vacation:
        return QCoreApplication::translate("pelmar::whereis", " is on vacation ");
    case Status::Holiday:
        return QCoreApplication::translate("pelmar::whereis", " is on holiday ");
    case Status::SickLeave:
        return QCoreApplication::translate("pelmar::whereis", " is on sick leave ");
    case Status::NoRecentRecords:
        break;
    }
    return QCoreApplication::translate("pelmar::whereis", " has no recent time records ");
}

QString answer(Workplace& workplace, const Value& employeeId, const QString& fullName, double now)
{
    const DateRange range = timesheet::defaultRange(now);
    const auto db = workplace.open();
    const auto rs = db->openRecordset(sqltexts::rangeListing(range.from, range.to, employeeId));
    // The first row is the latest record: newest date, then latest clock-in.
    if (rs->recordCount() == 0)
        return QCoreApplication::translate("pelmar::whereis", "There is no recent record for %1")
            .arg(fullName);
    rs->moveFirst();
    return fullName + phrase(status(rs->field(cols::Type).toTextOrEmpty(), rs->field(cols::TimeIn).isNull(),
                                    rs->field(cols::TimeOut).isNull()));
}

} // namespace pelmar::whereis
