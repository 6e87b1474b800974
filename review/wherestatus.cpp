#include "review/wherestatus.h"

namespace pelmar {

QString whereStatus(const QString& type, bool timeInNull, bool timeOutNull)
{
    if (type.isEmpty())
        return QStringLiteral(" is in ");
    if (type == QLatin1String("Worked")) {
        if (!timeInNull)
            return timeOutNull ? QStringLiteral(" is in.") : QStringLiteral(" is out.");
        // A worked record never clocked in says nothing about where the
        // person is; answer as for an unknown type, never with a stale phrase.
        return QStringLiteral(" has no recent time records ");
    }
    if (type == QLatin1String("Vacation"))
        return QStringLiteral(" is on vacation ");
    if (type == QLatin1String("Holiday"))
        return QStringLiteral(" is on holiday ");
    if (type == QLatin1String("Sick Leave"))
        return QStringLiteral(" is on sick leave ");
    return QStringLiteral(" has no recent time records ");
}

} // namespace pelmar
