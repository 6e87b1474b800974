#include "ui/widgets/namelist.h"

#include "store/datasource.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace pelmar {

namespace {

// Data field names are matched without regard to case, as the data controls do.
int indexOfField(const QStringList& columns, const QString& field)
{
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

NameList::NameList(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setPlaceholderText(tr("Select your name"));
    setCurrentIndex(-1);
}

void NameList::setDataSource(DataSource* source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source) {
        connect(m_source, &DataSource::refreshed, this, &NameList::reload);
        connect(m_source, &DataSource::rowsChanged, this, &NameList::reload);
        connect(m_source, &QObject::destroyed, this, [this] { m_source = nullptr; });
    }
    reload();
}

void NameList::setListField(const QString& field)
{
    m_listField = field;
    reload();
}

Value NameList::columnValue(const QString& dataField) const
{
    const int row = currentIndex();
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size())
        return Value::null();
    const auto col = indexOfField(m_columns, dataField);
    if (col < 0)
        return Value::null();
    const std::vector<Value>& values = m_rows[static_cast<size_t>(row)];
    return static_cast<size_t>(col) < values.size() ? values[static_cast<size_t>(col)] : Value::null();
}

bool NameList::selectName(const QString& fullName)
{
    const int i = findText(fullName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0)
        return false;
    setCurrentIndex(i);
    return true;
}

void NameList::setLocked(bool locked)
{
    m_locked = locked;
    if (locked)
        hidePopup();
}

void NameList::reload()
{
    // Everything is read before the list is touched, so a failing read leaves the old list.
    QStringList columns;
    std::vector<std::vector<Value>> rows;
    QStringList names;
    if (m_source && m_source->hasRecordset()) {
        Recordset& rs = m_source->recordset();
        // Employee lists are short: reading them whole keeps the list complete for the keyboard search.
        while (rs.canFetchMore())
            rs.fetchMore();
        const int count = rs.fetchedCount();
        const int listCol = rs.columnIndex(m_listField);
        columns = rs.fieldNames();
        rows.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            rows.push_back(rs.row(i));
            names << (listCol >= 0 ? rs.row(i)[static_cast<size_t>(listCol)].toTextOrEmpty() : QString());
        }
    }

    const Value previousId = columnValue(QStringLiteral("EmployeeID"));
    const int previousIndex = currentIndex();
    const QString previousText = currentText();

    int keep = -1;
    if (!previousId.isNull()) {
        const auto idCol = indexOfField(columns, QStringLiteral("EmployeeID"));
        for (size_t i = 0; idCol >= 0 && i < rows.size(); ++i) {
            if (rows[i][static_cast<size_t>(idCol)] == previousId) {
                keep = static_cast<int>(i);
                break;
            }
        }
    }

    {
        // Rebuilding passes through intermediate selections the window must not act on.
        const QSignalBlocker blocker(this);
        clear();
        m_columns = std::move(columns);
        m_rows = std::move(rows);
        addItems(names);
        setCurrentIndex(keep);
    }
    if (currentIndex() != previousIndex)
        emit currentIndexChanged(currentIndex());
    if (currentText() != previousText)
        emit currentTextChanged(currentText());
}

void NameList::showPopup()
{
    if (m_locked)
        return;
    emit aboutToShowNames();
    QComboBox::showPopup();
}

void NameList::keyPressEvent(QKeyEvent* event)
{
    if (!m_locked) {
        QComboBox::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    // Focus moves and the dialog keys still reach the window.
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->ignore();
        break;
    default:
        event->accept();
        break;
    }
}

void NameList::wheelEvent(QWheelEvent* event)
{
    if (m_locked) {
        event->accept();
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace pelmar
