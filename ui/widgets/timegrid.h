#pragma once

#include <QTableView>

namespace pelmar {

class DataSource;
class TimeGridModel;

// The grid of time records: the rows of its data source in their order, six
// columns with their captions and display formats (Short Date, Medium Time,
// "##.00"). Reads further pages of the recordset as the user scrolls.
class TimeGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TimeGrid(QWidget* parent = nullptr);
    ~TimeGrid() override;

    void setDataSource(DataSource* source);
    // Shows the data source's current rows again.
    void refresh();
    // While paused the grid neither paints nor reads its data source, which
    // another thread may be refreshing; resumed, it reads on where it was.
    void setPaused(bool paused);

    // Displayed text of a cell, as the user sees it (for tests and tools).
    QString cellText(int row, int column) const;
    int rowCount() const;

private:
    TimeGridModel* m_model;
};

} // namespace pelmar
