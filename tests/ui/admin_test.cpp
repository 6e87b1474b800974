#include "admin/payrollpdf.h"
#include "admin/refusal.h"
#include "admin/reports.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/mail/smtpmail.h"
#include "store/engine.h"
#include "store/schema.h"
#include "support/accessible.h"
#include "support/coretest.h"
#include "support/scripteddialogs.h"
#include "support/smtpserver.h"
#include "support/window.h"
#include "timekeeping/alertoutbox.h"
#include "tools/runtool.h"
#include "ui/admin/adminwindow.h"
#include "ui/admin/formdialog.h"
#include "ui/admin/jobs.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QUrl>
#include <QUrlQuery>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>
#include <unistd.h>

using namespace pelmar;
using test::dec;
using test::hm;
using test::runTool;

namespace {

// poppler's pdftotext on a file, to stdout.
QString pdfText(const QStringList& args)
{
    QProcess run;
    run.start("pdftotext", args + QStringList{"-"});
    EXPECT_TRUE(run.waitForFinished(60000)) << "pdftotext " << args.join(' ').toStdString();
    return QString::fromUtf8(run.readAllStandardOutput());
}

// The administrator's window on a fresh database holding Ann Lee with an
// open shift of 3 December, at Friday 4 December 2026, 9:00 AM.
class AdminWindowTest : public ::testing::Test
{
protected:
    AdminWindowTest()
    {
        db.addEmployee(7, "Ann Lee", "pw");
        shift = db.addTime(7, dec(3), hm(9, 0));
        db.addTime(7, dec(2), hm(8, 0), hm(16, 0), 8);
        runTool({"upgrade", db.folder()}, clock);
        EXPECT_TRUE(window.start(db.folder()));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        idle();
    }

    template <typename T = QWidget> T* find(const char* name)
    {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void idle() { QTRY_VERIFY_WITH_TIMEOUT(!window.jobs()->busy(), 10000); }
    void openTab(const QString& title)
    {
        QTabBar* bar = find<QTabWidget>("tabs")->tabBar();
        for (int i = 0; i < bar->count(); ++i) {
            if (QString(bar->tabText(i)).remove('&') == title)
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        }
        idle();
    }
    void click(const char* name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    // Clicks into a control, then Shift+Tab: the focus goes where the
    // keyboard reaches just before it. The click goes to the widget under
    // the mouse, as a user's does: the text box inside a date box, never the
    // date box itself, which takes a press there for its Down button.
    void focusBefore(const char* name)
    {
        QWidget* w = find(name);
        const QPoint at(6, w->height() / 2);
        QWidget* under = w->childAt(at) ? w->childAt(at) : w;
        QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(w, at));
        EXPECT_TRUE(QTest::qWaitFor([w] { return w->hasFocus(); }));
        QTest::keyClick(w, Qt::Key_Tab, Qt::ShiftModifier);
    }
    void pickRow(const char* gridName, int row)
    {
        auto* grid = find<QTableWidget>(gridName);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, 0)).center());
    }
    static QStringList row(QTableWidget* grid, int r)
    {
        QStringList out;
        for (int c = 0; c < grid->columnCount(); ++c)
            out << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        return out;
    }
    // Types a time into an editor as a user does: a click into the hour
    // selects it, and each section moves on to the next when full. Focus
    // moves through the window system, so the click waits for it.
    static void typeTime(QWidget* form, const char* name, const QString& digits)
    {
        auto* edit = form->findChild<QTimeEdit*>(QString::fromLatin1(name));
        auto* text = edit->findChild<QLineEdit*>();
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(4, text->height() / 2));
        EXPECT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
        QTest::keyClicks(edit, digits);
    }
    // A click on a grid's column header, as a user sorts by it.
    void sortBy(const char* gridName, int column)
    {
        QHeaderView* header = find<QTableWidget>(gridName)->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
    }
    QString lastChange() { return find<QLabel>("lastChange")->text(); }
    // Opens Edit… on the first record and fills the form; the form stays
    // open when refused, and then is cancelled.
    QString editFirstRecord(const QString& in, const QString& out)
    {
        openTab("Time records");
        pickRow("recordGrid", 0);
        QString refusal;
        test::whenModal([&](QWidget* form) {
            // Keys go where the focus is only once the form is the active window.
            EXPECT_TRUE(QTest::qWaitForWindowActive(form));
            QTest::mouseClick(form->findChild<QCheckBox*>("stillOpen"), Qt::LeftButton);
            typeTime(form, "shiftIn", in);
            typeTime(form, "shiftOut", out);
            QTest::mouseClick(form->findChild<QPushButton*>("ok"), Qt::LeftButton);
            if (form->isVisible()) {
                refusal = form->findChild<QLabel*>("refusal")->text();
                refusalHeard = test::heard(form->findChild<QLabel*>("refusal")).spoken();
                QTest::mouseClick(form->findChild<QPushButton*>("cancel"), Qt::LeftButton);
            }
        });
        click("editRecord");
        idle();
        return refusal;
    }

    test::TestDb db{test::Backend::File};
    test::ScriptedDialogs dialogs;
    ManualClock clock{dec(4) + hm(9, 0)};
    AdminWindow window{dialogs, clock, QString()};
    qint64 shift = 0;
    // What a screen reader read of the last refusal in a form.
    QString refusalHeard;
};

} // namespace

TEST_F(AdminWindowTest, EditCorrectsAShiftAndTheAuditShowsIt)
{
    EXPECT_EQ(find<QLabel>("boardSummary")->text(), "1 in, 0 out, 0 away");
    EXPECT_EQ(editFirstRecord("090000AM", "053000PM"), "");
    EXPECT_EQ(
        row(find<QTableWidget>("recordGrid"), 0),
        (QStringList{QString::number(shift), "12/3/2026", "9:00:00 AM", "5:30:00 PM", "8.5", "Worked", ""}));
    EXPECT_EQ(lastChange(),
              "Shift " + QString::number(shift) + " of Ann Lee closed at 5:30:00 PM (8.50 hours)");

    openTab("Audit");
    auto* audit = find<QTableWidget>("auditGrid");
    ASSERT_EQ(audit->rowCount(), 1);
    // Who made the change, and whose shift it was, by name.
    EXPECT_FALSE(row(audit, 0)[2].isEmpty());
    EXPECT_EQ(row(audit, 0).mid(3, 4), (QStringList{"edited", QString::number(shift), "7", "Ann Lee"}));
    EXPECT_TRUE(row(audit, 0)[8].contains("TimeOut=5:30:00 PM; Thours=8.5"))
        << row(audit, 0)[8].toStdString();
    // Its export is named for the range shown; cancelled, nothing is written.
    dialogs.answerSave(std::nullopt);
    click("exportAudit");
    ASSERT_EQ(dialogs.suggested.size(), 1);
    EXPECT_TRUE(dialogs.suggested[0].endsWith("/audit-2026-11-04-to-2026-12-04.csv"))
        << dialogs.suggested[0].toStdString();
    EXPECT_TRUE(dialogs.messages.empty());
}

// A night shift is one record: the form shows its hours before saving.
// An alert given up on is listed with its reason, and sent again at a click.
TEST_F(AdminWindowTest, AFailedAlertIsListedAndSentAgain)
{
    qint64 id = 0;
    {
        const auto database = Database::open(db.path());
        Transaction transaction(*database);
        id =
            outbox::enqueue(*database, Value::integer(7), shift, "Ann Lee", Value::date(dec(3)), clock.now());
        transaction.commit();
        ASSERT_TRUE(outbox::claim(*database, id, clock.now()));
        outbox::markFailed(*database, id, clock.now(), "Error 7: Couldn't connect to server", false);
    }
    openTab("Alerts");
    auto* grid = find<QTableWidget>("alertsGrid");
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(row(grid, 0).mid(2, 3), (QStringList{"Ann Lee", "12/3/2026", "failed"}));
    EXPECT_EQ(row(grid, 0)[7], "Error 7: Couldn't connect to server");
    pickRow("alertsGrid", 0);
    click("resendAlert");
    idle();
    EXPECT_EQ(row(grid, 0)[4], "pending");
    EXPECT_EQ(outbox::due(*Database::open(db.path()), clock.now()), std::vector<qint64>{id});
}

TEST_F(AdminWindowTest, EditMakesAShiftOverMidnight)
{
    QString preview;
    openTab("Time records");
    pickRow("recordGrid", 0);
    test::whenModal([&](QWidget* form) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(form));
        QTest::mouseClick(form->findChild<QCheckBox*>("stillOpen"), Qt::LeftButton);
        typeTime(form, "shiftIn", "100000PM");
        typeTime(form, "shiftOut", "060000AM");
        preview = form->findChild<QLabel*>("shiftHours")->text();
        QTest::mouseClick(form->findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    click("editRecord");
    idle();
    EXPECT_EQ(preview, "10:00 PM to 6:00 AM the next day: 8.00 hours");
    EXPECT_EQ(row(find<QTableWidget>("recordGrid"), 0).mid(1, 4),
              (QStringList{"12/3/2026", "10:00:00 PM", "6:00:00 AM", "8"}));
}

TEST_F(AdminWindowTest, ARefusedEditShowsWhyAndWritesNothing)
{
    const auto before = db.timeRows();
    EXPECT_EQ(editFirstRecord("120000AM", "120000AM"),
              "A shift from 12:00:00 AM to 12:00:00 AM the next day lasts 24 hours or more; a time record "
              "holds less. Split it into two records.");
    // A screen reader reads the refusal's words, not a name over them.
    EXPECT_EQ(refusalHeard,
              "A shift from 12:00:00 AM to 12:00:00 AM the next day lasts 24 hours or more; a time record "
              "holds less. Split it into two records.");
    EXPECT_EQ(db.timeRows().size(), before.size());
    EXPECT_EQ(row(find<QTableWidget>("recordGrid"), 0)[3], "");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM TimeAudit").toInteger(), 0);
    EXPECT_TRUE(db.scalar("SELECT TimeOut FROM \"Time\" WHERE TimeID = " + QString::number(shift)).isNull());
}

// The payroll opens on this month, whole; with Ann's shift still open, each
// export asks first, and Cancel saves nothing. The files are named for the
// range, so that next month's do not replace them.
TEST_F(AdminWindowTest, PayrollExportIsWhatTheCommandPrints)
{
    db.addTime(7, dec(3), {}, {}, {}, Value::text("Training"));
    openTab("Payroll");
    EXPECT_EQ(find<QComboBox>("payrollPeriod")->currentText(), "This month");
    EXPECT_EQ(find<QDateEdit>("payrollTo")->date(), QDate(2026, 12, 31));
    EXPECT_EQ(row(find<QTableWidget>("payrollGrid"), 0),
              (QStringList{"7", "Ann Lee", "8.00", "2", "0", "0", "0", "1", "1"}));
    EXPECT_EQ(find<QLabel>("payrollOther")->text(),
              "Other, records of a type the clock does not know: Training: 1");
    QTemporaryDir out;
    const QString csv = out.filePath("a.csv"), pdf = out.filePath("a.pdf");
    dialogs.answerConfirm(false);
    click("exportPayroll");
    dialogs.answerConfirm(false);
    click("savePayrollPdf");
    idle();
    EXPECT_TRUE(dialogs.suggested.isEmpty());
    EXPECT_EQ(dialogs.asked.size(), 2);
    EXPECT_TRUE(dialogs.asked.value(0).startsWith("1 shift(s) from 12/1/2026 to 12/31/2026 are still open"))
        << dialogs.asked.value(0).toStdString();

    dialogs.answerConfirm(true);
    dialogs.answerSave(csv);
    click("exportPayroll");
    dialogs.answerConfirm(true);
    dialogs.answerSave(pdf);
    click("savePayrollPdf");
    idle();
    ASSERT_EQ(dialogs.suggested.size(), 2);
    EXPECT_TRUE(dialogs.suggested[0].endsWith("/payroll-2026-12-01-to-2026-12-31.csv"));
    EXPECT_TRUE(dialogs.suggested[1].endsWith("/payroll-2026-12-01-to-2026-12-31.pdf"));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              runTool({"hours", db.folder(), "12/1/2026", "12/31/2026"}, clock).out);
    // At the foot of the page, what the columns leave out.
    const QString text = pdfText({"-layout", pdf});
    EXPECT_TRUE(text.contains("Payroll 12/1/2026 to 12/31/2026")) << text.toStdString();
    EXPECT_TRUE(text.contains("Training: 1")) << text.toStdString();
    EXPECT_TRUE(text.contains("1 shift(s) still open in this range")) << text.toStdString();
    EXPECT_TRUE(dialogs.messages.empty());
}

// A period picked from the keyboard sets both dates and reads that range;
// dates typed by hand are other dates.
TEST_F(AdminWindowTest, PeriodsSetTheRange)
{
    openTab("Payroll");
    auto* period = find<QComboBox>("payrollPeriod");
    focusBefore("payrollFrom");
    QTRY_VERIFY(period->hasFocus());
    QTest::keyClick(period, Qt::Key_Down);
    idle();
    EXPECT_EQ(period->currentText(), "Last month");
    EXPECT_EQ(find<QDateEdit>("payrollFrom")->date(), QDate(2026, 11, 1));
    EXPECT_EQ(find<QDateEdit>("payrollTo")->date(), QDate(2026, 11, 30));
    EXPECT_EQ(row(find<QTableWidget>("payrollGrid"), 0),
              (QStringList{"7", "Ann Lee", "0.00", "0", "0", "0", "0", "0", "0"}));
    EXPECT_TRUE(find<QLabel>("payrollOther")->isHidden());
    find<QDateEdit>("payrollTo")->setDate(QDate(2026, 11, 29));
    idle();
    EXPECT_EQ(period->currentText(), "Other dates");

    openTab("Time records");
    auto* recent = find<QComboBox>("recordPeriod");
    EXPECT_EQ(recent->currentText(), "Last 14 days");
    EXPECT_EQ(find<QDateEdit>("recordFrom")->date(), QDate(2026, 11, 21));
    focusBefore("recordFrom");
    QTRY_VERIFY(recent->hasFocus());
    QTest::keyClick(recent, Qt::Key_Home);
    idle();
    EXPECT_EQ(recent->currentText(), "This month");
    EXPECT_EQ(find<QDateEdit>("recordTo")->date(), QDate(2026, 12, 31));
    EXPECT_EQ(find<QTableWidget>("recordGrid")->rowCount(), 2);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AdminWindowTest, TheTestAlertReachesTheMailServer)
{
    test::SmtpServer server;
    const quint16 port = server.serve();
    ASSERT_NE(port, 0);
    openTab("Settings");
    const std::pair<const char*, QString> typed[] = {{"smtpServer", QStringLiteral("127.0.0.1:%1").arg(port)},
                                                     {"smtpUser", test::SmtpServer::User},
                                                     {"smtpPassword", test::SmtpServer::Password},
                                                     {"smtpEmail", "boss@pelmar.test"}};
    for (const auto& [name, text] : typed) {
        QTest::mouseClick(find(name), Qt::LeftButton);
        QTest::keyClicks(find(name), text);
    }
    click("sendTestAlert");
    QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>("settingsStatus")->text(), QString("Sent to boss@pelmar.test"),
                              20000);
    const auto mails = server.received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].header("Subject"), "Employee Time Alert");
    // Typed but not saved.
    EXPECT_EQ(db.scalar("SELECT smtpserver FROM CustomSettings").toText(), "");
}

// The saved mail password never reaches the window: the field starts empty,
// a save with it empty keeps the saved one, and the test alert takes the
// saved one only to the saved server.
TEST_F(AdminWindowTest, TheSavedMailPasswordStaysOutOfTheWindowAndAtItsServer)
{
    test::SmtpServer saved, other;
    const quint16 port = saved.serve(), otherPort = other.serve();
    ASSERT_NE(port, 0);
    ASSERT_NE(otherPort, 0);
    const QString savedServer = QStringLiteral("127.0.0.1:%1").arg(port);
    db.setSetting("smtpserver", Value::text(savedServer));
    db.setSetting("smtpusername", Value::text(test::SmtpServer::User));
    db.setSetting("smtppassword", Value::text(test::SmtpServer::Password));
    db.setSetting("smtpemail", Value::text("boss@pelmar.test"));
    openTab("Settings");
    auto* password = find<QLineEdit>("smtpPassword");
    auto* status = find<QLabel>("settingsStatus");
    EXPECT_EQ(find<QLineEdit>("smtpServer")->text(), savedServer);
    EXPECT_EQ(password->text(), "");
    EXPECT_TRUE(password->placeholderText().contains("saved password is kept"))
        << password->placeholderText().toStdString();

    // The saved server with the field empty: the saved password logs in.
    click("sendTestAlert");
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Sent to boss@pelmar.test"), 20000);
    EXPECT_EQ(saved.received().size(), 1u);

    // Another server with the field empty: refused, nothing sent.
    const auto retype = [this](const char* name, const QString& text) {
        QTest::mouseClick(find(name), Qt::LeftButton);
        QTest::keyClick(find(name), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(find(name), Qt::Key_Delete);
        QTest::keyClicks(find(name), text);
    };
    const QString otherServer = QStringLiteral("127.0.0.1:%1").arg(otherPort);
    retype("smtpServer", otherServer);
    click("sendTestAlert");
    EXPECT_EQ(status->text(), "The saved mail password goes only to the saved mail server; type the password "
                              "to send a test alert to " +
                                  otherServer + ". Nothing was sent.");
    EXPECT_FALSE(window.findChild<SmtpMail*>("testAlertMail")->busy()) << "no send started";

    // Typed, the password goes there.
    retype("smtpPassword", test::SmtpServer::Password);
    click("sendTestAlert");
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Sent to boss@pelmar.test"), 20000);
    EXPECT_EQ(other.received().size(), 1u);
    EXPECT_EQ(other.logins(), 1) << "only the send with the typed password";

    // Saved with the field empty, the saved password stays; typed, it replaces it.
    retype("smtpPassword", "");
    click("saveSettings");
    EXPECT_EQ(status->text(), "Saved.");
    EXPECT_EQ(db.scalar("SELECT smtpserver FROM CustomSettings").toText(), otherServer);
    EXPECT_EQ(db.scalar("SELECT smtppassword FROM CustomSettings").toText(), test::SmtpServer::Password);
    retype("smtpPassword", "n3w");
    click("saveSettings");
    EXPECT_EQ(db.scalar("SELECT smtppassword FROM CustomSettings").toText(), "n3w");
    EXPECT_EQ(password->text(), "") << "a saved password leaves the window";
    EXPECT_TRUE(dialogs.messages.empty());
}

// On a server, a terminal's role is told it can't administer and the owner
// logs in instead; the terminal's configuration is never used quietly.
TEST(AdminOwnerTest, ATerminalsRoleIsRefusedAndTheOwnersLogInUsed)
{
    if (!test::serverAvailable())
        GTEST_SKIP() << "no test server: set PELMAR_TEST_SERVER, or run scripts/test.sh";
    ManualClock clock{dec(4) + hm(9, 0)};
    test::TestDb db(test::Backend::Server);
    db.addEmployee(7, "Ann Lee", "pw");
    db.addTime(7, dec(3), hm(9, 0));
    // Roles belong to the whole test server: one of this process's own.
    static int serial = 0;
    const QString role = QStringLiteral("pelmar_office_%1_%2").arg(::getpid()).arg(++serial);
    // A password with the URI's own delimiters, to be read back as typed.
    const QString terminalPassword = QStringLiteral("t@r:m&i=n%al/pw");
    db.exec(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(role, terminalPassword));
    struct Dropped
    {
        test::TestDb& db;
        QString role;
        ~Dropped()
        {
            try {
                db.exec(QStringLiteral("DROP OWNED BY %1; DROP ROLE %1").arg(role));
            } catch (...) {
                // Left behind, it goes with the throwaway cluster.
            }
        }
    } dropped{db, role};
    QUrl terminal(db.folder());
    const QString owner = terminal.userName();
    const QString ownerPassword = qEnvironmentVariable("PGPASSWORD");
    terminal.setUserName(role);
    terminal.setPassword(terminalPassword, QUrl::DecodedMode);
    const QString terminalUri = terminal.toString(QUrl::FullyEncoded);

    {
        test::ScriptedDialogs dialogs;
        dialogs.answerLogIn(std::nullopt);
        AdminWindow window(dialogs, clock, QString());
        EXPECT_FALSE(window.start(terminalUri)) << "Cancel quits";
        EXPECT_EQ(window.jobs(), nullptr);
        ASSERT_EQ(dialogs.asked.size(), 1);
        EXPECT_TRUE(dialogs.asked[0].contains("The role '" + role + "'")) << dialogs.asked[0].toStdString();
        EXPECT_TRUE(dialogs.asked[0].contains("does not own")) << dialogs.asked[0].toStdString();
        EXPECT_EQ(dialogs.logInUsers, QStringList{owner}) << "the owner's name offered";
    }

    test::ScriptedDialogs dialogs;
    dialogs.answerLogIn(Dialogs::Credentials{owner, "wrong-pw"});
    dialogs.answerLogIn(Dialogs::Credentials{role, terminalPassword});
    dialogs.answerLogIn(Dialogs::Credentials{owner, ownerPassword});
    AdminWindow window(dialogs, clock, QString());
    ASSERT_TRUE(window.start(terminalUri));
    ASSERT_EQ(dialogs.asked.size(), 3);
    EXPECT_TRUE(dialogs.asked[1].contains("password authentication failed"))
        << dialogs.asked[1].toStdString();
    EXPECT_FALSE(dialogs.asked[1].contains("wrong-pw"));
    EXPECT_TRUE(dialogs.asked[2].contains("does not own the database's tables either"))
        << dialogs.asked[2].toStdString();
    EXPECT_TRUE(dialogs.messages.empty());

    // The owner's log-in is the one the window works with.
    QUrl used(window.jobs()->location());
    EXPECT_EQ(used.host(), terminal.host());
    EXPECT_EQ(used.port(), terminal.port());
    EXPECT_EQ(used.path(), terminal.path());
    EXPECT_EQ(QUrlQuery(used).queryItemValue("user"), owner);
    EXPECT_EQ(sql::tableRights(window.jobs()->location()).role, owner);
    EXPECT_FALSE(window.windowTitle().contains("n%al")) << window.windowTitle().toStdString();
    if (!ownerPassword.isEmpty()) {
        EXPECT_FALSE(window.windowTitle().contains(ownerPassword)) << window.windowTitle().toStdString();
    }
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(!window.jobs()->busy(), 10000);
    EXPECT_EQ(window.findChild<QLabel*>("boardSummary")->text(), "1 in, 0 out, 0 away");
    EXPECT_TRUE(dialogs.messages.empty());
}

// The owner's name and password replace whatever the URI logged in with,
// and come through libpq's reading of the URI as typed.
TEST(AdminOwnerTest, CredentialsReplaceTheURIsOwn)
{
    const std::pair<const char*, const char*> cases[] = {
        {"postgresql://clock:pw@db.example.com:5433/pelmar?sslmode=require",
         "postgresql://db.example.com:5433/pelmar?sslmode=require&user=boss&password=p%40ss%3Aw%26rd%3D1%25"},
        {"postgresql://db.example.com/pelmar?user=clock&password=pw",
         "postgresql://db.example.com/pelmar?user=boss&password=p%40ss%3Aw%26rd%3D1%25"},
        {"postgresql:///pelmar", "postgresql:///pelmar?user=boss&password=p%40ss%3Aw%26rd%3D1%25"},
    };
    for (const auto& [location, expected] : cases)
        EXPECT_EQ(sql::withCredentials(location, "boss", "p@ss:w&rd=1%"), expected) << location;
    EXPECT_EQ(sql::withCredentials("postgresql://clock:pw@db/pelmar", "boss", ""),
              "postgresql://db/pelmar?user=boss");
}

// Sorted by a header click, the grid still edits the record picked, and the
// form names whose shift and which day it edits.
TEST_F(AdminWindowTest, SortedRecordsEditThePickedOne)
{
    const qint64 earliest = db.addTime(7, dec(0), hm(7, 0), hm(8, 0), 1);
    openTab("Time records");
    auto* grid = find<QTableWidget>("recordGrid");
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(row(grid, 0)[0], QString::number(shift)) << "newest first until sorted";
    EXPECT_EQ(row(grid, 0)[6], "⚠ open 24.0 h") << "open past the 10 hours of the alert";
    sortBy("recordGrid", 1);
    EXPECT_EQ(row(grid, 0)[1], "11/30/2026");
    pickRow("recordGrid", 0);
    QString caption;
    test::whenModal([&](QWidget* form) {
        caption = form->windowTitle();
        QTest::mouseClick(form->findChild<QPushButton*>("cancel"), Qt::LeftButton);
    });
    click("editRecord");
    EXPECT_EQ(caption, "Edit shift " + QString::number(earliest) + " of Ann Lee on 11/30/2026");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AdminWindowTest, TheBoardFlagsALongShiftAndFindsByName)
{
    db.addEmployee(8, "Ben Ode", "pw");
    click("refreshBoard");
    idle();
    auto* grid = find<QTableWidget>("boardGrid");
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(row(grid, 0)[5], "⚠ open 24.0 h");
    EXPECT_EQ(row(grid, 1)[5], "");
    QTest::mouseClick(find("boardFilter"), Qt::LeftButton);
    QTest::keyClicks(find("boardFilter"), "ode");
    EXPECT_TRUE(grid->isRowHidden(0));
    EXPECT_FALSE(grid->isRowHidden(1));
}

// A screen reader hears the board's counts themselves, and hears them anew
// when they change.
TEST_F(AdminWindowTest, AScreenReaderHearsTheBoardsCounts)
{
    auto* summary = find<QLabel>("boardSummary");
    EXPECT_EQ(test::heard(summary).role, QAccessible::StaticText);
    EXPECT_EQ(test::heard(summary).spoken(), "1 in, 0 out, 0 away");
    db.addEmployee(8, "Ben Ode", "pw");
    db.addTime(8, dec(3), hm(8, 0), hm(16, 0), 8);
    click("refreshBoard");
    idle();
    EXPECT_NE(summary->text(), "1 in, 0 out, 0 away");
    EXPECT_EQ(test::heard(summary).spoken(), summary->text());
}

// Each control is heard as what it is and by the caption beside it; every
// control that the keyboard reaches, in every tab, has a name.
TEST_F(AdminWindowTest, AScreenReaderHearsEachControlByItsNameAndRole)
{
    struct Row
    {
        const char* tab;
        const char* control;
        QAccessible::Role role;
        QString name;
    };
    const Row rows[] = {
        {"Board", "boardFilter", QAccessible::EditableText, "Find a name"},
        {"Board", "refreshBoard", QAccessible::PushButton, "Refresh"},
        {"Board", "boardGrid", QAccessible::Table, "Board"},
        {"Time records", "recordEmployee", QAccessible::ComboBox, "Employee"},
        {"Time records", "recordPeriod", QAccessible::ComboBox, "Period"},
        {"Time records", "recordFrom", QAccessible::SpinBox, "From"},
        {"Time records", "recordTo", QAccessible::SpinBox, "To"},
        {"Time records", "recordGrid", QAccessible::Table, "Time records"},
        {"Time records", "addRecord", QAccessible::PushButton, "Add"},
        {"Time records", "editRecord", QAccessible::PushButton, "Edit"},
        {"Time records", "deleteRecord", QAccessible::PushButton, "Delete"},
        {"Payroll", "payrollGrid", QAccessible::Table, "Payroll"},
        {"Payroll", "exportPayroll", QAccessible::PushButton, "Export CSV"},
        {"Payroll", "savePayrollPdf", QAccessible::PushButton, "Save PDF"},
        {"Staff", "staffGrid", QAccessible::Table, "Staff"},
        {"Staff", "showAbsences", QAccessible::PushButton, "Absences"},
        {"Audit", "auditEmployee", QAccessible::ComboBox, "Employee"},
        {"Audit", "auditFrom", QAccessible::SpinBox, "From"},
        {"Payroll", "payrollPeriod", QAccessible::ComboBox, "Period"},
        {"Audit", "auditGrid", QAccessible::Table, "Audit trail"},
        {"Alerts", "alertsGrid", QAccessible::Table, "Alerts"},
        {"Alerts", "resendAlert", QAccessible::PushButton, "Send again"},
        {"Settings", "notifyHours", QAccessible::EditableText, "Alert after hours"},
        {"Settings", "smtpPassword", QAccessible::EditableText, "Mail password"},
        {"Settings", "saveSettings", QAccessible::PushButton, "Save"},
        {"Settings", "sendTestAlert", QAccessible::PushButton, "Send a test alert"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.control);
        openTab(row.tab);
        QWidget* w = find(row.control);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(test::heard(w).role, row.role);
        EXPECT_EQ(test::heard(w).caption(), row.name);
    }

    auto* tabs = find<QTabWidget>("tabs");
    for (int i = 0; i < tabs->count(); ++i) {
        openTab(QString(tabs->tabText(i)).remove('&'));
        QWidget* page = tabs->currentWidget();
        for (QWidget* w : page->findChildren<QWidget*>()) {
            // A spin box's own line edit is heard as the spin box.
            if (!w->isVisible() || !(w->focusPolicy() & Qt::TabFocus) ||
                qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
                continue;
            SCOPED_TRACE(w->objectName().toStdString() + " " + w->metaObject()->className() + " in " +
                         w->parentWidget()->metaObject()->className());
            EXPECT_FALSE(test::heard(w).caption().isEmpty());
            const std::pair<const char*, QAccessible::Role> roles[] = {
                {"QPushButton", QAccessible::PushButton},   {"QCheckBox", QAccessible::CheckBox},
                {"QLineEdit", QAccessible::EditableText},   {"QComboBox", QAccessible::ComboBox},
                {"QAbstractSpinBox", QAccessible::SpinBox}, {"QTableView", QAccessible::Table}};
            for (const auto& [kind, role] : roles) {
                if (w->inherits(kind)) {
                    EXPECT_EQ(test::heard(w).role, role);
                    break;
                }
            }
        }
    }
}

// Tab goes round every control of each tab and the tab bar in reading
// order, and no grid keeps it: nothing needs the mouse.
TEST_F(AdminWindowTest, TabReachesEveryControlOfEachTab)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* tabs = find<QTabWidget>("tabs");
    for (int i = 0; i < tabs->count(); ++i) {
        const QString title = QString(tabs->tabText(i)).remove('&');
        SCOPED_TRACE(title.toStdString());
        openTab(title);
        QWidget* start = QApplication::focusWidget();
        ASSERT_NE(start, nullptr);
        QSet<QWidget*> reached;
        QList<QWidget*> order;
        for (int step = 0; step < 60; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            reached.insert(now);
            // A date box takes a Tab for each of its sections; the tab bar
            // (null here) begins the round again.
            QWidget* control = now == tabs->tabBar() ? nullptr : now;
            if (order.isEmpty() || order.back() != control)
                order << control;
            if (now == start)
                break;
        }
        // In reading order: along a row left to right, then the rows below.
        for (int k = 1; k < order.size(); ++k) {
            if (!order[k - 1] || !order[k])
                continue;
            const QPoint a = order[k - 1]->mapTo(&window, QPoint()), b = order[k]->mapTo(&window, QPoint());
            EXPECT_TRUE(a.y() + 10 < b.y() || (std::abs(a.y() - b.y()) <= 10 && a.x() < b.x()))
                << order[k - 1]->objectName().toStdString() << " before "
                << order[k]->objectName().toStdString();
        }
        EXPECT_EQ(QApplication::focusWidget(), start) << "Tab went round";
        EXPECT_TRUE(reached.contains(tabs->tabBar()));
        for (QWidget* w : tabs->currentWidget()->findChildren<QWidget*>()) {
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) {
                EXPECT_TRUE(reached.contains(w))
                    << w->objectName().toStdString() << " " << w->metaObject()->className();
            }
        }
    }
}

// Each row of a grid is announced by the column that names it, wherever a
// sort has moved it; each column by its header.
TEST_F(AdminWindowTest, AGridsRowsAndColumnsHaveHeadersAScreenReaderReads)
{
    db.addEmployee(8, "Ben Ode", "pw");
    openTab("Staff");
    auto* grid = find<QTableWidget>("staffGrid");
    ASSERT_EQ(grid->rowCount(), 2);
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnDescription(1), "Name");
    for (int r = 0; r < 2; ++r) {
        QAccessibleInterface* cell = table->cellAt(r, 2);
        ASSERT_NE(cell, nullptr);
        const QList<QAccessibleInterface*> rows = cell->tableCellInterface()->rowHeaderCells();
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0]->text(QAccessible::Name), r == 0 ? "Ann Lee" : "Ben Ode");
        const QList<QAccessibleInterface*> columns = cell->tableCellInterface()->columnHeaderCells();
        ASSERT_EQ(columns.size(), 1);
        EXPECT_EQ(columns[0]->text(QAccessible::Name), "Terminated");
    }
    const auto rowNames = [&] { return QStringList({table->rowDescription(0), table->rowDescription(1)}); };
    EXPECT_EQ(rowNames(), QStringList({"Ann Lee", "Ben Ode"}));
    sortBy("staffGrid", 1);
    const QStringList sorted = rowNames();
    EXPECT_EQ(sorted, QStringList({grid->item(0, 1)->text(), grid->item(1, 1)->text()}));
    sortBy("staffGrid", 1);
    EXPECT_EQ(rowNames(), QStringList({sorted[1], sorted[0]}));
    EXPECT_EQ(rowNames(), QStringList({grid->item(0, 1)->text(), grid->item(1, 1)->text()}));
}

// Absences are listed where they are added and removed; a second one on the
// same day is refused in the form, naming the first.
TEST_F(AdminWindowTest, AbsencesAreListedAndADuplicateRefused)
{
    openTab("Staff");
    pickRow("staffGrid", 0);
    QString refusal;
    QStringList listed, emptied;
    test::whenModal([&](QWidget* absences) {
        auto* grid = absences->findChild<QTableWidget*>("absenceGrid");
        const auto add = [&] {
            test::whenModal([&](QWidget* form) {
                QTest::mouseClick(form->findChild<QPushButton*>("ok"), Qt::LeftButton);
                if (form->isVisible()) {
                    refusal = form->findChild<QLabel*>("refusal")->text();
                    refusalHeard = test::heard(form->findChild<QLabel*>("refusal")).spoken();
                    QTest::mouseClick(form->findChild<QPushButton*>("cancel"), Qt::LeftButton);
                }
            });
            QTest::mouseClick(absences->findChild<QPushButton*>("addAbsences"), Qt::LeftButton);
        };
        add();
        listed = row(grid, 0);
        add();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(0, 0)).center());
        QTest::mouseClick(absences->findChild<QPushButton*>("removeAbsence"), Qt::LeftButton);
        emptied << QString::number(grid->rowCount());
        QTest::mouseClick(absences->findChild<QPushButton*>("close"), Qt::LeftButton);
    });
    click("showAbsences");
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed.mid(1), (QStringList{"12/4/2026", "Vacation"}));
    EXPECT_EQ(refusal,
              "Ann Lee already has Vacation on 12/4/2026 (record " + listed[0] + "); nothing was changed.");
    EXPECT_EQ(refusalHeard, refusal);
    EXPECT_EQ(emptied, QStringList{"0"});
    EXPECT_EQ(lastChange(), "Vacation of Ann Lee on 12/4/2026 removed (record " + listed[0] + ")");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM TimeAudit WHERE Action IN ('absence added', 'absence removed')")
                  .toInteger(),
              2);
    EXPECT_TRUE(dialogs.messages.empty());
}

// Whatever an action throws, a form shows it under its fields and a job in a
// message box, in the same words, and nothing escapes to Qt: a refusal its
// reason, any other error its number and description.
TEST(AdminErrorsTest, EveryFailureIsShownInTheSameWords)
{
    const struct
    {
        std::function<void()> thrower;
        QString shown;
    } cases[] = {
        {[] { throw admin::Refusal("There is no employee 9."); }, "There is no employee 9."},
        {[] { throw RunError::of(err::ReadOnly); },
         "Error:3027 Cannot update. Database or object is read-only."},
        {[] { throw std::bad_alloc(); }, "Error:7 Out of memory"},
        {[] { throw std::runtime_error("disk gone"); }, "Error:3000 disk gone"},
        {[] { throw 42; }, "Error:3000 Application-defined or object-defined error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        FormDialog form(QStringLiteral("Form"), nullptr);
        form.setAction(c.thrower);
        form.show();
        QTest::mouseClick(form.findChild<QPushButton*>("ok"), Qt::LeftButton);
        EXPECT_TRUE(form.isVisible()) << "the form stays open";
        EXPECT_EQ(form.findChild<QLabel*>("refusal")->text(), c.shown);

        // A job fails in its work, off the window's thread, or in showing its answer.
        test::ScriptedDialogs dialogs;
        Jobs jobs(dialogs, QString());
        QSignalSpy idle(&jobs, &Jobs::busyChanged);
        jobs.compute(&form, [&c]() -> Jobs::Apply {
            c.thrower();
            return {};
        });
        jobs.compute(&form, [&c] { return Jobs::Apply(c.thrower); });
        while (jobs.busy())
            ASSERT_TRUE(idle.wait(5000));
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs.texts(), QStringList({c.shown, c.shown}));
    }
}

// A hundred employees fill a few pages of readable type: each word's box is
// its type's height and a little more, the header row heads every page, and
// the totals end the table.
TEST(PayrollPdfTest, ReadableOnTheDefaultPaper)
{
    admin::Payroll payroll;
    for (int i = 1; i <= 100; ++i)
        payroll.rows.push_back({i, QStringLiteral("Employee %1").arg(i), 160, 20, 1, 1, 0, 0, 0});
    for (const QPageSize& paper : {QPageSize(QPageSize::A4), QPageSize(QPageSize::Letter)}) {
        SCOPED_TRACE(paper.name().toStdString());
        QTemporaryDir dir;
        QFile file(dir.filePath("p.pdf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(admin::payrollPdf(payroll, "12/1/2026 to 12/31/2026", paper));
        file.close();

        const QStringList pages = pdfText({"-layout", file.fileName()}).split('\f', Qt::SkipEmptyParts);
        EXPECT_GE(pages.size(), 2);
        EXPECT_LE(pages.size(), 6);
        for (const QString& page : pages)
            EXPECT_TRUE(page.contains("Sick leave")) << page.toStdString();
        EXPECT_TRUE(pages.last().contains(QRegularExpression("Total +16000.00 +2000 +100 +100 ")))
            << pages.last().toStdString();

        // Word boxes of the table's body: 1.05 to 1.25 times the size of
        // the type, as fonts' ascent and descent make them.
        const QString boxes = pdfText({"-bbox", file.fileName()});
        const QRegularExpression word(R"re(yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">Employee<)re");
        int words = 0;
        for (const QRegularExpressionMatch& m : word.globalMatch(boxes)) {
            const double height = m.captured(2).toDouble() - m.captured(1).toDouble();
            EXPECT_GE(height, 9 * 1.05);
            EXPECT_LE(height, 11 * 1.25);
            ++words;
        }
        EXPECT_EQ(words, 100);
    }
    EXPECT_EQ(admin::defaultPaper(QLocale(QLocale::English, QLocale::UnitedStates)).id(), QPageSize::Letter);
    EXPECT_EQ(admin::defaultPaper(QLocale(QLocale::German, QLocale::Germany)).id(), QPageSize::A4);
}
