#pragma once

#include "admin/reports.h"
#include "ui/admin/admintab.h"

class QChartView;
class QDateEdit;

namespace pelmar {

// The payroll of a range: the hours table, a bar chart of each employee's
// hours with open shifts marked, and the table as CSV (the same as
// pelmar-db hours) or as a printable PDF page.
class PayrollTab : public AdminTab
{
    Q_OBJECT
public:
    PayrollTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    void refresh() override;

private:
    void show(double from, double to, const std::vector<admin::PayrollRow>& rows);
    void showChart();
    void exportCsv();
    void savePdf();
    QString rangeText() const;

    QDateEdit* m_from;
    QDateEdit* m_to;
    QTableWidget* m_grid;
    QChartView* m_chart;
    // What the table shows, for the exports.
    double m_shownFrom = 0;
    double m_shownTo = 0;
    std::vector<admin::PayrollRow> m_rows;
};

} // namespace pelmar
