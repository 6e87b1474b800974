// One workstation: the real window, headless, with scripted dialogs and a
// clock of its own, against the database in FOLDER (a folder or a server's
// URI).
//   pelmar-workstation FOLDER FIRST COUNT ROUNDS START END [follow|strict] [journal]
// Employees FIRST .. FIRST+COUNT-1 in turn log in and clock in, then log in
// and clock out, until ROUNDS rounds or the clock reaches END. Strict unless
// "follow": then a log-in takes whatever the window offers (the writer that
// is killed and started again). It prints, a line at a time and flushed,
// "ready" once the window is up, "saved in|out TIMEID ID" after every saved
// click, then "done" or "error: WHAT".

#include "login/offline.h"
#include "platform/clock.h"
#include "store/engine.h"
#include "support/scripteddialogs.h"
#include "support/window.h"
#include "ui/timeclockcontrols.h"
#include "ui/timeclockwindow.h"
#include "workplace/startup.h"
#include "workstations/staff.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace pelmar::test {

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The employee's newest record: the one a clock action just wrote.
QString newestTimeId(const QString& folder, int id)
{
    const auto rs =
        Database::open(config::databasePath(folder))
            ->openRecordset(
                QStringLiteral(
                    "SELECT TimeID FROM qslTime WHERE PersonnelID = %1 ORDER BY Tdate DESC, TimeIn DESC")
                    .arg(id));
    return rs->recordCount() ? rs->field(QStringLiteral("TimeID")).toTextOrEmpty() : QStringLiteral("-");
}

int run(const QStringList& a)
{
    const QString folder = a.value(0);
    const bool follow = a.value(6) == QLatin1String("follow");
    // The killed writer goes a second at a time, so that its slice of the
    // day outlasts any moment it may be killed at.
    const int stepSeconds = follow ? 1 : 3;
    QTemporaryDir app;
    // "journal" as the eighth argument: punches kept through an outage.
    const bool journal = a.value(7) == QLatin1String("journal");
    writeConfiguration(app.path(), folder, journal ? 14 : 0);
    ManualClock clock(a.value(4).toDouble());
    ScriptedDialogs dialogs;
    TimeClockWindow window(dialogs, clock, app.path());
    window.start();
    window.show();

    // Every box shown since the last call; nobody answers input or file dialogs here.
    const auto shown = [&] {
        QStringList out = dialogs.texts();
        if (!dialogs.asked.isEmpty())
            out << QStringLiteral("unexpected dialog");
        dialogs.clear();
        return out;
    };
    // The clock moves on and the timer ticks, so the labels carry the time.
    const auto step = [&] {
        clock.advanceSeconds(stepSeconds);
        QMetaObject::invokeMethod(window.findChild<QTimer*>(QString::fromLatin1(controls::Timer)), "timeout");
    };
    const auto clockOnce = [&](int id, const QString& expected) -> QStringList {
        step();
        logIn(window, stationName(id), stationPassword(id));
        const QString offer = caption(window, controls::ClockButton);
        if (offer.isEmpty() || (!follow && offer != expected))
            return shown() << QStringLiteral("log in of %1 offers '%2'").arg(QString::number(id), offer);
        step();
        click(window, controls::ClockButton);
        QStringList refused = shown();
        const bool kept = journal && refused == QStringList{offline::savedMessage(clock.now())};
        if (kept)
            refused.clear();
        if (!refused.isEmpty())
            return refused;
        const bool in = offer == QLatin1String("Clock IN");
        if (journal)
            say(QStringLiteral("punched %1 %2 %3 %4")
                    .arg(in ? QStringLiteral("in") : QStringLiteral("out"), QString::number(id),
                         QString::number(clock.now(), 'f', 8),
                         kept ? QStringLiteral("kept") : QStringLiteral("saved")));
        else
            say(QStringLiteral("saved %1 %2 %3")
                    .arg(in ? QStringLiteral("in") : QStringLiteral("out"), newestTimeId(folder, id),
                         QString::number(id)));
        step();
        click(window, controls::GoButton);
        return shown();
    };

    QStringList error = shown();
    if (error.isEmpty())
        say(QStringLiteral("ready"));
    for (int r = 0; error.isEmpty() && r < a.value(3).toInt() && clock.now() < a.value(5).toDouble(); ++r) {
        const int id = a.value(1).toInt() + r % a.value(2).toInt();
        error = clockOnce(id, QStringLiteral("Clock IN"));
        if (error.isEmpty())
            error = clockOnce(id, QStringLiteral("Clock OUT"));
    }
    // The punches kept through an outage go back before the terminal is done.
    QLabel* offlineMark = window.findChild<QLabel*>(QStringLiteral("lblOffline"));
    for (int wait = 0; error.isEmpty() && offlineMark && offlineMark->isVisible() && wait < 600; ++wait) {
        step();
        QThread::msleep(100);
    }
    if (offlineMark && offlineMark->isVisible())
        error << QStringLiteral("the journal kept: ") + offlineMark->text();
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
        return pelmar::test::run(QCoreApplication::arguments().mid(1));
    } catch (const std::exception& e) {
        pelmar::test::say(QStringLiteral("error: ") + QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
