#pragma once

#include "platform/value.h"

#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

class QTableWidget;
class QWidget;

// The grids of the administrator's window: read-only, one row picked at a
// time, sorted by a click on a column's header.
namespace pelmar::grids {

// A row: the key of the record it shows, its texts, and where a text would
// sort wrongly (dates, times, numbers), the value to sort by.
struct Row
{
    qint64 key = 0;
    QStringList texts;
    QVariantList order;
};

// rowHeaderColumn: the column that names a row for a screen reader.
QTableWidget* create(QWidget* parent, const char* objectName, const QStringList& headers,
                     const QString& accessibleName, int rowHeaderColumn = 0);
// Replaces the rows, keeping the sorting picked and the row picked.
void fill(QTableWidget* grid, const std::vector<Row>& rows);
// The key of the row picked, whatever its place; nullopt when none is.
std::optional<qint64> pickedKey(const QTableWidget* grid);
// A date, time or number value to sort by; nothing for Null.
inline QVariant order(const Value& v)
{
    return v.isNull() ? QVariant() : QVariant(v.toDouble());
}

} // namespace pelmar::grids
