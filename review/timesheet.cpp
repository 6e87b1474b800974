#include "app/reporterror.h"
#include "app/shared.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/numformat.h"
#include "platform/runerror.h"
#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "platform/widgets/timegrid.h"
#include "store/datasource.h"
#include "store/engine.h"
#include "store/sqltexts.h"
#include "ui/frmtimelog.h"

#include <QCheckBox>
#include <QLabel>

namespace pelmar {

namespace {

const QString ClosedCaption = QStringLiteral("View My Time");

} // namespace

void FrmTimeLog::cmdReview_Click()
{
    // The caption is the sheet's only open/closed state.
    if (cmdReview->caption() == ClosedCaption) {
        cmdReview->setCaption(QStringLiteral("Hide My Time"));
        cmdReview->setButtonactualcolor(0x000080);
        cmdReview->setButtonactualglarecolor(0x0000FF);
        cmdReview->setToolTip(QStringLiteral("Close your time sheet records."));
        lblTotalHours->setVisible(true);
        chkLimit->setVisible(true);
        tdgTimeWorked->setVisible(true);
        tdgTimeWorked->refresh();
        CalculateHours();
    } else {
        tdgTimeWorked->setVisible(false);
        lblTotalHours->setVisible(false);
        chkLimit->setVisible(false);
        // Clearing a ticked box reloads the default range through its
        // notification, so the sheet always reopens on the default range.
        chkLimit->setChecked(false);
        cmdReview->setCaption(ClosedCaption);
        cmdReview->setButtonactualcolor(0x004080);
        cmdReview->setButtonactualglarecolor(0x0080FF);
        cmdReview->setButtonclickcolor(0x0080FF);
        cmdReview->setButtonmousemovecolor(0x80C0FF);
        cmdReview->setToolTip(QStringLiteral("Display your time sheet in a table"));
    }
}

void FrmTimeLog::chkLimit_Click()
{
    CalculateHours();
}

void FrmTimeLog::CalculateHours()
{
    try {
        if (chkLimit->isChecked()) {
            FromDate =
                Value::text(dialogs().inputBox(QStringLiteral("Enter the start ('from') date as mm/dd/yyyy"),
                                               QStringLiteral("Enter From:")));
            // Clearing the box runs this again for the default range; this
            // run has nothing left to do.
            if (FromDate.toText().isEmpty()) {
                chkLimit->setChecked(false);
                return;
            }
            // Typed text goes into the statements as it is, so only what the
            // date test accepts may get that far.
            if (!dates::isDate(FromDate.toText())) {
                notadate();
                return;
            }
            ToDate = Value::text(dialogs().inputBox(QStringLiteral("Enter the end ('to') date as mm/dd/yyyy"),
                                                    QStringLiteral("Enter To:")));
            if (!dates::isDate(ToDate.toText())) {
                notadate();
                return;
            }
        } else {
            const double today = dates::datePart(clock().now());
            ToDate = Value::date(today);
            FromDate = Value::date(today - DaysShown);
        }

        const Value employeeId = tdbPersonnel->columnValue(QStringLiteral("EmployeeID"));
        SqlText = sqltexts::rangeListing(FromDate, ToDate, employeeId);
        datTime->setDatabaseName(shared().DBPath);
        datTime->setRecordSource(SqlText);
        datTime->refresh();

        SqlText = sqltexts::rangeTotal(FromDate, ToDate, employeeId);
        const std::unique_ptr<Database> db = engine().openDatabase(shared().DBPath);
        const std::unique_ptr<Recordset> rs = db->openRecordset(SqlText);
        const Value sum = rs->field(QStringLiteral("SumOfThours"));
        const double total = sum.isNull() ? 0.0 : sum.toDouble();
        lblTotalHours->setText(QStringLiteral("Total Hours ") +
                               formatNumber(total, QStringLiteral("#######0.##")));
        rs->close();
        db->close();
    } catch (const RunError& error) {
        // Grid and total keep what they last showed.
        ReportError(dialogs(), error);
    }
}

void FrmTimeLog::notadate()
{
    dialogs().messageBox(QStringLiteral("Entry is not a valid date"));
    // Runs the default range again through the box's notification.
    chkLimit->setChecked(false);
}

} // namespace pelmar
