#pragma once

#include "admin/records.h"
#include "admin/staff.h"
#include "ui/admin/admintab.h"

class QComboBox;
class QDateEdit;

namespace pelmar {

class FormDialog;

// One employee's time records over a range, newest first, with open shifts
// (too long ones flagged) and the clock's midnight closes marked; Add…, Edit… and Delete correct
// them, each change audited with this computer's name.
class RecordsTab : public AdminTab
{
    Q_OBJECT
public:
    RecordsTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    void refresh() override;

private:
    enum class Form
    {
        Add,
        Edit
    };
    void loadRecords();
    void show(const std::vector<admin::ListedRecord>& records);
    static QString checkText(const admin::ListedRecord& listed);
    void addRecord();
    void editRecord();
    void deleteRecord();
    struct ShiftFields;
    void openForm(Form form);
    QString formTitle(Form form, const std::optional<TimeRecord>& record, qint64 employee) const;
    ShiftFields addShiftFields(FormDialog& dialog, Form form, const std::optional<TimeRecord>& record) const;
    // The record picked in the grid; nullopt, after saying so, when none is.
    std::optional<TimeRecord> picked();
    QString employeeName(qint64 id) const;
    // The status line of a saved form: what the shift is now.
    QString describeChange(Form form, const TimeRecord& before, const TimeRecord& after) const;

    QComboBox* m_employee;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QTableWidget* m_grid;
    std::vector<admin::ListedRecord> m_records;
    std::vector<admin::Employee> m_staff;
};

} // namespace pelmar
