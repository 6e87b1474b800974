#include "app/finddatabase.h"

#include "app/reporterror.h"
#include "app/shared.h"
#include "platform/dialogs.h"
#include "platform/runerror.h"
#include "platform/widgets/glassbutton.h"
#include "store/schema.h"

#include <QDir>

namespace pelmar {

FrmFindDatabase::FrmFindDatabase(Shared& shared, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_shared(shared), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmFindDatabase"));
    setWindowTitle(QStringLiteral("Locate the Pelmar Database"));
    setFixedSize(1065 / 15, 825 / 15);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, GlassButton::fromBgr(0xE0E0E0));
    setPalette(pal);
    setAutoFillBackground(true);
}

QString FrmFindDatabase::startFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\VarnokeData");
#else
    return QDir::homePath();
#endif
}

void FrmFindDatabase::ShowOpen()
{
    const std::optional<QString> picked =
        m_dialogs.openFileName(dlgFile.DialogTitle, dlgFile.Filter, dlgFile.InitDir);
    if (!picked) {
        if (dlgFile.CancelError)
            throw RunError::of(err::DialogCancel);
        dlgFile.FileName.clear();
        return;
    }
    dlgFile.FileName = *picked;
}

void FrmFindDatabase::Form_Load()
{
    try {
        show();
        dlgFile.CancelError = true;
        dlgFile.Filter = QStringLiteral("Database Files (Pelmar.mdb)|Pelmar.mdb");
        dlgFile.FilterIndex = 1;
        dlgFile.DialogTitle = QStringLiteral("Find the database location");
        dlgFile.InitDir = startFolder();
        ShowOpen();
        const QString path = dlgFile.FileName;
        const int q = static_cast<int>(path.indexOf(QLatin1Char('/') + names::DatabaseFile)) + 1;
        if (q - 1 < 0)
            throw RunError::of(err::InvalidArgument);
        m_shared.NewDBFolder = path.left(q - 1);
    } catch (const RunError& error) {
        if (error.number() == err::DialogCancel) {
            hide();
            return;
        }
        ReportError(m_dialogs, error);
    }
}

} // namespace pelmar
