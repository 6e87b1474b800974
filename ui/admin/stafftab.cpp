#include "ui/admin/stafftab.h"

#include "admin/input.h"
#include "admin/refusal.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "store/engine.h"
#include "ui/admin/absencesdialog.h"
#include "ui/admin/formdialog.h"
#include "ui/admin/jobs.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pelmar {

namespace {

QLineEdit* hiddenEntry()
{
    auto* entry = new QLineEdit;
    entry->setEchoMode(QLineEdit::Password);
    return entry;
}

} // namespace

StaffTab::StaffTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : AdminTab(jobs, dialogs, clock, parent)
{
    m_grid = grid("staffGrid", {tr("ID"), tr("Name"), tr("Terminated")}, tr("Staff"), 1);
    QPushButton* add = button(tr("&Add…"), "addEmployee");
    QPushButton* password = button(tr("Reset &password…"), "resetPassword");
    QPushButton* terminateButton = button(tr("&Terminate…"), "terminateEmployee");
    QPushButton* rehireButton = button(tr("Re&hire"), "rehireEmployee");
    QPushButton* absences = button(tr("A&bsences…"), "showAbsences");
    auto* actions = new QHBoxLayout;
    for (QPushButton* b : {add, password, terminateButton, rehireButton, absences})
        actions->addWidget(b);
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(actions);

    connect(add, &QPushButton::clicked, this, &StaffTab::addEmployee);
    connect(password, &QPushButton::clicked, this, &StaffTab::resetPassword);
    connect(terminateButton, &QPushButton::clicked, this, &StaffTab::terminate);
    connect(rehireButton, &QPushButton::clicked, this, &StaffTab::rehire);
    connect(absences, &QPushButton::clicked, this, &StaffTab::absences);
}

void StaffTab::refresh()
{
    m_jobs.read(this, [this](Database& db) -> Jobs::Apply {
        std::vector<admin::Employee> staff = admin::staff(db);
        return [this, staff] { show(staff); };
    });
}

void StaffTab::show(const std::vector<admin::Employee>& staff)
{
    m_staff = staff;
    std::vector<GridRow> rows;
    for (const admin::Employee& e : staff)
        rows.push_back({e.id,
                        {QString::number(e.id), e.name, text(e.terminated)},
                        {QVariant(static_cast<double>(e.id)), QVariant(), order(e.terminated)}});
    fill(m_grid, rows);
}

std::optional<admin::Employee> StaffTab::picked()
{
    const std::optional<qint64> key = pickedKey(m_grid);
    for (const admin::Employee& e : m_staff)
        if (key && e.id == *key)
            return e;
    m_dialogs.messageBox(tr("Pick an employee in the list first."));
    return std::nullopt;
}

void StaffTab::addEmployee()
{
    FormDialog dialog(tr("Add an employee"), this);
    auto* name = dialog.add(tr("Full &name"), "employeeName", new QLineEdit);
    auto* id = dialog.add(tr("&Key"), "employeeId", new QLineEdit);
    auto* password = dialog.add(tr("&Password"), "employeePassword", hiddenEntry());
    auto* again = dialog.add(tr("&Again"), "employeePasswordAgain", hiddenEntry());
    qint64 key = 0;
    dialog.setAction([&] {
        key = admin::input::employeeNumber(id->text());
        admin::addEmployee(*m_jobs.open(), key, name->text(),
                           admin::confirmedPassword(password->text(), again->text()));
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    emit changed(tr("%1 added as employee %2").arg(name->text(), QString::number(key)));
    refresh();
}

void StaffTab::resetPassword()
{
    const std::optional<admin::Employee> employee = picked();
    if (!employee)
        return;
    FormDialog dialog(tr("New password for %1").arg(employee->name), this);
    auto* password = dialog.add(tr("&Password"), "employeePassword", hiddenEntry());
    auto* again = dialog.add(tr("&Again"), "employeePasswordAgain", hiddenEntry());
    dialog.setAction([&] {
        admin::setPassword(*m_jobs.open(), employee->id,
                           admin::confirmedPassword(password->text(), again->text()));
    });
    if (dialog.exec() == QDialog::Accepted)
        emit changed(tr("Password of %1 reset").arg(employee->name));
}

void StaffTab::terminate()
{
    const std::optional<admin::Employee> employee = picked();
    if (!employee)
        return;
    FormDialog dialog(tr("Terminate %1").arg(employee->name), this);
    auto* date = dialog.add(tr("&Last day"), "terminationDate", dateEditor(dates::datePart(m_clock.now())));
    dialog.setAction([&] { admin::terminate(*m_jobs.open(), employee->id, serialOf(date->date())); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    emit changed(tr("%1 terminated on %2").arg(employee->name, dates::shortDate(serialOf(date->date()))));
    refresh();
}

void StaffTab::rehire()
{
    const std::optional<admin::Employee> employee = picked();
    if (!employee || !write([&](Database& db) { admin::rehire(db, employee->id); }))
        return;
    emit changed(tr("%1 rehired").arg(employee->name));
    refresh();
}

void StaffTab::absences()
{
    const std::optional<admin::Employee> employee = picked();
    if (!employee)
        return;
    AbsencesDialog dialog(
        *employee, [this] { return m_jobs.open(); }, m_clock, this);
    connect(&dialog, &AbsencesDialog::changed, this, &AdminTab::changed);
    dialog.exec();
}

} // namespace pelmar
