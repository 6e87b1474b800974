#pragma once

#include "admin/records.h"
#include "ui/admin/admintab.h"

class QComboBox;
class QDateEdit;

namespace pelmar {

// One employee's time records over a range, newest first, with open shifts
// and the clock's midnight closes marked; Add…, Edit… and Delete correct
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
    void addRecord();
    void editRecord();
    void deleteRecord();
    void openForm(Form form);
    // The record picked in the grid; nullopt, after saying so, when none is.
    std::optional<TimeRecord> picked();

    QComboBox* m_employee;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QTableWidget* m_grid;
    std::vector<admin::ListedRecord> m_records;
};

} // namespace pelmar
