#pragma once

#include "app/shared.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"
#include "ui/frmtimelog.h"

#include <QTemporaryDir>
#include <memory>

namespace pelmar::test {

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
    // Clicks a button by object name, as the user does.
    void click(const char* objectName);

private:
    std::unique_ptr<FrmTimeLog> m_window;
};

} // namespace pelmar::test
