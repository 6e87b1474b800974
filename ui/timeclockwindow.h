#pragma once

#include "login/offline.h"
#include "platform/value.h"
#include "timekeeping/actionresult.h"
#include "ui/actionthread.h"
#include "workplace/workplace.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;

namespace pelmar {
class AlertSender;
class RunError;
} // namespace pelmar
class QLabel;
class QLineEdit;
class QTimer;

namespace pelmar {

class Clock;
class Dialogs;
class GlassButton;
class NameList;
class TimeGrid;
struct ButtonLook;
struct DateRange;

// The time clock's one window. It asks the core (log-in, clocking, time
// sheet, where-is) and shows the answer; what it is doing lives in the enums
// and members below, never in a caption or a grid's current row. Controls
// carry the object names of ui/timeclockcontrols.h (cmdGo, tdbPassword, ...).
class TimeClockWindow : public QWidget
{
    Q_OBJECT
public:
    TimeClockWindow(Dialogs& dialogs, const Clock& clock, QString programFolder, QWidget* parent = nullptr);
    ~TimeClockWindow() override;

    // The start-up: configuration file, database, settings, mail sender.
    // Ends early, leaving the window logged out and without a database, when
    // the user cancels the locator or a failure is reported.
    void start();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void logInOrOut();
    void clockInOrOut();
    void toggleTimeSheet();
    void changeRange();
    void whereIs();
    void tick();

private:
    enum class Session
    {
        LoggedOut,
        LoggedIn
    };
    enum class Sheet
    {
        Closed,
        Open
    };
    enum class Range
    {
        Default,
        Typed
    };
    void createControls();
    // The controls by group, on the background picture m_face.
    void createLogInControls();
    void createClockControls();
    void createTimeSheetControls();
    void setTabOrders();
    GlassButton* makeButton(const char* name, QRect geometry, const ButtonLook& look);
    void connectControls();
    void connectAlerts();

    // The log-in of the picked employee, and the way back to the start.
    void startSession();
    void endSession();
    // Shows what an action did: the clock lines, the offer, then its messages
    // and alerts in order. Nothing in it can fail half way.
    void showResult(const ActionResult& result);
    void showOffer(ButtonOffer offer);
    static void showLine(std::initializer_list<QLabel*> labels, const ClockLine& line);
    // The reads that follow an action, each on its own: a failure is
    // reported and leaves the look the action gave.
    bool loadSheet(const DateRange& range);
    bool loadDefaultRange();
    void refreshTimes();
    void refreshStaff();
    void rangeRefused(bool tellUser);
    // The answer to a click that needs a name picked in the list, when none is.
    void askForAName();
    void sendAlert(const Notice& notice);

    // Outages of the database: the terminal's journal, made at start-up.
    void openJournal();
    // Whether a failure is an outage the journal covers.
    bool keepsOffline(const RunError& error) const;
    // Writes the journal back when the database answers; quiet when it
    // still doesn't.
    void writeBackJournal();
    void showOfflineMark();
    // A read that follows an action: during an outage the journal covers
    // it is left undone without a word, and false is returned.
    bool readUnlessOffline(const std::function<void()>& read);
    // Calls of the journal's to the database, on the worker as the window's are.
    OfflineClock::Runner runner();

    static void apply(GlassButton* button, const ButtonLook& look);
    // Reads the clock once and brings the date and time labels up to it, so
    // that what an action stores is what the window shows.
    double now();
    // Runs a handler: a failure is shown by the error reporter and the
    // window stays as the failure left it. False after a failure, and at
    // once while a call to the database is still running.
    bool guarded(const std::function<void()>& handler);
    // Runs work, a call of the core on the workplace, on a thread of its
    // own and returns (or throws) what it did once it ends. Meanwhile this
    // thread's events go on, so the clock keeps ticking on a slow server,
    // but the window takes no input and its lists read nothing: the
    // workplace and its database belong to the worker until it ends.
    void offThread(const std::function<void()>& work);
    bool isInput(const QEvent* event) const;

    Dialogs& m_dialogs;
    const Clock& m_clock;
    QString m_programFolder;
    Workplace m_workplace;

    Session m_session = Session::LoggedOut;
    ButtonOffer m_offer = ButtonOffer::Hidden;
    Sheet m_sheet = Sheet::Closed;
    Range m_range = Range::Default;
    // While logged in: the employee, and with ButtonOffer::ClockOut the
    // shift the clock-out closes.
    std::optional<Employee> m_employee;
    std::optional<qint64> m_openShiftId;
    // True while offThread's worker has the workplace.
    bool m_working = false;
    // Whether the database is a server or a file on a network file system,
    // whose calls may wait as long as the network does; those run on
    // m_actions while the clock ticks.
    bool m_databaseOverNetwork = false;
    AlertSender* m_alerts = nullptr; // made at start-up, when the workplace has its mail sender
    double m_nextAlertRetry = 0;     // when tick() next asks the outbox
    QLabel* m_face = nullptr;        // the background picture, its clock face at m_faceMinute
    int m_faceMinute = -1;
    QString m_checkedPath; // the database m_databaseOverNetwork was found for
    ActionThread m_actions;
    // Off (keeping nothing) until start-up opens the database's journal.
    std::unique_ptr<OfflineClock> m_offline;
    // The log-in was decided from the journal: the session's actions go there.
    bool m_sessionOffline = false;
    double m_nextJournalTry = 0;
    QLabel* m_offlineMark = nullptr;

    NameList* m_personnel;
    QLineEdit* m_password;
    GlassButton* m_goButton;
    GlassButton* m_whereIsButton;
    GlassButton* m_reviewButton;
    QCheckBox* m_rangeBox;
    QLabel* m_dateLabel;
    QLabel* m_timeLabel;
    QLabel* m_inCaption;
    QLabel* m_inDate;
    QLabel* m_inTime;
    QLabel* m_outCaption;
    QLabel* m_outDate;
    QLabel* m_outTime;
    QLabel* m_totalHours;
    TimeGrid* m_grid;
    GlassButton* m_clockButton;
    QTimer* m_clockTimer;
};

} // namespace pelmar
