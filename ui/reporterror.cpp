#include "ui/reporterror.h"

#include "platform/dialogs.h"
#include "platform/runerror.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace pelmar {

QString errorMessage(const RunError& error)
{
    if (error.refused())
        return error.description();
    return QCoreApplication::translate("pelmar::reportError", "Error:%1 %2")
        .arg(QString::number(error.number()), error.description());
}

void reportError(Dialogs& dialogs, const RunError& error)
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    dialogs.messageBox(errorMessage(error));
}

} // namespace pelmar
