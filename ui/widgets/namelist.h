#pragma once

#include "platform/value.h"

#include <QComboBox>
#include <QStringList>
#include <vector>

namespace pelmar {

class DataSource;

// The drop-down list of employees: lists the rows of its data source by
// their FullName and offers the selected row's values by data field name.
// While Locked the selection cannot be changed by the user, but the list
// stays readable. No row is selected until the user picks one.
class NameList : public QComboBox
{
    Q_OBJECT
public:
    explicit NameList(QWidget* parent = nullptr);

    // Rows come from the data source's current recordset; the list follows
    // its refreshes.
    void setDataSource(DataSource* source);
    void setListField(const QString& field);

    bool hasSelection() const { return currentIndex() >= 0; }
    // The selected row's value of a data field (EmployeeID, FullName,
    // Password, TerminationDate); Null when no row is selected.
    Value columnValue(const QString& dataField) const;
    // Selects the row whose FullName matches exactly; false if none does.
    bool selectName(const QString& fullName);

    bool locked() const { return m_locked; }
    void setLocked(bool locked);

signals:
    // The user is opening the list: the owner may read the staff afresh.
    void aboutToShowNames();

protected:
    void showPopup() override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void reload();

    DataSource* m_source = nullptr;
    QString m_listField = QStringLiteral("FullName");
    bool m_locked = false;
    // Column names and a copy of every listed row, by item index.
    QStringList m_columns;
    std::vector<std::vector<Value>> m_rows;
};

} // namespace pelmar
