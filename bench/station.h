#pragma once

#include "bench/scripteddialogs.h"
#include "platform/clock.h"
#include "ui/timeclockwindow.h"

#include <QString>
#include <memory>

class QAbstractButton;

namespace pelmar::bench {

// Writes the configuration file of a program in programFolder; location:
// the database's folder or a server's URI.
void writeIni(const QString& programFolder, const QString& location);

// The window as one workstation runs it, with nobody at the screen.
class Station
{
public:
    Station(const QString& programFolder, double now);

    // Sets the clock and lets the window's timer see it.
    void setNow(double serial);
    // Picks employee id in the list and types their password.
    void pick(int id);
    // Fails the run on any message box but the expected count.
    void expectMessages(int count, const char* action);
    // Fails the run unless the glass button name shows caption.
    void expectCaption(const char* name, const char* caption, const char* action);

    QAbstractButton* control(const char* name) const;
    QString label(const char* name) const;

    ManualClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<TimeClockWindow> window;
};

} // namespace pelmar::bench
