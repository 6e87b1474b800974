#include "ui/reporterror.h"

#include "platform/dialogs.h"
#include "platform/runerror.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace pelmar {

void reportError(Dialogs& dialogs, const RunError& error)
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    dialogs.messageBox(QCoreApplication::translate("pelmar::reportError", "Error:%1 %2")
                           .arg(QString::number(error.number()), error.description()));
}

} // namespace pelmar
