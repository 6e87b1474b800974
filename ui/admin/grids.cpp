#include "ui/admin/grids.h"

#include <QHeaderView>
#include <QTableWidget>

namespace pelmar::grids {

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int OrderRole = Qt::UserRole + 1;
// The column whose text names a row, held on the grid.
constexpr const char* RowHeaderProperty = "pelmarRowHeaderColumn";

// A cell that sorts by its value where it has one (a date sorts by day, not
// by its text), blanks first, and by its text otherwise.
class GridItem : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override
    {
        const QVariant a = data(OrderRole), b = other.data(OrderRole);
        if (a.isValid() && b.isValid())
            return a.toDouble() < b.toDouble();
        if (a.isValid() != b.isValid())
            return !a.isValid() && text().isEmpty();
        // Plain numbers (hours, counts) sort by value even without one.
        bool numberA = false, numberB = false;
        const double x = text().toDouble(&numberA), y = other.text().toDouble(&numberB);
        if (numberA && numberB)
            return x < y;
        return QString::localeAwareCompare(text(), other.text()) < 0;
    }
};

// Each row's header is its naming column's text: hidden on screen, it is
// what a screen reader announces for the row of a cell. Sorting moves the
// cells but not the headers, so they are set again after each.
void labelRows(QTableWidget* grid)
{
    const int column = grid->property(RowHeaderProperty).toInt();
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QTableWidgetItem* cell = grid->item(r, column);
        const QString text = cell ? cell->text() : QString();
        if (QTableWidgetItem* header = grid->verticalHeaderItem(r))
            header->setText(text);
        else
            grid->setVerticalHeaderItem(r, new QTableWidgetItem(text));
    }
}

} // namespace

QTableWidget* create(QWidget* parent, const char* objectName, const QStringList& headers,
                     const QString& accessibleName, int rowHeaderColumn)
{
    auto* g = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    g->setObjectName(QString::fromLatin1(objectName));
    g->setAccessibleName(accessibleName);
    g->setHorizontalHeaderLabels(headers);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid, as everywhere else; the arrows move in it.
    g->setTabKeyNavigation(false);
    g->verticalHeader()->setVisible(false);
    g->horizontalHeader()->setStretchLastSection(true);
    g->setSortingEnabled(true);
    // Unsorted until a header is clicked: the core's own order first.
    g->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    g->setProperty(RowHeaderProperty, rowHeaderColumn);
    QObject::connect(g->model(), &QAbstractItemModel::layoutChanged, g, [g] { labelRows(g); });
    return g;
}

void fill(QTableWidget* grid, const std::vector<Row>& rows)
{
    // Sorting while filling would move rows under the loop's hands.
    const bool sorting = grid->isSortingEnabled();
    grid->setSortingEnabled(false);
    const std::optional<qint64> picked = pickedKey(grid);
    grid->clearContents();
    grid->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < grid->rowCount(); ++r) {
        const Row& row = rows[static_cast<size_t>(r)];
        for (int c = 0; c < row.texts.size() && c < grid->columnCount(); ++c) {
            auto* item = new GridItem(row.texts[c]);
            item->setData(KeyRole, QVariant::fromValue<qint64>(row.key));
            if (c < row.order.size())
                item->setData(OrderRole, row.order[c]);
            grid->setItem(r, c, item);
        }
    }
    grid->setSortingEnabled(sorting);
    labelRows(grid);
    // The record picked before stays picked wherever it now sorts.
    for (int r = 0; picked && r < grid->rowCount(); ++r)
        if (grid->item(r, 0) && grid->item(r, 0)->data(KeyRole).value<qint64>() == *picked)
            grid->selectRow(r);
    grid->resizeColumnsToContents();
}

std::optional<qint64> pickedKey(const QTableWidget* grid)
{
    const int row = grid->currentRow();
    const QTableWidgetItem* item = row < 0 ? nullptr : grid->item(row, 0);
    if (!item || !item->isSelected() || item->data(KeyRole).value<qint64>() == 0)
        return std::nullopt;
    return item->data(KeyRole).value<qint64>();
}

} // namespace pelmar::grids
