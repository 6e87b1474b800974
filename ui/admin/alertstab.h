#pragma once

#include "timekeeping/alertoutbox.h"
#include "ui/admin/admintab.h"

class QDateEdit;

namespace pelmar {

// The alerts to the administrator over a range: pending, sent or failed
// with the reason; a picked one is put back to be sent again by the next
// terminal that tries (the same rows as pelmar-db alerts).
class AlertsTab : public AdminTab
{
    Q_OBJECT
public:
    AlertsTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    void refresh() override;

private:
    void resendPicked();

    QDateEdit* m_from;
    QDateEdit* m_to;
    QTableWidget* m_grid;
};

} // namespace pelmar
