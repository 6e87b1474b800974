#pragma once

#include "platform/clock.h"
#include "platform/datetime.h"
#include "support/coretest.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"
#include "ui/timeclockwindow.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class QAbstractButton;

namespace pelmar::test {

// A time-clock window on a fresh database, started as the program starts it
// (a configuration file naming the database folder in its own application
// folder), shown offscreen and driven with real mouse clicks and key presses.
// The clock is Friday 4 December 2026, 9:00:00 AM unless a test sets
// another before start().
class WindowTest
{
public:
    explicit WindowTest(Dialogs* dialogs = nullptr);
    ~WindowTest();

    void start();
    TimeClockWindow& window() { return *m_window; }

    TestDb db;
    ScriptedDialogs scripted;
    ManualClock clock;
    QTemporaryDir programDir;
    int offlineDays = 0; // the journal's, as the configuration file gives it

    // Sets the clock; with tick, the window's timer shows it at once.
    void setNow(double serial, bool tick = true);

    // Picks the name, clicks into the password box, types and presses Enter.
    void logIn(const QString& fullName, const QString& password);
    void addAnn() { db.addEmployee(7, QStringLiteral("Ann Able"), QStringLiteral("pw")); }
    void logInAnn() { logIn(QStringLiteral("Ann Able"), QStringLiteral("pw")); }

    // Alerts over threshold hours whose Null mail password fails at once,
    // so each attempt shows as an error message and sends nothing.
    void failingAlerts(double threshold);
    static inline const QString AlertAttempt = QStringLiteral("Error:94 Invalid use of Null");

    // A left click in the middle of the control, as the user clicks.
    void click(const char* objectName);
    template <typename T = QWidget> T* find(const char* objectName)
    {
        return m_window->findChild<T*>(QString::fromLatin1(objectName));
    }
    // Caption of cmdGo, cmdTimeLog and cmdReview ("" when hidden), then the
    // texts of the clocked-in and clocked-out lines.
    QStringList buttons();
    QStringList clockLines();
    QString text(const char* labelName);

private:
    std::unique_ptr<TimeClockWindow> m_window;
};

// The same, on any time-clock window.
void logIn(QWidget& window, const QString& fullName, const QString& password);
void click(QWidget& window, const char* objectName);
// A glass button's caption, empty while it is hidden.
QString caption(QWidget& window, const char* buttonName);
// The configuration file that points the program in programDir at folder.
// Tests of other things run without the journal, whose log-ins are slow to
// keep on purpose; those of outages turn it on.
void writeConfiguration(const QString& programDir, const QString& folder, int offlineDays = 0);

// Answers the next modal box of Qt's own dialogs when it opens: runs answer
// on it from the event loop that the box itself runs.
void whenModal(std::function<void(QWidget*)> answer);

} // namespace pelmar::test
