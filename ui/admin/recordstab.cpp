#include "ui/admin/recordstab.h"

#include "admin/input.h"

#include "admin/periods.h"
#include "admin/staff.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "review/recordtypes.h"
#include "store/engine.h"
#include "ui/admin/formdialog.h"
#include "ui/admin/jobs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace pelmar {

namespace {

QString hoursText(const Value& hours)
{
    return hours.isNull() ? QString() : QString::number(hours.toDouble(), 'f', 2);
}

} // namespace

RecordsTab::RecordsTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : AdminTab(jobs, dialogs, clock, parent)
{
    const admin::DaySpan recent = admin::periodSpan(admin::Period::Last14Days, clock.now());
    m_employee = new QComboBox(this);
    m_employee->setObjectName(QStringLiteral("recordEmployee"));
    m_employee->setAccessibleName(tr("Employee"));
    m_from = dateEditor(recent.from, this);
    m_from->setObjectName(QStringLiteral("recordFrom"));
    m_from->setAccessibleName(tr("From"));
    m_to = dateEditor(recent.to, this);
    m_to->setObjectName(QStringLiteral("recordTo"));
    m_to->setAccessibleName(tr("To"));
    m_grid = grid("recordGrid",
                  {tr("TimeID"), tr("Date"), tr("In"), tr("Out"), tr("Hours"), tr("Type"), tr("Check")},
                  tr("Time records"), 1);
    QComboBox* period = periodPicker("recordPeriod", m_from, m_to, [this] { loadRecords(); });
    setTabOrder(m_employee, period);
    setTabOrder(period, m_from);
    QPushButton* add = button(tr("&Add…"), "addRecord");
    QPushButton* edit = button(tr("&Edit…"), "editRecord");
    QPushButton* remove = button(tr("&Delete"), "deleteRecord");

    auto* top = new QHBoxLayout;
    top->addWidget(captionFor(tr("Employee"), m_employee));
    top->addWidget(m_employee, 1);
    top->addWidget(period);
    top->addWidget(captionFor(tr("From"), m_from));
    top->addWidget(m_from);
    top->addWidget(captionFor(tr("To"), m_to));
    top->addWidget(m_to);
    auto* actions = new QHBoxLayout;
    actions->addWidget(add);
    actions->addWidget(edit);
    actions->addWidget(remove);
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid);
    layout->addLayout(actions);

    connect(m_employee, &QComboBox::activated, this, &RecordsTab::loadRecords);
    connect(m_from, &QDateEdit::dateChanged, this, &RecordsTab::loadRecords);
    connect(m_to, &QDateEdit::dateChanged, this, &RecordsTab::loadRecords);
    connect(add, &QPushButton::clicked, this, &RecordsTab::addRecord);
    connect(edit, &QPushButton::clicked, this, &RecordsTab::editRecord);
    connect(remove, &QPushButton::clicked, this, &RecordsTab::deleteRecord);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &RecordsTab::editRecord);
}

void RecordsTab::refresh()
{
    m_jobs.read(this, [this](Database& db) -> Jobs::Apply {
        std::vector<admin::Employee> staff = admin::staff(db);
        return [this, staff] {
            m_staff = staff;
            fillEmployees(m_employee, staff, false);
            loadRecords();
        };
    });
}

void RecordsTab::loadRecords()
{
    const qint64 id = pickedEmployee(m_employee);
    if (id == 0)
        return;
    const double from = serialOf(m_from->date());
    const double to = serialOf(m_to->date());
    const double now = m_clock.now();
    m_jobs.read(this, [this, id, from, to, now](Database& db) -> Jobs::Apply {
        std::vector<admin::ListedRecord> records = admin::records(db, id, from, to, now);
        return [this, records] { show(records); };
    });
}

QString RecordsTab::checkText(const admin::ListedRecord& listed)
{
    switch (listed.check) {
    case admin::RecordCheck::ClosedAtMidnight:
        return tr("closed at midnight by the clock");
    case admin::RecordCheck::Overdue:
        return overdueText(listed.overdueHours.value_or(0));
    case admin::RecordCheck::Open:
        return tr("open");
    case admin::RecordCheck::None:
        break;
    }
    return {};
}

void RecordsTab::show(const std::vector<admin::ListedRecord>& records)
{
    m_records = records;
    std::vector<GridRow> rows;
    for (const admin::ListedRecord& l : records) {
        const TimeRecord& r = l.record;
        rows.push_back({r.id,
                        {QString::number(r.id), text(r.tdate), text(r.timeIn), text(r.timeOut), text(r.hours),
                         shownType(r.type), checkText(l)},
                        {QVariant(static_cast<double>(r.id)), order(r.tdate), order(r.timeIn),
                         order(r.timeOut), order(r.hours)}});
    }
    fill(m_grid, rows);
}

std::optional<TimeRecord> RecordsTab::picked()
{
    const std::optional<qint64> key = pickedKey(m_grid);
    for (const admin::ListedRecord& l : m_records)
        if (key && l.record.id == *key)
            return l.record;
    m_dialogs.messageBox(tr("Pick a time record in the list first."));
    return std::nullopt;
}

QString RecordsTab::employeeName(qint64 id) const
{
    for (const admin::Employee& e : m_staff)
        if (e.id == id)
            return e.name;
    return QString::number(id);
}

QString RecordsTab::describeChange(Form form, const TimeRecord& before, const TimeRecord& after) const
{
    const QString shift = QString::number(after.id);
    const QString name = employeeName(after.personnelId.toInteger());
    if (after.isOpen())
        return form == Form::Add
                   ? tr("Shift %1 of %2 added on %3, open since %4")
                         .arg(shift, name, text(after.tdate), text(after.timeIn))
                   : tr("Shift %1 of %2 set open since %3").arg(shift, name, text(after.timeIn));
    if (form == Form::Add)
        return tr("Shift %1 of %2 added on %3, %4 to %5 (%6 hours)")
            .arg(shift, name, text(after.tdate), text(after.timeIn), text(after.timeOut),
                 hoursText(after.hours));
    if (before.isOpen())
        return tr("Shift %1 of %2 closed at %3 (%4 hours)")
            .arg(shift, name, text(after.timeOut), hoursText(after.hours));
    return tr("Shift %1 of %2 set to %3 to %4 (%5 hours)")
        .arg(shift, name, text(after.timeIn), text(after.timeOut), hoursText(after.hours));
}

void RecordsTab::addRecord()
{
    if (pickedEmployee(m_employee) != 0)
        openForm(Form::Add);
}

void RecordsTab::editRecord()
{
    openForm(Form::Edit);
}

// The fields of the shift form: its date (only when adding), its times,
// and whether it is still open.
struct RecordsTab::ShiftFields
{
    QDateEdit* date = nullptr;
    QTimeEdit* in = nullptr;
    QTimeEdit* out = nullptr;
    QCheckBox* open = nullptr;

    admin::ShiftTimes times() const
    {
        admin::ShiftTimes typed{serialOf(in->time()), std::nullopt};
        if (!open->isChecked())
            typed.out = serialOf(out->time());
        return typed;
    }
    double day(const std::optional<TimeRecord>& record) const
    {
        if (date)
            return serialOf(date->date());
        return record->tdate.isNull() ? 0 : dates::datePart(record->tdate.toDouble());
    }
};

QString RecordsTab::formTitle(Form form, const std::optional<TimeRecord>& record, qint64 employee) const
{
    // The employee and the date in the caption: the grid behind the form
    // may sort or refresh, and the form must still say what it edits.
    if (form == Form::Add)
        return tr("Add a shift for %1").arg(employeeName(employee));
    return tr("Edit shift %1 of %2 on %3")
        .arg(QString::number(record->id), employeeName(record->personnelId.toInteger()), text(record->tdate));
}

RecordsTab::ShiftFields RecordsTab::addShiftFields(FormDialog& dialog, Form form,
                                                   const std::optional<TimeRecord>& record) const
{
    ShiftFields fields;
    if (form == Form::Add)
        fields.date = dialog.add(tr("&Date"), "shiftDate", dateEditor(serialOf(m_to->date())));
    const double in =
        record && !record->timeIn.isNull() ? record->timeIn.toDouble() : dates::timeSerial(9, 0, 0);
    const double out =
        record && !record->timeOut.isNull() ? record->timeOut.toDouble() : dates::timeSerial(17, 0, 0);
    fields.in = dialog.add(tr("&In"), "shiftIn", timeEditor(in));
    fields.out = dialog.add(tr("&Out"), "shiftOut", timeEditor(out));
    fields.open = dialog.add(tr("Still &open"), "stillOpen", new QCheckBox(tr("no clock-out yet")));
    fields.open->setChecked(record && record->isOpen());
    fields.out->setEnabled(!fields.open->isChecked());
    QTimeEdit* outEdit = fields.out;
    connect(fields.open, &QCheckBox::toggled, outEdit, [outEdit](bool on) { outEdit->setEnabled(!on); });

    // The hours as they will be saved, before the user saves them.
    QLabel* hours = dialog.add(tr("Hours"), "shiftHours", new QLabel);
    const auto showHours = [fields, record, hours] {
        hours->setText(admin::describeShift(fields.day(record), fields.times()));
    };
    showHours();
    connect(fields.in, &QTimeEdit::timeChanged, hours, showHours);
    connect(fields.out, &QTimeEdit::timeChanged, hours, showHours);
    connect(fields.open, &QCheckBox::toggled, hours, showHours);
    if (fields.date)
        connect(fields.date, &QDateEdit::dateChanged, hours, showHours);
    return fields;
}

void RecordsTab::openForm(Form form)
{
    std::optional<TimeRecord> record;
    if (form == Form::Edit && !(record = picked()))
        return;
    const qint64 employee = pickedEmployee(m_employee);
    FormDialog dialog(formTitle(form, record, employee), this);
    const ShiftFields fields = addShiftFields(dialog, form, record);
    TimeRecord saved;
    dialog.setAction([&] {
        const admin::ShiftTimes times = fields.times();
        const auto db = m_jobs.open();
        if (form == Form::Edit)
            saved = admin::setTimes(*db, record->id, times, m_clock.now());
        else
            saved = admin::addShift(*db, employee, fields.day(record), times, m_clock.now());
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    emit changed(describeChange(form, record.value_or(TimeRecord{}), saved));
    loadRecords();
}

void RecordsTab::deleteRecord()
{
    const std::optional<TimeRecord> record = picked();
    if (!record)
        return;
    QMessageBox box(QMessageBox::Question, tr("Delete a time record"),
                    tr("Delete time record %1 of %2?").arg(QString::number(record->id), text(record->tdate)),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes)
        return;
    if (!write([&](Database& db) { admin::removeRecord(db, record->id, m_clock.now()); }))
        return;
    emit changed(tr("Time record %1 of %2 on %3 deleted")
                     .arg(QString::number(record->id), employeeName(record->personnelId.toInteger()),
                          text(record->tdate)));
    loadRecords();
}

} // namespace pelmar
