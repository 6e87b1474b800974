#pragma once

#include "review/whereis.h"
#include "ui/admin/admintab.h"

class QLabel;
class QLineEdit;
class QTimer;

namespace pelmar {

namespace admin {
struct Board;
}

// Who is in, out or away now: every current employee's where-is status,
// since when and from which workstation, with shifts open too long flagged,
// refreshed every 30 seconds; a name typed narrows the list.
class BoardTab : public AdminTab
{
    Q_OBJECT
public:
    BoardTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    void refresh() override;

private:
    void show(const admin::Board& board);
    // Shows only the rows whose name holds the text typed, in any case.
    void applyFilter();

    QLabel* m_summary;
    QLineEdit* m_filter;
    QTableWidget* m_grid;
    QTimer* m_timer;
};

} // namespace pelmar
