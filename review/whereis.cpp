#include "app/reporterror.h"
#include "app/shared.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/runerror.h"
#include "platform/widgets/namelist.h"
#include "review/wherestatus.h"
#include "store/engine.h"
#include "store/sqltexts.h"
#include "ui/frmtimelog.h"

namespace pelmar {

void FrmTimeLog::cmdWhereIs_Click()
{
    const double today = dates::datePart(clock().now());
    FromDate = Value::date(today - DaysShown);
    ToDate = Value::date(today);
    try {
        SqlText =
            sqltexts::rangeListing(FromDate, ToDate, tdbPersonnel->columnValue(QStringLiteral("EmployeeID")));
        const std::unique_ptr<Database> db = engine().openDatabase(shared().DBPath);
        const std::unique_ptr<Recordset> rs = db->openRecordset(SqlText);
        // The first row is the latest record: newest date, then latest clock-in.
        rs->moveFirst();
        WhereStatus = whereStatus(rs->field(QStringLiteral("Type")).toTextOrEmpty(),
                                  rs->field(QStringLiteral("TimeIn")).isNull(),
                                  rs->field(QStringLiteral("TimeOut")).isNull());
        dialogs().messageBox(tdbPersonnel->columnValue(QStringLiteral("FullName")).toTextOrEmpty() +
                                 WhereStatus,
                             Dialogs::Icon::Information);
        rs->close();
        db->close();
    } catch (const RunError& error) {
        if (error.number() == err::NoCurrentRecord) {
            dialogs().messageBox(QStringLiteral("There is no recent record for ") +
                                     tdbPersonnel->columnValue(QStringLiteral("FullName")).toTextOrEmpty(),
                                 Dialogs::Icon::Information);
            return;
        }
        ReportError(dialogs(), error);
    }
}

} // namespace pelmar
