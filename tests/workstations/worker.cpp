// One workstation: the program's real window, headless, with scripted
// dialogs and a clock of its own, driven by its command line (rounds) or by
// commands on standard input (one at a time, for the fault tests). Everything
// it has to say goes to standard output, a line at a time, flushed.

#include "app/shared.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "store/datasource.h"
#include "store/recordset.h"
#include "store/sqlite.h"
#include "ui/frmtimelog.h"
#include "workstations/staff.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <iostream>
#include <string>

namespace pelmar::test {

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Message boxes are collected for the driver to judge; nobody answers input
// boxes or file dialogs here.
class CollectingDialogs : public Dialogs
{
public:
    void messageBox(const QString& text, Icon, const QString&) override { shown << text; }
    QString inputBox(const QString& prompt, const QString&) override
    {
        shown << QStringLiteral("unexpected input box: ") + prompt;
        return QString();
    }
    std::optional<QString> openFileName(const QString& title, const QString&, const QString&) override
    {
        shown << QStringLiteral("unexpected file dialog: ") + title;
        return std::nullopt;
    }

    QStringList take()
    {
        QStringList out;
        out.swap(shown);
        return out;
    }

    QStringList shown;
};

constexpr int StepSeconds = 3;

class Station
{
public:
    Station(const QString& dbFolder, double start, int stepSeconds = StepSeconds)
        : m_clock(start), m_stepSeconds(stepSeconds)
    {
        QFile ini(m_app.filePath(QStringLiteral("PelmarEmployee.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the configuration file");
        ini.write(QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(dbFolder).toLatin1());
        ini.close();
        m_window = std::make_unique<FrmTimeLog>(m_shared, m_dialogs, m_clock, m_app.path());
        m_window->Form_Load();
    }

    FrmTimeLog& window() { return *m_window; }
    CollectingDialogs& dialogs() { return m_dialogs; }
    const Shared& shared() const { return m_shared; }
    double now() const { return m_clock.now(); }

    // The clock moves on and the timer ticks, so the labels carry the time.
    void step(int seconds = 0)
    {
        m_clock.advanceSeconds(seconds > 0 ? seconds : m_stepSeconds);
        m_window->Timer1_Timer();
    }

    void logIn(int id)
    {
        step();
        if (!m_window->tdbPersonnel->selectName(stationName(id)))
            m_dialogs.shown << QStringLiteral("not in the list: ") + stationName(id);
        m_window->tdbPassword->setText(stationPassword(id));
        QTest::keyClick(m_window->tdbPassword, Qt::Key_Return);
    }

    bool loggedIn() const { return m_window->cmdGo->caption() == QLatin1String("Log Out"); }

    void logOut()
    {
        step();
        if (loggedIn())
            m_window->cmdGo->click();
    }

    // The clock button's offer, or empty while it is hidden.
    QString offer() const
    {
        return m_window->cmdTimeLog->isVisibleTo(m_window.get()) ? m_window->cmdTimeLog->caption()
                                                                 : QString();
    }

    // Clicks the clock button as the user would; false when it is hidden.
    bool clock()
    {
        step();
        if (offer().isEmpty())
            return false;
        m_window->cmdTimeLog->click();
        return true;
    }

    // The record the window stands on in its time list.
    QString currentTimeId()
    {
        try {
            return m_window->datTime->recordset().field(QStringLiteral("TimeID")).toTextOrEmpty();
        } catch (const std::exception&) {
            return QStringLiteral("-");
        }
    }

private:
    QTemporaryDir m_app;
    ManualClock m_clock;
    int m_stepSeconds;
    CollectingDialogs m_dialogs;
    Shared m_shared;
    std::unique_ptr<FrmTimeLog> m_window;
};

// rounds FOLDER FIRST COUNT ROUNDS START END [follow]: employees FIRST ..
// FIRST+COUNT-1 in turn log in, clock in, log out, log in, clock out, log
// out. Strict unless "follow": then each log-in takes whatever the window
// offers (the writer that is killed and started again). Stops after ROUNDS
// rounds or when the clock reaches END. Prints "saved in|out TIMEID ID" after
// every saved click.
int rounds(const QStringList& a)
{
    if (a.size() < 7)
        return 2;
    const int first = a[2].toInt();
    const int count = a[3].toInt();
    const int total = a[4].toInt();
    const double end = a[6].toDouble();
    const bool follow = a.size() > 7 && a[7] == QLatin1String("follow");
    // The writer that is killed goes a second at a time, so that its slice
    // of the day outlasts any moment it may be killed at.
    Station s(a[1], a[5].toDouble(), follow ? 1 : StepSeconds);
    auto fail = [&](const QString& what) {
        say(QStringLiteral("error: ") + what);
        return 1;
    };
    if (const QStringList shown = s.dialogs().take(); !shown.isEmpty())
        return fail(QStringLiteral("Form_Load: ") + shown.join(QStringLiteral(" | ")));
    say(QStringLiteral("ready"));

    // One clock action per log-in, as the window allows.
    auto clockOnce = [&](int id, const char* expected) -> int {
        s.logIn(id);
        const QString offer = s.offer();
        if (const QStringList shown = s.dialogs().take(); !shown.isEmpty())
            return fail(QStringLiteral("log in: ") + shown.join(QStringLiteral(" | ")));
        if (!follow && offer != QLatin1String(expected))
            return fail(QStringLiteral("log in of %1 offers '%2', not '%3'").arg(id).arg(offer, expected));
        if (offer.isEmpty())
            return fail(QStringLiteral("log in of %1 offers nothing").arg(id));
        s.clock();
        if (const QStringList shown = s.dialogs().take(); !shown.isEmpty())
            return fail(offer + QStringLiteral(": ") + shown.join(QStringLiteral(" | ")));
        say(QStringLiteral("saved %1 %2 %3")
                .arg(offer == QLatin1String("Clock IN") ? QStringLiteral("in") : QStringLiteral("out"),
                     s.currentTimeId())
                .arg(id));
        s.logOut();
        if (const QStringList shown = s.dialogs().take(); !shown.isEmpty())
            return fail(QStringLiteral("log out: ") + shown.join(QStringLiteral(" | ")));
        return 0;
    };
    for (int r = 0; r < total && s.now() < end; ++r) {
        const int id = first + r % count;
        if (const int rc = clockOnce(id, "Clock IN"))
            return rc;
        if (const int rc = clockOnce(id, "Clock OUT"))
            return rc;
    }
    say(QStringLiteral("done"));
    return 0;
}

// interactive FOLDER START: one command a line; after each, the messages it
// showed ("message: TEXT"), the window's state ("state GO|OFFER|TIMEID") and
// "ok". Commands: login ID, clock, logout, tick SECONDS, full, unfull, quit.
int interactive(const QStringList& a)
{
    if (a.size() < 3)
        return 2;
    Station s(a[1], a[2].toDouble());
    auto report = [&] {
        for (const QString& m : s.dialogs().take())
            say(QStringLiteral("message: ") + QString(m).replace(QLatin1Char('\r'), QLatin1Char(' ')));
        say(QStringLiteral("state %1|%2|%3").arg(s.window().cmdGo->caption(), s.offer(), s.currentTimeId()));
        say(QStringLiteral("ok"));
    };
    report();
    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList c = QString::fromStdString(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (c.isEmpty())
            continue;
        const QString& verb = c[0];
        if (verb == QLatin1String("quit"))
            break;
        if (verb == QLatin1String("login")) {
            s.logIn(c.value(1).toInt());
        } else if (verb == QLatin1String("clock")) {
            if (!s.clock())
                say(QStringLiteral("refused: the clock button is hidden"));
        } else if (verb == QLatin1String("logout")) {
            s.logOut();
        } else if (verb == QLatin1String("tick")) {
            s.step(c.value(1).toInt());
        } else if (verb == QLatin1String("full") || verb == QLatin1String("unfull")) {
            // The file may not grow past its present pages: the disk is full
            // as far as the window's own connection can tell.
            std::shared_ptr<sql::Connection> conn = sql::Connection::open(s.shared().DBPath);
            sql::Statement pages(*conn, QStringLiteral("PRAGMA page_count"));
            pages.step();
            const qint64 limit = verb == QLatin1String("full") ? pages.columnInt(0) : 1073741823;
            conn->exec(QStringLiteral("PRAGMA max_page_count = %1").arg(limit));
        } else {
            say(QStringLiteral("refused: unknown command ") + verb);
        }
        report();
    }
    return 0;
}

} // namespace

} // namespace pelmar::test

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("rounds"))
            return pelmar::test::rounds(args);
        if (args.value(0) == QLatin1String("interactive"))
            return pelmar::test::interactive(args);
    } catch (const std::exception& e) {
        pelmar::test::say(QStringLiteral("error: ") + QString::fromLocal8Bit(e.what()));
        return 1;
    }
    std::fprintf(stderr, "usage: pelmar-workstation rounds FOLDER FIRST COUNT ROUNDS START END [follow]\n"
                         "       pelmar-workstation interactive FOLDER START\n");
    return 2;
}
