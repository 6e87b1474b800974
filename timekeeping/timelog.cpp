#include "app/shared.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "store/datasource.h"
#include "store/engine.h"
#include "timekeeping/hours.h"
#include "ui/frmtimelog.h"

#include <QLabel>

namespace pelmar {

namespace {

// The recorded date and times are the clock labels' texts at the click, so
// what the employee saw is what is stored (up to one tick behind the clock).
void clockIn(FrmTimeLog& w)
{
    const QString dateText = dateTextOfLongDate(w.lblDate->text());

    auto db = w.engine().openDatabase(w.shared().DBPath);
    auto rs = db->openRecordset(QStringLiteral("Time"));
    rs->addNew();
    rs->setField(QStringLiteral("PersonnelID"), w.tdbPersonnel->columnValue(QStringLiteral("EmployeeID")));
    rs->setField(QStringLiteral("Tdate"), Value::text(dates::shortDate(Value::text(dateText).toDate())));
    rs->setField(QStringLiteral("TimeIn"), Value::text(w.lblTime->text()));
    rs->setField(QStringLiteral("Type"), Value::text(QStringLiteral("Worked")));
    rs->update();
    rs->close();
    db->close();

    // The new row sorts first; the labels show what the database stored.
    w.datTime->refresh();
    Recordset& sheet = w.datTime->recordset();
    sheet.moveFirst();
    w.lblIn->setVisible(true);
    w.lblIn->setText(QStringLiteral("You Clocked in:"));
    w.lblDateIn->setVisible(true);
    w.lblDateIn->setText(dates::longDate(sheet.field(QStringLiteral("Tdate")).toDate()));
    w.lblTimeIn->setVisible(true);
    w.lblTimeIn->setText(dates::longTime(sheet.field(QStringLiteral("TimeIn")).toDate()));
    w.cmdTimeLog->setVisible(false);
}

// Completes the open record that the log-in left current in datTime.
void clockOut(FrmTimeLog& w)
{
    Recordset& rs = w.datTime->recordset();
    rs.edit();
    rs.setField(QStringLiteral("Timeout"), Value::text(w.lblTime->text()));
    rs.setField(QStringLiteral("Thours"),
                shiftHours(rs.field(QStringLiteral("TimeIn")), rs.field(QStringLiteral("Timeout"))));
    rs.setField(QStringLiteral("Type"), Value::text(QStringLiteral("Worked")));
    rs.update();
    w.datTime->notifyRowsChanged();

    w.lblOut->setVisible(true);
    w.lblOut->setText(QStringLiteral("You Clocked out:"));
    w.lblDateOut->setVisible(true);
    // The day the shift ended, not the record's own date.
    w.lblDateOut->setText(dates::longDate(w.clock().now()));
    w.lblTimeOut->setVisible(true);
    w.lblTimeOut->setText(dates::longTime(rs.field(QStringLiteral("Timeout")).toDate()));

    const Value hours = rs.field(QStringLiteral("Thours"));
    if (!hours.isNull() && hours.toDouble() > w.shared().NotifyHours) {
        w.SendAnAlertEmail(
            Value::text(w.tdbPersonnel->columnValue(QStringLiteral("FullName")).toTextOrEmpty()),
            rs.field(QStringLiteral("Tdate")));
    }
    w.cmdTimeLog->setVisible(false);
}

} // namespace

void FrmTimeLog::cmdTimeLog_Click()
{
    // Only the log-in's two offers mean anything; the design-time "Clock In"
    // and any other caption do nothing.
    const QString caption = cmdTimeLog->caption();
    if (caption == QLatin1String("Clock IN"))
        clockIn(*this);
    else if (caption == QLatin1String("Clock OUT"))
        clockOut(*this);
}

} // namespace pelmar
