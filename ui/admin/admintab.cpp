#include "ui/admin/admintab.h"

#include "admin/refusal.h"
#include "admin/staff.h"
#include "platform/dialogs.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "ui/admin/jobs.h"
#include "ui/reporterror.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>

namespace pelmar {

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int OrderRole = Qt::UserRole + 1;

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

} // namespace

AdminTab::AdminTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : QWidget(parent), m_jobs(jobs), m_dialogs(dialogs), m_clock(clock)
{
}

QPushButton* AdminTab::button(const QString& text, const char* objectName)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setAccessibleName(QString(text).remove(QStringLiteral("…")).remove(QLatin1Char('&')));
    return b;
}

QTableWidget* AdminTab::grid(const char* objectName, const QStringList& headers,
                             const QString& accessibleName)
{
    auto* g = new QTableWidget(0, static_cast<int>(headers.size()), this);
    g->setObjectName(QString::fromLatin1(objectName));
    g->setAccessibleName(accessibleName);
    g->setHorizontalHeaderLabels(headers);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->verticalHeader()->setVisible(false);
    g->horizontalHeader()->setStretchLastSection(true);
    g->setSortingEnabled(true);
    // Unsorted until a header is clicked: the core's own order first.
    g->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    return g;
}

void AdminTab::fill(QTableWidget* grid, const std::vector<QStringList>& rows)
{
    std::vector<GridRow> keyed;
    for (const QStringList& texts : rows)
        keyed.push_back({0, texts, {}});
    fill(grid, keyed);
}

void AdminTab::fill(QTableWidget* grid, const std::vector<GridRow>& rows)
{
    // Sorting while filling would move rows under the loop's hands.
    const bool sorting = grid->isSortingEnabled();
    grid->setSortingEnabled(false);
    const std::optional<qint64> picked = pickedKey(grid);
    grid->clearContents();
    grid->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < grid->rowCount(); ++r) {
        const GridRow& row = rows[static_cast<size_t>(r)];
        for (int c = 0; c < row.texts.size() && c < grid->columnCount(); ++c) {
            auto* item = new GridItem(row.texts[c]);
            item->setData(KeyRole, QVariant::fromValue<qint64>(row.key));
            if (c < row.order.size())
                item->setData(OrderRole, row.order[c]);
            grid->setItem(r, c, item);
        }
    }
    grid->setSortingEnabled(sorting);
    // The record picked before stays picked wherever it now sorts.
    for (int r = 0; picked && r < grid->rowCount(); ++r)
        if (grid->item(r, 0) && grid->item(r, 0)->data(KeyRole).value<qint64>() == *picked)
            grid->selectRow(r);
    grid->resizeColumnsToContents();
}

std::optional<qint64> AdminTab::pickedKey(const QTableWidget* grid)
{
    const int row = grid->currentRow();
    const QTableWidgetItem* item = row < 0 ? nullptr : grid->item(row, 0);
    if (!item || !item->isSelected() || item->data(KeyRole).value<qint64>() == 0)
        return std::nullopt;
    return item->data(KeyRole).value<qint64>();
}

void AdminTab::fillEmployees(QComboBox* box, const std::vector<admin::Employee>& staff, bool all)
{
    const qint64 picked = pickedEmployee(box);
    box->clear();
    if (all)
        box->addItem(tr("All employees"), QVariant::fromValue<qint64>(0));
    for (const admin::Employee& e : staff) {
        const QString former =
            e.terminated.isNull() ? QString() : tr(" (left %1)").arg(e.terminated.toText());
        box->addItem(e.name + former, QVariant::fromValue<qint64>(e.id));
    }
    const int at = box->findData(QVariant::fromValue<qint64>(picked));
    box->setCurrentIndex(at >= 0 ? at : 0);
}

qint64 AdminTab::pickedEmployee(const QComboBox* box)
{
    return box->currentIndex() < 0 ? 0 : box->currentData().value<qint64>();
}

bool AdminTab::write(const std::function<void(Database&)>& change)
{
    try {
        change(*m_jobs.open());
        return true;
    } catch (const admin::Refusal& refusal) {
        m_dialogs.messageBox(refusal.message);
    } catch (const RunError& error) {
        reportError(m_dialogs, error);
    }
    return false;
}

bool AdminTab::saveFile(const QString& title, const QString& filter, const QString& name,
                        const QByteArray& bytes)
{
    const std::optional<QString> path = m_dialogs.saveFileName(title, filter, QDir::home().filePath(name));
    if (!path)
        return false;
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_dialogs.messageBox(
            tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(*path), file.errorString()));
        return false;
    }
    return true;
}

} // namespace pelmar
