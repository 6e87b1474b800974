#include "review/timesheet.h"

#include "platform/datetime.h"
#include "platform/numformat.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/sqltexts.h"
#include "workplace/workplace.h"

#include <QCoreApplication>

namespace pelmar::timesheet {

DateRange defaultRange(double now)
{
    const double today = dates::datePart(now);
    return {Value::date(today - Workplace::DaysShown), Value::date(today)};
}

Entry checkStart(const QString& typed)
{
    if (typed.isEmpty())
        return Entry::Cancelled;
    return dates::isDate(typed) ? Entry::Accepted : Entry::NotADate;
}

Entry checkEnd(const QString& typed)
{
    // An empty or cancelled end entry is not a date either.
    return dates::isDate(typed) ? Entry::Accepted : Entry::NotADate;
}

QString load(Workplace& workplace, const DateRange& range, const Value& employeeId)
{
    // The total first: the grid's refresh is the last step that can fail, and
    // a failed one leaves the grid as it was, so the sheet and its total
    // change together or not at all.
    const auto db = workplace.open();
    const auto rs = db->openRecordset(sqltexts::rangeTotal(range.from, range.to, employeeId));
    const QString total = totalCaption(rs->field(cols::SumOfThours));

    DataSource& times = workplace.times();
    times.setDatabaseName(workplace.databasePath());
    times.setRecordSource(sqltexts::rangeListing(range.from, range.to, employeeId));
    times.refresh();
    return total;
}

QString totalCaption(const Value& sum)
{
    return QCoreApplication::translate("pelmar::timesheet", "Total Hours %1")
        .arg(formatNumber(sum.isNull() ? 0.0 : sum.toDouble(), QStringLiteral("#######0.##")));
}

} // namespace pelmar::timesheet
