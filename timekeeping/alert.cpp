#include "timekeeping/alert.h"

#include <QCoreApplication>

namespace pelmar::alert {

MailMessage mail(const QString& administrator, const QString& text)
{
    return {administrator, administrator, QStringLiteral("Employee Time Alert"), text};
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
