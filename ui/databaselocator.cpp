#include "ui/databaselocator.h"

#include "platform/runerror.h"
#include "ui/reporterror.h"
#include "ui/widgets/artwork.h"
#include "workplace/startup.h"

namespace pelmar {

DatabaseLocator::DatabaseLocator(Dialogs& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmFindDatabase"));
    setWindowTitle(tr("Locate the Pelmar Database"));
    setFixedSize(71, 55);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, artwork::WindowGrey);
    setPalette(pal);
    setAutoFillBackground(true);
}

std::optional<QString> DatabaseLocator::locate()
{
    show();
    std::optional<QString> folder;
    try {
        folder = config::locateDatabase(m_dialogs);
    } catch (...) {
        reportError(m_dialogs, RunError::current());
    }
    hide();
    return folder;
}

} // namespace pelmar
