#include "timekeeping/alert.h"

#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"
#include "store/schema.h"
#include "workplace/workplace.h"

#include <QCoreApplication>

namespace pelmar::alert {

bool send(Workplace& workplace, const QString& fullName, const Value& shiftDate)
{
    const auto setting = [&workplace](const QString& column) {
        return workplace.settings().recordset().field(column);
    };
    // A Null server is no text at all and fails below like any other
    // unusable setting.
    const Value server = setting(cols::SmtpServer);
    if (server.isText() && server.toText().isEmpty())
        return false;
    SmtpMail* mail = workplace.mail();
    if (!mail)
        throw RunError(91, QStringLiteral("Object variable or With block variable not set"));

    mail->server = setting(cols::SmtpServer).toText();
    mail->authenticate = true;
    mail->userName = setting(cols::SmtpUserName).toText();
    mail->password = setting(cols::SmtpPassword).toText();
    mail->mailFrom = setting(cols::SmtpEmail).toText();
    mail->sendTo = setting(cols::SmtpEmail).toText();
    mail->subject = QStringLiteral("Employee Time Alert");
    // One bare carriage return between the name and the date.
    mail->messageText = QStringLiteral("The login/logout times for ") + fullName + QLatin1Char('\r') +
                        QStringLiteral(" on ") + shiftDate.toTextOrEmpty() + QStringLiteral(" are unusual.");
    mail->sendEmail();
    return true;
}

QString sentMessage()
{
    return QCoreApplication::translate("pelmar::alert",
                                       "Unusual time record; an advisory was sent to the Administrator");
}

QString errorMessage(int number, const QString& description)
{
    return QCoreApplication::translate("pelmar::alert", "Error %1: %2")
               .arg(QString::number(number), description) +
           QStringLiteral("\r\n");
}

} // namespace pelmar::alert
