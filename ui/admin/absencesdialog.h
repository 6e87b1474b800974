#pragma once

#include "admin/staff.h"
#include "timekeeping/timerecords.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

class QDateEdit;
class QLabel;
class QTableWidget;

namespace pelmar {

class Clock;
class Database;

// One employee's absences over a range: lists them, adds more on a date or
// the weekdays of a range, and removes the one picked. Each change is saved
// at once and named through changed().
class AbsencesDialog : public QDialog
{
    Q_OBJECT
public:
    using Open = std::function<std::unique_ptr<Database>()>;
    AbsencesDialog(admin::Employee employee, Open open, const Clock& clock, QWidget* parent);

signals:
    void changed(const QString& line);

private:
    void load();
    void addAbsences();
    void removeAbsence();
    // Runs a read or write, showing a refusal or an error under the grid.
    bool attempt(const std::function<void()>& action);

    admin::Employee m_employee;
    Open m_open;
    const Clock& m_clock;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QTableWidget* m_grid;
    QLabel* m_refusal;
};

} // namespace pelmar
