#include "ui/admin/adminwindow.h"

#include "admin/settings.h"
#include "platform/dialogs.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "store/schema.h"
#include "ui/admin/alertstab.h"
#include "ui/admin/audittab.h"
#include "ui/admin/boardtab.h"
#include "ui/admin/jobs.h"
#include "ui/admin/payrolltab.h"
#include "ui/admin/recordstab.h"
#include "ui/admin/settingstab.h"
#include "ui/admin/stafftab.h"
#include "ui/databaselocator.h"
#include "ui/reporterror.h"
#include "workplace/startup.h"
#include "workplace/workplace.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>

namespace pelmar {

AdminWindow::AdminWindow(Dialogs& dialogs, const Clock& clock, QString programFolder, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_clock(clock), m_programFolder(std::move(programFolder))
{
    setObjectName(QStringLiteral("adminWindow"));
    setWindowTitle(tr("Pelmar Administrator"));
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setAccessibleName(tr("Administration"));
    setCentralWidget(m_tabs);
    m_busy = new QLabel(this);
    m_busy->setObjectName(QStringLiteral("busy"));
    // No accessible name: a screen reader reads the line as it changes.
    statusBar()->addWidget(m_busy);
    // The last change saved stays in view until the next, so the
    // administrator can read back what was done.
    m_lastChange = new QLabel(this);
    m_lastChange->setObjectName(QStringLiteral("lastChange"));
    statusBar()->addWidget(m_lastChange, 1);
    resize(900, 600);
}

AdminWindow::~AdminWindow()
{
    if (m_jobs && m_jobs->busy())
        QApplication::restoreOverrideCursor();
}

bool AdminWindow::start(const QString& database)
{
    QString location;
    try {
        if (!database.isEmpty()) {
            location = config::databasePath(database);
            Database::open(location);
        } else {
            Workplace workplace;
            Startup startup(workplace, m_dialogs, config::Places::of(m_programFolder), [this] {
                DatabaseLocator locator(m_dialogs, this);
                return locator.locate();
            });
            try {
                startup.run();
            } catch (const RunError&) {
                // A database that opened is enough here: its settings may be
                // just what the administrator has come to fix.
                if (workplace.databasePath().isEmpty())
                    throw;
            }
            location = workplace.databasePath();
        }
        if (location.isEmpty())
            return false;
        const std::optional<QString> owners = ownersLocation(location);
        if (!owners)
            return false;
        location = *owners;
    } catch (...) {
        reportError(m_dialogs, RunError::current());
        return false;
    }
    m_jobs = new Jobs(m_dialogs, location, this);
    connect(m_jobs, &Jobs::busyChanged, this, &AdminWindow::showBusy);
    setWindowTitle(tr("Pelmar Administrator - %1").arg(sql::shownLocation(location)));
    createTabs();
    return true;
}

std::optional<QString> AdminWindow::ownersLocation(const QString& location)
{
    // A terminal's role can't change the staff or the settings, and its
    // configuration is the terminal's: the owner logs in for this run.
    sql::TableRights rights = sql::tableRights(location);
    if (rights.owner)
        return location;
    const QString server = sql::shownLocation(location);
    QString why = tr("The role '%1' that %2 logs in as does not own the database's tables, so it can't "
                     "change the staff or the settings.")
                      .arg(rights.role, server);
    const QString owner = rights.ownerRole;
    for (;;) {
        const std::optional<Dialogs::Credentials> typed = m_dialogs.logInBox(
            why + QStringLiteral("\n\n") + tr("Log in as the tables' owner (%1) on this server.").arg(owner),
            tr("Pelmar Administrator"), owner);
        if (!typed)
            return std::nullopt;
        const QString candidate = sql::withCredentials(location, typed->user, typed->password);
        try {
            rights = sql::tableRights(candidate);
            if (rights.owner)
                return candidate;
            why = tr("The role '%1' does not own the database's tables either.").arg(rights.role);
        } catch (const RunError& error) {
            // libpq's words, with the password already left out.
            why = errorMessage(error);
        }
    }
}

void AdminWindow::createTabs()
{
    const std::pair<AdminTab*, QString> tabs[] = {
        {new BoardTab(*m_jobs, m_dialogs, m_clock), tr("&Board")},
        {new RecordsTab(*m_jobs, m_dialogs, m_clock), tr("&Time records")},
        {new PayrollTab(*m_jobs, m_dialogs, m_clock), tr("&Payroll")},
        {new StaffTab(*m_jobs, m_dialogs, m_clock), tr("&Staff")},
        {new AuditTab(*m_jobs, m_dialogs, m_clock), tr("&Audit")},
        {new AlertsTab(*m_jobs, m_dialogs, m_clock), tr("A&lerts")},
        {new SettingsTab(*m_jobs, m_dialogs, m_clock), tr("S&ettings")},
    };
    const char* const names[] = {"boardTab", "recordsTab", "payrollTab", "staffTab",
                                 "auditTab", "alertsTab",  "settingsTab"};
    for (size_t i = 0; i < std::size(tabs); ++i) {
        tabs[i].first->setObjectName(QString::fromLatin1(names[i]));
        m_tabs->addTab(tabs[i].first, tabs[i].second);
        connect(tabs[i].first, &AdminTab::changed, this, &AdminWindow::showChange);
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, &AdminWindow::refreshCurrent);
    refreshCurrent();
}

void AdminWindow::refreshCurrent()
{
    if (auto* tab = qobject_cast<AdminTab*>(m_tabs->currentWidget()))
        tab->refresh();
}

void AdminWindow::showChange(const QString& line)
{
    m_lastChange->setText(line);
}

void AdminWindow::showBusy(bool busy)
{
    m_busy->setText(busy ? tr("Working…") : QString());
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace pelmar
