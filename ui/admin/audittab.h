#pragma once

#include "store/audit.h"
#include "ui/admin/admintab.h"

class QComboBox;
class QDateEdit;

namespace pelmar {

// The audit trail of a range, filtered by employee and by action, and as
// CSV (the same as pelmar-db audit).
class AuditTab : public AdminTab
{
    Q_OBJECT
public:
    AuditTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    void refresh() override;

private:
    void loadRows();
    void show();
    void exportCsv();

    QDateEdit* m_from;
    QDateEdit* m_to;
    QComboBox* m_employee;
    QComboBox* m_action;
    QTableWidget* m_grid;
    // What the grid shows: the range's rows the employee and action picked.
    std::vector<audit::Row> m_rows;
};

} // namespace pelmar
