#pragma once

#include "app/shared.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"
#include "ui/frmtimelog.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace pelmar::test {

// The window is never shown, so "shown" means not hidden.
inline bool shown(const QWidget* widget)
{
    return !widget->isHidden();
}

// A day of the test clock's month and a time of day, as serials.
inline double dec(int day)
{
    return dates::serial(2026, 12, day);
}
inline double hm(int hour, int minute, int second = 0)
{
    return dates::timeSerial(hour, minute, second);
}

// What an alert attempt shows under failingAlerts().
inline const QString AlertAttempt = QStringLiteral("Error:94 Invalid use of Null");

// A time-clock window on a fresh database, started as the program starts it:
// a configuration file naming the database folder in its own application
// folder, scripted dialogs and a settable clock (Friday 4 December 2026,
// 9:00:00 AM unless a test sets another time before start()).
class WindowTest
{
public:
    WindowTest();
    ~WindowTest();

    // Writes the configuration file (unless told not to) and runs the
    // window's start-up.
    void start(bool writeIni = true);

    FrmTimeLog& window() { return *m_window; }
    TestDb db;
    ScriptedDialogs dialogs;
    ManualClock clock;
    Shared shared;
    QTemporaryDir appDir;

    // Sets the clock and lets the window's timer tick once.
    void setNow(double serial);
    static double at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
    {
        return dates::serial(year, month, day) + dates::timeSerial(hour, minute, second);
    }

    // Picks a name in the list, types the password and presses Enter.
    void logIn(const QString& fullName, const QString& password);

    // Employee 7, "Ann Able", password "pw": the one most tests need.
    void addAnn() { db.addEmployee(7, QStringLiteral("Ann Able"), QStringLiteral("pw")); }
    void logInAnn() { logIn(QStringLiteral("Ann Able"), QStringLiteral("pw")); }

    // Mail settings whose Null password can't become text: every alert
    // attempt shows AlertAttempt at once and sends nothing, so attempts can
    // be counted. WorkHoursNotify is the threshold.
    void failingAlerts(double threshold);
    // Clicks a button by object name, as the user does.
    void click(const char* objectName);

    // What the window shows, "" for a hidden control: the captions of cmdGo,
    // cmdTimeLog and cmdReview, and the clocked-in and clocked-out lines.
    QStringList buttons();
    QStringList clockLines();

private:
    std::unique_ptr<FrmTimeLog> m_window;
};

// Ann Able at the clock, alerts over 10 hours counted as failing attempts.
class AnnAtTheClock : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addAnn();
        t.failingAlerts(10);
    }

    FrmTimeLog& w() { return t.window(); }
    WindowTest t;
};

} // namespace pelmar::test
