#pragma once

#include <QMainWindow>
#include <optional>
#include <vector>

class QLabel;
class QTabWidget;

namespace pelmar {

class AdminTab;
class Clock;
class Dialogs;
class Jobs;

// The administrator's window: one tab for each part of a manager's work
// (board, time records, payroll, staff, audit trail, settings) over the
// administrator's module, on the database the clock uses.
class AdminWindow : public QMainWindow
{
    Q_OBJECT
public:
    AdminWindow(Dialogs& dialogs, const Clock& clock, QString programFolder, QWidget* parent = nullptr);
    ~AdminWindow() override;

    // Opens the database named (a folder or a server's URI), or, with none,
    // the one the configuration file beside the program names, asking with
    // the clock's locator as the clock does. On a server whose role does not
    // own the tables (a terminal's), it asks for the owner's user name and
    // password instead. False when none was opened: the user cancelled, or
    // the failure was reported.
    bool start(const QString& database = QString());

    // Null until start() opened a database.
    Jobs* jobs() { return m_jobs; }

private:
    // location, or on a server where its role does not own the tables, the
    // same server as the owner the user logs in as; nullopt on Cancel.
    std::optional<QString> ownersLocation(const QString& location);
    void createTabs();
    void refreshCurrent();
    void showBusy(bool busy);
    void showChange(const QString& line);

    Dialogs& m_dialogs;
    const Clock& m_clock;
    QString m_programFolder;
    Jobs* m_jobs = nullptr;
    QTabWidget* m_tabs;
    QLabel* m_busy;
    QLabel* m_lastChange;
};

} // namespace pelmar
