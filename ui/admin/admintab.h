#pragma once

#include "platform/value.h"
#include "ui/admin/grids.h"

#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QDateEdit;
class QPushButton;
class QTableWidget;

namespace pelmar {

class Clock;
class Database;
class Dialogs;
class Jobs;
namespace admin {
struct Employee;
}

// One tab of the administrator's window: it asks the administrator's module
// through the window's jobs and shows the answer.
class AdminTab : public QWidget
{
    Q_OBJECT
public:
    AdminTab(Jobs& jobs, Dialogs& dialogs, const Clock& clock, QWidget* parent = nullptr);

    // Reads what the tab shows afresh; called when the tab comes to the front.
    virtual void refresh() = 0;

signals:
    // A change was saved; line names it for the window's status bar.
    void changed(const QString& line);

protected:
    using GridRow = grids::Row;

    QPushButton* button(const QString& text, const char* objectName);
    QTableWidget* grid(const char* objectName, const QStringList& headers, const QString& accessibleName,
                       int rowHeaderColumn = 0);
    static void fill(QTableWidget* grid, const std::vector<QStringList>& rows);
    static void fill(QTableWidget* grid, const std::vector<GridRow>& rows) { grids::fill(grid, rows); }
    static std::optional<qint64> pickedKey(const QTableWidget* grid) { return grids::pickedKey(grid); }
    static QVariant order(const Value& v) { return grids::order(v); }
    // The employees of a pick list, keeping the one picked; with all, an
    // "All employees" entry first.
    static void fillEmployees(QComboBox* box, const std::vector<admin::Employee>& staff, bool all);
    // The id picked in the list; 0 for "All employees" or none.
    static qint64 pickedEmployee(const QComboBox* box);
    // The pick of This month, Last month or Last 14 days for a range: a pick
    // sets both dates and calls changed once; dates typed by hand show as
    // "Other dates".
    QComboBox* periodPicker(const char* objectName, QDateEdit* from, QDateEdit* to,
                            const std::function<void()>& changed);
    // A write of an action without a form, on a connection of its own: a
    // refusal or an error is shown in a message box. True when it was saved.
    bool write(const std::function<void(Database&)>& change);
    // The save dialog for a report, then the file written; false on Cancel.
    bool saveFile(const QString& title, const QString& filter, const QString& name, const QByteArray& bytes);

    static QString text(const Value& v) { return v.toTextOrEmpty(); }
    // The mark of a shift open past the alert threshold, as the board and
    // the time records show it.
    static QString overdueText(double hours);

    Jobs& m_jobs;
    Dialogs& m_dialogs;
    const Clock& m_clock;
};

} // namespace pelmar
