#include "app/reporterror.h"
#include "platform/dialogs.h"
#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"
#include "store/datasource.h"
#include "ui/frmtimelog.h"

namespace pelmar {

void FrmTimeLog::SendAnAlertEmail(const Value& empname, const Value& udate)
{
    // An alert that can't be sent is reported and dropped: the caller's
    // record is already saved and must stand.
    try {
        const auto setting = [this](const char* column) {
            return datCustomSettings->recordset().field(QString::fromLatin1(column));
        };
        // An empty server switches the alerts off; a Null one is no text at
        // all and fails below like any other unusable setting.
        const Value server = setting("smtpserver");
        if (server.isText() && server.toText().isEmpty())
            return;
        if (!oSMTP)
            throw RunError(91, QStringLiteral("Object variable or With block variable not set"));

        SmtpMail& mail = *oSMTP;
        mail.server = setting("smtpserver").toText();
        mail.option = 2;
        mail.userName = setting("smtpusername").toText();
        mail.password = setting("smtppassword").toText();
        mail.mailFrom = setting("smtpemail").toText();
        mail.sendTo = setting("smtpemail").toText();
        mail.subject = QStringLiteral("Employee Time Alert");
        // One bare carriage return between the name and the date.
        mail.messageText = QStringLiteral("The login/logout times for ") + empname.toTextOrEmpty() +
                           QLatin1Char('\r') + QStringLiteral(" on ") + udate.toTextOrEmpty() +
                           QStringLiteral(" are unusual.");
        mail.sendEmail();
    } catch (const RunError& error) {
        ReportError(dialogs(), error);
    } catch (const std::exception& error) {
        ReportError(dialogs(), RunError(err::EngineFailure, QString::fromLocal8Bit(error.what())));
    }
}

void FrmTimeLog::oSMTP_SendSMTP()
{
    dialogs().messageBox(QStringLiteral("Unusual time record; an advisory was sent to the Administrator"));
}

void FrmTimeLog::oSMTP_ErrorSMTP(int Number, const QString& Description)
{
    dialogs().messageBox(QStringLiteral("Error ") + QString::number(Number) + QStringLiteral(": ") +
                         Description + QStringLiteral("\r\n"));
}

} // namespace pelmar
