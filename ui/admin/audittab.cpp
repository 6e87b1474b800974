#include "ui/admin/audittab.h"

#include "admin/input.h"
#include "admin/periods.h"
#include "admin/records.h"
#include "admin/staff.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "ui/admin/formdialog.h"
#include "ui/admin/jobs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pelmar {

AuditTab::AuditTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : AdminTab(jobs, dialogs, clock, parent)
{
    const double today = dates::datePart(clock.now());
    m_from = dateEditor(today - 30, this);
    m_from->setObjectName(QStringLiteral("auditFrom"));
    m_from->setAccessibleName(tr("From"));
    m_to = dateEditor(today, this);
    m_to->setObjectName(QStringLiteral("auditTo"));
    m_to->setAccessibleName(tr("To"));
    m_employee = new QComboBox(this);
    m_employee->setObjectName(QStringLiteral("auditEmployee"));
    m_employee->setAccessibleName(tr("Employee"));
    // Named by its current item where no caption points at it (as on Linux).
    m_employee->setAccessibleDescription(tr("Employee"));
    m_action = new QComboBox(this);
    m_action->setObjectName(QStringLiteral("auditAction"));
    m_action->setAccessibleName(tr("Action"));
    m_action->setAccessibleDescription(tr("Action"));
    // Each action in the window's language, picking the stored word.
    m_action->addItem(tr("All actions"), QString());
    for (const QString& action : admin::auditActions())
        m_action->addItem(admin::shownAction(action), action);
    m_grid = grid("auditGrid",
                  {tr("When"), tr("Workstation"), tr("Account"), tr("Action"), tr("TimeID"), tr("EmployeeID"),
                   tr("Employee"), tr("Before"), tr("After"), tr("Offline")},
                  tr("Audit trail"));
    QPushButton* csv = button(tr("Export &CSV…"), "exportAudit");
    // The export sits at the end of the top row: Tab reaches it before the grid.
    setTabOrder(m_action, csv);
    setTabOrder(csv, m_grid);

    auto* top = new QHBoxLayout;
    top->addWidget(captionFor(tr("From"), m_from));
    top->addWidget(m_from);
    top->addWidget(captionFor(tr("To"), m_to));
    top->addWidget(m_to);
    top->addWidget(m_employee, 1);
    top->addWidget(m_action);
    top->addWidget(csv);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid);

    connect(m_from, &QDateEdit::dateChanged, this, &AuditTab::loadRows);
    connect(m_to, &QDateEdit::dateChanged, this, &AuditTab::loadRows);
    connect(m_employee, &QComboBox::activated, this, &AuditTab::loadRows);
    connect(m_action, &QComboBox::activated, this, &AuditTab::loadRows);
    connect(csv, &QPushButton::clicked, this, &AuditTab::exportCsv);
}

void AuditTab::refresh()
{
    m_jobs.read(this, [this](Database& db) -> Jobs::Apply {
        std::vector<admin::Employee> staff = admin::staff(db);
        return [this, staff] {
            fillEmployees(m_employee, staff, true);
            loadRows();
        };
    });
}

void AuditTab::loadRows()
{
    const double from = serialOf(m_from->date());
    const double to = serialOf(m_to->date());
    const admin::AuditFilter filter{pickedEmployee(m_employee), m_action->currentData().toString()};
    m_jobs.read(this, [this, from, to, filter](Database& db) -> Jobs::Apply {
        std::vector<audit::Row> rows = admin::auditTrail(db, from, to, filter);
        return [this, rows] {
            m_rows = rows;
            show();
        };
    });
}

void AuditTab::show()
{
    std::vector<GridRow> rows;
    for (const audit::Row& r : m_rows)
        rows.push_back(
            {0,
             {Value::date(r.when).toText(), r.workstation, r.account, admin::shownAction(r.action),
              text(r.timeId), text(r.employeeId), r.employeeName, text(r.before), text(r.after), r.offline},
             {QVariant(r.when), QVariant(), QVariant(), QVariant(), order(r.timeId), order(r.employeeId)}});
    fill(m_grid, rows);
}

void AuditTab::exportCsv()
{
    saveFile(tr("Export the audit trail"), tr("CSV files|*.csv"),
             admin::datedFileName(QStringLiteral("audit"), serialOf(m_from->date()), serialOf(m_to->date()),
                                  QStringLiteral("csv")),
             admin::auditCsv(m_rows).toUtf8());
}

} // namespace pelmar
