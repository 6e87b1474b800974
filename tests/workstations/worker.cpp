// One workstation: the real window, headless, with scripted dialogs and a
// clock of its own, against the database in FOLDER. It prints a line at a
// time, flushed, for the test that drives it.
// FOLDER may be a server's URI.
//   pelmar-workstation FOLDER FIRST COUNT ROUNDS START END [follow]

#include "app/startup.h"
#include "platform/clock.h"
#include "store/engine.h"
#include "support/scripteddialogs.h"
#include "support/window.h"
#include "ui/timeclockwindow.h"
#include "ui/widgets/glassbutton.h"
#include "workstations/staff.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace pelmar::test {

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class Station
{
public:
    Station(const QString& dbFolder, double start, int stepSeconds)
        : m_clock(start), m_stepSeconds(stepSeconds), m_dbPath(config::databasePath(dbFolder))
    {
        QFile ini(m_app.filePath(QStringLiteral("PelmarEmployee.ini")));
        // Unwritten, it would show at start-up.
        ini.open(QIODevice::WriteOnly);
        ini.write(QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(dbFolder).toLatin1());
        ini.close();
        m_window = std::make_unique<TimeClockWindow>(m_dialogs, m_clock, m_app.path());
        m_window->start();
        m_window->show();
    }

    double now() const { return m_clock.now(); }

    // Every box shown since the last call; nobody answers input or file dialogs here.
    QStringList shown()
    {
        QStringList out = m_dialogs.texts();
        if (!m_dialogs.asked.isEmpty())
            out << QStringLiteral("unexpected dialog");
        m_dialogs.clear();
        return out;
    }

    // The clock moves on and the timer ticks, so the labels carry the time.
    void step()
    {
        m_clock.advanceSeconds(m_stepSeconds);
        QMetaObject::invokeMethod(m_window->findChild<QTimer*>(QStringLiteral("Timer1")), "timeout");
    }

    void logIn(int id)
    {
        step();
        test::logIn(*m_window, stationName(id), stationPassword(id));
    }

    void click(const char* name)
    {
        step();
        test::click(*m_window, name);
    }

    // The clock button's offer, or empty while it is hidden.
    QString offer()
    {
        const auto* button = m_window->findChild<GlassButton*>(QStringLiteral("cmdTimeLog"));
        return button->isVisible() ? button->caption() : QString();
    }

    // The employee's newest record: the one a clock action just wrote.
    QString timeId(int id)
    {
        const auto rs = Engine().openDatabase(m_dbPath)->openRecordset(
            QStringLiteral(
                "SELECT TimeID FROM qslTime WHERE PersonnelID = %1 ORDER BY Tdate DESC, TimeIn DESC")
                .arg(id));
        return rs->recordCount() ? rs->field(QStringLiteral("TimeID")).toTextOrEmpty() : QStringLiteral("-");
    }

private:
    QTemporaryDir m_app;
    ManualClock m_clock;
    int m_stepSeconds;
    QString m_dbPath;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<TimeClockWindow> m_window;
};

// Employees FIRST .. FIRST+COUNT-1 in turn log in and clock in, then log in
// and clock out, until ROUNDS rounds or the clock reaches END. Strict unless
// "follow": then a log-in takes whatever the window offers (the writer that
// is killed and started again). Prints "saved in|out TIMEID ID" after every
// saved click.
int rounds(const QStringList& a)
{
    const bool follow = a.value(6) == QLatin1String("follow");
    // The killed writer goes a second at a time, so that its slice of the
    // day outlasts any moment it may be killed at.
    Station s(a.value(0), a.value(4).toDouble(), follow ? 1 : 3);
    auto clockOnce = [&](int id, const QString& expected) -> QStringList {
        s.logIn(id);
        const QString offer = s.offer();
        if (offer.isEmpty() || (!follow && offer != expected))
            return s.shown() << QStringLiteral("log in of %1 offers '%2'").arg(id).arg(offer);
        s.click("cmdTimeLog");
        if (const QStringList shown = s.shown(); !shown.isEmpty())
            return shown;
        const bool in = offer == QLatin1String("Clock IN");
        say(QStringLiteral("saved %1 %2 %3")
                .arg(in ? QStringLiteral("in") : QStringLiteral("out"), s.timeId(id))
                .arg(id));
        s.click("cmdGo");
        return s.shown();
    };
    QStringList error = s.shown();
    if (error.isEmpty())
        say(QStringLiteral("ready"));
    for (int r = 0; error.isEmpty() && r < a.value(3).toInt() && s.now() < a.value(5).toDouble(); ++r) {
        const int id = a.value(1).toInt() + r % a.value(2).toInt();
        error = clockOnce(id, QStringLiteral("Clock IN"));
        if (error.isEmpty())
            error = clockOnce(id, QStringLiteral("Clock OUT"));
    }
    say(error.isEmpty() ? QStringLiteral("done")
                        : QStringLiteral("error: ") + error.join(QStringLiteral(" | ")));
    return error.isEmpty() ? 0 : 1;
}

} // namespace

} // namespace pelmar::test

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    try {
        return pelmar::test::rounds(QCoreApplication::arguments().mid(1));
    } catch (const std::exception& e) {
        pelmar::test::say(QStringLiteral("error: ") + QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
