#include "ui/widgets/timegrid.h"

#include "platform/datetime.h"
#include "platform/numformat.h"
#include "platform/runerror.h"
#include "review/recordtypes.h"
#include "store/datasource.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPointer>
#include <array>

namespace pelmar {

namespace {

enum class Format
{
    Plain,
    ShortDate,
    MediumTime,
    Hours,
    RecordType // stored in English, shown in the window's language
};

struct ColumnDef
{
    const char* caption;
    const char* field;
    Format format;
};

constexpr std::array<ColumnDef, 6> Columns{{
    {QT_TRANSLATE_NOOP("pelmar::TimeGrid", "PersonnelID"), "PersonnelID", Format::Plain},
    {QT_TRANSLATE_NOOP("pelmar::TimeGrid", "Date"), "Tdate", Format::ShortDate},
    {QT_TRANSLATE_NOOP("pelmar::TimeGrid", "Time In"), "TimeIn", Format::MediumTime},
    {QT_TRANSLATE_NOOP("pelmar::TimeGrid", "Time Out"), "TimeOut", Format::MediumTime},
    {QT_TRANSLATE_NOOP("pelmar::TimeGrid", "Hours"), "Thours", Format::Hours},
    {QT_TRANSLATE_NOOP("pelmar::TimeGrid", "Type"), "Type", Format::RecordType},
}};

constexpr int DateColumn = 1;

QString formatted(const Value& v, Format format)
{
    if (v.isNull())
        return {};
    try {
        switch (format) {
        case Format::Plain:
            return v.toText();
        case Format::ShortDate:
            return dates::shortDate(v.toDouble());
        case Format::MediumTime:
            return dates::mediumTime(v.toDouble());
        case Format::Hours:
            return formatNumber(v.toDouble(), QStringLiteral("##.00"));
        case Format::RecordType:
            return shownType(v);
        }
    } catch (const RunError&) {
        // A text the format cannot read is shown as it is, rather than failing the row.
    }
    return v.toText();
}

} // namespace

// The time records of a data source's current recordset as a table, fetched
// page by page. Holds no recordset itself: the data source may replace it.
class TimeGridModel : public QAbstractTableModel
{
public:
    explicit TimeGridModel(QObject* parent) : QAbstractTableModel(parent) {}

    void setSource(DataSource* source);
    void setPaused(bool paused) { m_paused = paused; }
    void reset();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(Columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    QString text(int row, int column) const;

private:
    bool hasRecordset() const { return !m_paused && m_source && m_source->hasRecordset(); }
    // Called between beginResetModel and endResetModel.
    void takeRecordset();

    QPointer<DataSource> m_source;
    int m_rows = 0;
    std::array<int, Columns.size()> m_columnOf{};
    bool m_fetchFailed = false;
    bool m_paused = false;
};

void TimeGridModel::setSource(DataSource* source)
{
    beginResetModel();
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::refreshed, this, &TimeGridModel::reset);
        connect(source, &DataSource::rowsChanged, this, &TimeGridModel::reset);
        connect(source, &QObject::destroyed, this, &TimeGridModel::reset);
    }
    takeRecordset();
    endResetModel();
}

void TimeGridModel::reset()
{
    beginResetModel();
    takeRecordset();
    endResetModel();
}

QVariant TimeGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && Columns[static_cast<size_t>(index.column())].format == Format::Hours)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TimeGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < static_cast<int>(Columns.size()))
        return TimeGrid::tr(Columns[static_cast<size_t>(section)].caption);
    // A row is named by its date for a screen reader; the header itself stays hidden.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return text(section, DateColumn);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool TimeGridModel::canFetchMore(const QModelIndex& parent) const
{
    if (parent.isValid() || m_fetchFailed || !hasRecordset())
        return false;
    Recordset& rs = m_source->recordset();
    return m_rows < rs.fetchedCount() || rs.canFetchMore();
}

void TimeGridModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    Recordset& rs = m_source->recordset();
    // Others may have read ahead (the totals walk the whole recordset); take those rows first.
    if (m_rows >= rs.fetchedCount()) {
        try {
            rs.fetchMore();
        } catch (...) {
            // The view calls this from its event handling, where an exception cannot go;
            // the rows read so far stay and the next refresh tries again.
            m_fetchFailed = true;
            return;
        }
    }
    const int available = rs.fetchedCount();
    if (available <= m_rows)
        return;
    beginInsertRows(QModelIndex(), m_rows, available - 1);
    m_rows = available;
    endInsertRows();
}

QString TimeGridModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= static_cast<int>(Columns.size()) ||
        !hasRecordset())
        return {};
    Recordset& rs = m_source->recordset();
    const int col = m_columnOf[static_cast<size_t>(column)];
    if (col < 0 || row >= rs.fetchedCount())
        return {};
    const std::vector<Value>& values = rs.row(row);
    if (static_cast<size_t>(col) >= values.size())
        return {};
    return formatted(values[static_cast<size_t>(col)], Columns[static_cast<size_t>(column)].format);
}

void TimeGridModel::takeRecordset()
{
    m_fetchFailed = false;
    m_columnOf.fill(-1);
    m_rows = 0;
    if (!hasRecordset())
        return;
    Recordset& rs = m_source->recordset();
    for (size_t i = 0; i < Columns.size(); ++i)
        m_columnOf[i] = rs.columnIndex(QString::fromLatin1(Columns[i].field));
    m_rows = rs.fetchedCount();
}

TimeGrid::TimeGrid(QWidget* parent) : QTableView(parent), m_model(new TimeGridModel(this))
{
    setModel(m_model);
    setFont(QFont(QStringLiteral("Arial"), 8));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid rather than walking its cells.
    setTabKeyNavigation(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    // The sheet is always one employee's, so their number is left out and
    // the other five columns fit the grid without scrolling sideways.
    setColumnHidden(0, true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int widths[] = {0, 70, 62, 62, 44};
    for (int column = 1; column < 5; ++column)
        setColumnWidth(column, widths[column]);
}

TimeGrid::~TimeGrid() = default;

void TimeGrid::setDataSource(DataSource* source)
{
    m_model->setSource(source);
}

void TimeGrid::refresh()
{
    m_model->reset();
}

void TimeGrid::setPaused(bool paused)
{
    m_model->setPaused(paused);
    setUpdatesEnabled(!paused);
    // A page skipped while paused is asked for again.
    if (!paused)
        updateGeometries();
}

QString TimeGrid::cellText(int row, int column) const
{
    return m_model->text(row, column);
}

int TimeGrid::rowCount() const
{
    return m_model->rowCount();
}

} // namespace pelmar
