#include "app/shared.h"
#include "login/clockstate.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/numformat.h"
#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "platform/widgets/timegrid.h"
#include "store/datasource.h"
#include "store/engine.h"
#include "store/sqltexts.h"
#include "timekeeping/hours.h"
#include "ui/frmtimelog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace pelmar {

namespace {

const QString LogInCaption = QStringLiteral("Log In");
const QString LogOutCaption = QStringLiteral("Log Out");

void setColours(GlassButton* button, quint32 actual, quint32 glare, quint32 click, quint32 mouseMove)
{
    button->setButtonactualcolor(actual);
    button->setButtonactualglarecolor(glare);
    button->setButtonclickcolor(click);
    button->setButtonmousemovecolor(mouseMove);
}

// The password check: exact texts, nothing trimmed, and an empty entry never
// passes. A row without any password can't be matched by anything typed.
bool passwordMatches(const Value& stored, const QString& typed)
{
    return !typed.isEmpty() && !stored.isNull() && stored.toText() == typed;
}

Value employeeId(FrmTimeLog& w)
{
    return w.tdbPersonnel->columnValue(QStringLiteral("EmployeeID"));
}

Value employeeName(FrmTimeLog& w)
{
    return Value::text(w.tdbPersonnel->columnValue(QStringLiteral("FullName")).toTextOrEmpty());
}

void showLoggedIn(FrmTimeLog& w)
{
    w.cmdGo->setCaption(LogOutCaption);
    setColours(w.cmdGo, 0x000080, 0x8080FF, 0x0000FF, 0x8080FF);
    w.cmdReview->setVisible(true);
    w.cmdGo->setToolTip(QStringLiteral("Close your time clock screen"));
    w.tdbPersonnel->setLocked(true);
}

void loadTimeSheet(FrmTimeLog& w, double today)
{
    w.FromDate = Value::date(today - w.DaysShown);
    w.ToDate = Value::date(today);
    w.SqlText = sqltexts::rangeListing(w.FromDate, w.ToDate, employeeId(w));
    w.datTime->setDatabaseName(w.shared().DBPath);
    w.datTime->setRecordSource(w.SqlText);
    w.datTime->refresh();
}

void showTotalHours(FrmTimeLog& w)
{
    w.SqlText = sqltexts::rangeTotal(w.FromDate, w.ToDate, employeeId(w));
    auto db = w.engine().openDatabase(w.shared().DBPath);
    auto rs = db->openRecordset(w.SqlText);
    const Value sum = rs->field(QStringLiteral("SumOfThours"));
    w.lblTotalHours->setText(
        QStringLiteral("Total Hours ") +
        formatNumber(sum.isNull() ? 0.0 : sum.toDouble(), QStringLiteral("#######0.##")));
    rs->close();
    db->close();
}

std::optional<NewestRecord> newestRecord(Recordset& rs)
{
    if (rs.recordCount() == 0)
        return std::nullopt;
    rs.moveFirst();
    return NewestRecord{rs.field(QStringLiteral("Type")), rs.field(QStringLiteral("TimeOut")),
                        rs.field(QStringLiteral("Tdate"))};
}

void logOut(FrmTimeLog& w)
{
    w.cmdGo->setCaption(LogInCaption);
    setColours(w.cmdGo, 0xC00000, 0xFF8080, 0x0000FF, 0xFF8080);
    w.tdbPassword->clear();
    w.lblIn->setVisible(false);
    w.lblDateIn->setVisible(false);
    w.lblTimeIn->setVisible(false);
    w.cmdReview->setCaption(QStringLiteral("View My Time"));
    w.cmdTimeLog->setVisible(false);
    w.cmdReview->setVisible(false);
    w.lblOut->setVisible(false);
    w.lblDateOut->setVisible(false);
    w.lblTimeOut->setVisible(false);
    w.tdgTimeWorked->setVisible(false);
    w.chkLimit->setVisible(false);
    // Clearing a ticked box reloads the default-period sheet through its
    // click handler, here, before the total is hidden.
    w.chkLimit->setChecked(false);
    w.lblTotalHours->setVisible(false);
    w.tdbPersonnel->setLocked(false);
    w.cmdGo->setToolTip(QStringLiteral("Display your time clock screen"));
}

} // namespace

void FrmTimeLog::cmdGo_Click()
{
    const QString caption = cmdGo->caption();
    if (caption == LogOutCaption) {
        logOut(*this);
        return;
    }
    if (caption != LogInCaption)
        return;

    // The list selects nobody until a name is picked; without one there is
    // no password to check against.
    if (!tdbPersonnel->hasSelection()) {
        dialogs().messageBox(QStringLiteral("Select your name in the list first."));
        return;
    }
    if (!passwordMatches(tdbPersonnel->columnValue(QStringLiteral("Password")), tdbPassword->text())) {
        dialogs().messageBox(QStringLiteral("That Password is Incorrect."));
        tdbPassword->clear();
        return;
    }

    showLoggedIn(*this);
    const double today = dates::datePart(clock().now());
    loadTimeSheet(*this, today);
    showTotalHours(*this);

    switch (clockOffer(newestRecord(datTime->recordset()), today)) {
    case ClockOffer::ClockIn:
        ShowClockIn();
        break;
    case ClockOffer::ClockOut:
        ShowClockOut();
        break;
    case ClockOffer::RepairYesterday:
        repairLeftOpenYesterday();
        ShowClockOut();
        break;
    case ClockOffer::RepairEarlier:
        repairLeftOpenEarlier();
        ShowClockIn();
        break;
    case ClockOffer::Unchanged:
        break;
    }
}

// Ends the open shift (the current record of datTime) at the midnight after
// its own date. One update, so the row is closed whole or not at all.
void FrmTimeLog::closeAtMidnight()
{
    Recordset& rs = datTime->recordset();
    rs.edit();
    rs.setField(QStringLiteral("TimeOut"), Value::date(0));
    rs.setField(QStringLiteral("Thours"),
                shiftHours(rs.field(QStringLiteral("TimeIn")), rs.field(QStringLiteral("TimeOut"))));
    rs.setField(QStringLiteral("Type"), Value::text(QStringLiteral("Worked")));
    rs.update();
    datTime->notifyRowsChanged();
}

void FrmTimeLog::repairLeftOpenYesterday()
{
    closeAtMidnight();
    Recordset& closed = datTime->recordset();
    const Value hours = closed.field(QStringLiteral("Thours"));
    if (!hours.isNull() && hours.toDouble() > shared().NotifyHours)
        SendAnAlertEmail(employeeName(*this), closed.field(QStringLiteral("Tdate")));

    // Today as the clock label shows it, like every date the employee sees stored.
    const double today = Value::text(dateTextOfLongDate(lblDate->text())).toDate();
    auto db = engine().openDatabase(shared().DBPath);
    auto rs = db->openRecordset(QStringLiteral("Time"));
    rs->addNew();
    rs->setField(QStringLiteral("PersonnelID"), employeeId(*this));
    rs->setField(QStringLiteral("Tdate"), Value::text(dates::shortDate(today)));
    rs->setField(QStringLiteral("TimeIn"), Value::date(1.0 / 1440));
    rs->setField(QStringLiteral("Type"), Value::text(QStringLiteral("Worked")));
    rs->update();
    rs->close();
    db->close();

    // The new shift sorts first and becomes the current record.
    datTime->refresh();
    dialogs().messageBox(QStringLiteral("You were automatically clocked out at midnight, and clocked back in "
                                        "at 12:01 am. If this isn't appropriate, notify the administrator"));
}

void FrmTimeLog::repairLeftOpenEarlier()
{
    closeAtMidnight();
    const Value tdate = datTime->recordset().field(QStringLiteral("Tdate"));
    dialogs().messageBox(QStringLiteral("You were not logged out correctly on ") + tdate.toTextOrEmpty() +
                         QStringLiteral(".  You were automatically clocked out at midnight.\r"
                                        "Please contact the administrator to correct your time records"));
    // Days-old shifts always go to the administrator, whatever their hours.
    SendAnAlertEmail(employeeName(*this), tdate);
}

} // namespace pelmar
