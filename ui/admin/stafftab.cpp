#include "ui/admin/stafftab.h"

#include "admin/absences.h"
#include "admin/input.h"
#include "admin/refusal.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "store/engine.h"
#include "ui/admin/formdialog.h"
#include "ui/admin/jobs.h"

#include <QComboBox>
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

// The password typed twice, the same both times.
QString confirmedPassword(const QLineEdit* first, const QLineEdit* again)
{
    if (first->text() != again->text())
        throw admin::Refusal{QObject::tr("The two passwords differ; type the same password twice.")};
    return first->text();
}

} // namespace

StaffTab::StaffTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : AdminTab(jobs, dialogs, clock, parent)
{
    m_grid = grid("staffGrid", {tr("ID"), tr("Name"), tr("Terminated")}, tr("Staff"));
    QPushButton* add = button(tr("&Add…"), "addEmployee");
    QPushButton* password = button(tr("Reset &password…"), "resetPassword");
    QPushButton* terminateButton = button(tr("&Terminate…"), "terminateEmployee");
    QPushButton* rehireButton = button(tr("Re&hire"), "rehireEmployee");
    QPushButton* absences = button(tr("A&bsences…"), "addAbsences");
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
    connect(absences, &QPushButton::clicked, this, &StaffTab::addAbsences);
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
    std::vector<QStringList> rows;
    for (const admin::Employee& e : staff)
        rows.push_back({QString::number(e.id), e.name, text(e.terminated)});
    fill(m_grid, rows);
}

std::optional<admin::Employee> StaffTab::picked()
{
    const int row = m_grid->currentRow();
    if (row < 0 || row >= static_cast<int>(m_staff.size())) {
        m_dialogs.messageBox(tr("Pick an employee in the list first."));
        return std::nullopt;
    }
    return m_staff[static_cast<size_t>(row)];
}

void StaffTab::addEmployee()
{
    FormDialog dialog(tr("Add an employee"), this);
    auto* name = dialog.add(tr("Full &name"), "employeeName", new QLineEdit);
    auto* id = dialog.add(tr("&Key"), "employeeId", new QLineEdit);
    auto* password = dialog.add(tr("&Password"), "employeePassword", hiddenEntry());
    auto* again = dialog.add(tr("&Again"), "employeePasswordAgain", hiddenEntry());
    dialog.setAction([&] {
        const qint64 key = admin::input::employeeNumber(id->text());
        admin::checkName(name->text());
        admin::addEmployee(*m_jobs.open(), key, name->text(), confirmedPassword(password, again));
    });
    if (dialog.exec() == QDialog::Accepted)
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
    dialog.setAction(
        [&] { admin::setPassword(*m_jobs.open(), employee->id, confirmedPassword(password, again)); });
    dialog.exec();
}

void StaffTab::terminate()
{
    const std::optional<admin::Employee> employee = picked();
    if (!employee)
        return;
    FormDialog dialog(tr("Terminate %1").arg(employee->name), this);
    auto* date = dialog.add(tr("&Last day"), "terminationDate", dateEditor(dates::datePart(m_clock.now())));
    dialog.setAction([&] { admin::terminate(*m_jobs.open(), employee->id, serialOf(date->date())); });
    if (dialog.exec() == QDialog::Accepted)
        refresh();
}

void StaffTab::rehire()
{
    const std::optional<admin::Employee> employee = picked();
    if (employee && write([&](Database& db) { admin::rehire(db, employee->id); }))
        refresh();
}

void StaffTab::addAbsences()
{
    const std::optional<admin::Employee> employee = picked();
    if (!employee)
        return;
    const double today = dates::datePart(m_clock.now());
    FormDialog dialog(tr("Absences of %1").arg(employee->name), this);
    auto* type = dialog.add(tr("&Type"), "absenceType", new QComboBox);
    for (const RecordType t : admin::absenceTypes())
        type->addItem(typeText(t), static_cast<int>(t));
    auto* span = dialog.add(tr("&On"), "absenceSpan", new QComboBox);
    span->addItems({tr("one date"), tr("every Monday to Friday of a range")});
    auto* from = dialog.add(tr("&From"), "absenceFrom", dateEditor(today));
    auto* to = dialog.add(tr("T&o"), "absenceTo", dateEditor(today));
    to->setEnabled(false);
    connect(span, &QComboBox::currentIndexChanged, to, [to](int index) { to->setEnabled(index == 1); });
    dialog.setAction([&] {
        const double first = serialOf(from->date());
        std::vector<double> days = {first};
        if (span->currentIndex() == 1) {
            const double last = serialOf(to->date());
            admin::input::requireOrder(first, last);
            days = admin::weekdays(first, last);
        }
        admin::addAbsences(*m_jobs.open(), employee->id, days,
                           static_cast<RecordType>(type->currentData().toInt()));
    });
    dialog.exec();
}

} // namespace pelmar
