#pragma once

#include "admin/staff.h"
#include "ui/admin/admintab.h"

namespace pelmar {

// Current and former employees: add one, reset a password, terminate,
// rehire, and see, record or remove absences.
class StaffTab : public AdminTab
{
    Q_OBJECT
public:
    StaffTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    void refresh() override;

private:
    void show(const std::vector<admin::Employee>& staff);
    void addEmployee();
    void resetPassword();
    void terminate();
    void rehire();
    // The employee's absences, to add or remove.
    void absences();
    // The employee picked in the grid; nullopt, after saying so, when none is.
    std::optional<admin::Employee> picked();

    QTableWidget* m_grid;
    std::vector<admin::Employee> m_staff;
};

} // namespace pelmar
