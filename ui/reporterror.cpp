#include "ui/reporterror.h"

#include "platform/dialogs.h"
#include "platform/runerror.h"

#include <QGuiApplication>

namespace pelmar {

void reportError(Dialogs& dialogs, const RunError& error)
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    dialogs.messageBox(QStringLiteral("Error:") + QString::number(error.number()) + QLatin1Char(' ') +
                       error.description());
}

} // namespace pelmar
