#pragma once

#include "admin/reports.h"
#include "ui/admin/admintab.h"

class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QLayout;

namespace pelmar {

// The payroll of a range, this month's at first: the hours table, a bar
// chart of each employee's hours with open shifts marked, and the table as
// CSV (the same as pelmar-db hours) or as a printable PDF.
class PayrollTab : public AdminTab
{
    Q_OBJECT
public:
    PayrollTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);
    void refresh() override;

private:
    // The period, the dates and the exports, in the order Tab reaches them.
    QLayout* createRangeRow();
    void show(double from, double to, const admin::Payroll& payroll);
    void showChart();
    void exportCsv();
    void savePdf();
    QString rangeText() const;
    // Whether an export may go ahead: a range with open shifts is saved only
    // once the user has read that their hours are missing.
    bool confirmOpenShifts();
    QString fileName(const QString& suffix) const;

    QComboBox* m_period;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QTableWidget* m_grid;
    QChartView* m_chart;
    // What Other holds, by type; hidden when nothing.
    QLabel* m_other;
    // What the table shows, for the exports.
    double m_shownFrom = 0;
    double m_shownTo = 0;
    admin::Payroll m_payroll;
};

} // namespace pelmar
