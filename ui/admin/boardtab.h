#pragma once

#include "ui/admin/admintab.h"

class QLabel;
class QTimer;

namespace pelmar {

namespace admin {
struct Board;
}

// Who is in, out or away now: every current employee's where-is status,
// since when and from which workstation, refreshed every 30 seconds.
class BoardTab : public AdminTab
{
    Q_OBJECT
public:
    BoardTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    void refresh() override;

private:
    void show(const admin::Board& board);

    QLabel* m_summary;
    QTableWidget* m_grid;
    QTimer* m_timer;
};

} // namespace pelmar
