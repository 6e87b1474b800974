#include "ui/timeclockwindow.h"

#include "login/login.h"
#include "login/offline.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/mail/smtpmail.h"
#include "platform/runerror.h"
#include "review/timesheet.h"
#include "review/whereis.h"
#include "store/schema.h"
#include "store/session.h"
#include "timekeeping/alert.h"
#include "timekeeping/alertoutbox.h"
#include "timekeeping/alertsender.h"
#include "timekeeping/clocking.h"
#include "ui/actionthread.h"
#include "ui/databaselocator.h"
#include "ui/reporterror.h"
#include "ui/timeclockcontrols.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/glassbutton.h"
#include "ui/widgets/namelist.h"
#include "ui/widgets/timegrid.h"
#include "workplace/startup.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcessEnvironment>
#include <QTimer>
#include <exception>

namespace pelmar {

// What a glass button shows in one state; a field left empty keeps what the
// button had. The texts are translated when applied.
struct ButtonLook
{
    const char* caption = nullptr;
    const char* toolTip = nullptr;
    std::optional<quint32> face;
    std::optional<quint32> glare;
    std::optional<quint32> click;
    std::optional<quint32> mouseMove;
};

namespace {

using Look = ButtonLook;

// The looks of the glass buttons by state; colours are blue-green-red.
const Look LoggedOutLook{QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Log In"),
                         QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Display your time clock screen"),
                         0xC00000,
                         0xFF8080,
                         0x0000FF,
                         0xFF8080};
const Look LoggedInLook{QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Log Out"),
                        QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Close your time clock screen"),
                        0x000080,
                        0x8080FF,
                        0x0000FF,
                        0x8080FF};
const Look ClockInLook{QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Clock IN"),
                       nullptr,
                       0xC00000,
                       0xFF8080,
                       0x0000FF,
                       0xFF8080};
const Look ClockOutLook{QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Clock OUT"),
                        nullptr,
                        0x008000,
                        0x80FF80,
                        0x00FF00,
                        0x80FF80};
const Look SheetOpenLook{QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Hide My Time"),
                         QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Close your time sheet records."),
                         0x000080,
                         0x0000FF,
                         std::nullopt,
                         std::nullopt};
const Look ReviewCaptionOnly{QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "View My Time"),
                             nullptr,
                             std::nullopt,
                             std::nullopt,
                             std::nullopt,
                             std::nullopt};
const Look SheetClosedLook{QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "View My Time"),
                           QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Display your time sheet in a table"),
                           0x004080,
                           0x0080FF,
                           0x0080FF,
                           0x80C0FF};

QFont arial(int points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"), points, bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(align);
    label->setFont(arial(9, true));
    return label;
}

GlassButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                        QRect geometry, quint32 face, quint32 glare, quint32 mouseMove, quint32 click)
{
    auto* button = new GlassButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setCaption(caption);
    button->setToolTip(tip);
    button->setGeometry(geometry);
    button->setFaceColor(face);
    button->setGlareColor(glare);
    button->setHoverColor(mouseMove);
    button->setPressedColor(click);
    return button;
}

} // namespace

TimeClockWindow::TimeClockWindow(Dialogs& dialogs, const Clock& clock, QString programFolder, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_clock(clock), m_programFolder(std::move(programFolder)),
      m_offline(std::make_unique<OfflineClock>(QString(), 0))
{
    createControls();
    connectControls();
    now();
}

TimeClockWindow::~TimeClockWindow() = default;

void TimeClockWindow::createControls()
{
    setObjectName(QString::fromLatin1(controls::Window));
    setWindowTitle(tr("Time Log"));
    setWindowIcon(artwork::windowIcon());
    setFixedSize(598, 355);
    setFont(arial(9));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, GlassButton::fromBgr(0xE0E0E0));
    setPalette(pal);

    auto* picture = new QLabel(this);
    picture->setObjectName(QString::fromLatin1(controls::Background));
    picture->setGeometry(0, 0, 602, 382);
    m_picture = picture; // its face is drawn at the clock's time by now()

    m_personnel = new NameList(picture);
    m_personnel->setObjectName(QString::fromLatin1(controls::NameList));
    m_personnel->setGeometry(0, 19, 190, 24);
    m_personnel->setFont(arial(10));
    m_personnel->setAccessibleName(QStringLiteral("Select Name:"));

    m_password = new QLineEdit(picture);
    m_password->setObjectName(QString::fromLatin1(controls::Password));
    m_password->setGeometry(200, 19, 110, 24);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setFont(arial(10));
    m_password->setToolTip(tr("Enter your personal password that is assigned by the administrator."));
    m_password->setAccessibleName(QStringLiteral("Enter Password"));
    // Typed characters show as "*", whatever the style's own mask is.
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    m_goButton = makeButton(picture, controls::GoButton, tr("Log In"), tr("Display your time clock screen"),
                            QRect(320, 14, 75, 34), 0xC00000, 0xFF8080, 0xFF8080, 0x0000FF);
    m_whereIsButton = makeButton(picture, controls::WhereIsButton, tr("Where Is?"),
                                 tr("Display this person's last known location"), QRect(8, 56, 86, 34),
                                 0xC00000, 0xFF8080, 0xFF0000, 0xFF0000);
    m_reviewButton = makeButton(picture, controls::ReviewButton, tr("View My Time"),
                                tr("Display your time sheet in a table"), QRect(96, 56, 104, 34), 0x004080,
                                0x0080FF, 0x80C0FF, 0x0080FF);
    m_reviewButton->hide();

    m_rangeBox = new QCheckBox(tr("Change the dates displayed"), picture);
    m_rangeBox->setObjectName(QString::fromLatin1(controls::RangeBox));
    m_rangeBox->setGeometry(160, 112, 190, 20);
    m_rangeBox->setToolTip(tr("Click to enter new date range"));
    m_rangeBox->setFont(arial(9, true));
    m_rangeBox->setStyleSheet(QStringLiteral("QCheckBox { color: white; }"));
    m_rangeBox->hide();

    m_dateLabel = makeLabel(picture, controls::DateLabel, QStringLiteral("Date"), QRect(397, 16, 200, 20),
                            Qt::AlignCenter);
    m_dateLabel->setFont(arial(10, true));
    m_timeLabel = makeLabel(picture, controls::TimeLabel, QStringLiteral("Time"), QRect(446, 41, 102, 20),
                            Qt::AlignCenter);
    m_timeLabel->setFont(arial(10, true));

    // The clock lines sit on the dark part of the picture: white captions and
    // light blue values keep them readable.
    const QString blue = QStringLiteral("color: #A8D0FF;");
    m_inTime = makeLabel(picture, controls::InTime, QStringLiteral("TimeIn"), QRect(505, 185, 93, 20));
    m_inTime->setStyleSheet(blue);
    m_outCaption = makeLabel(picture, controls::OutCaption, tr("You Clocked Out:"), QRect(350, 212, 130, 20));
    m_inCaption = makeLabel(picture, controls::InCaption, tr("You Clocked In:"), QRect(354, 160, 130, 20));
    m_outCaption->setStyleSheet(QStringLiteral("color: white;"));
    m_inCaption->setStyleSheet(QStringLiteral("color: white;"));
    m_outTime = makeLabel(picture, controls::OutTime, QStringLiteral("TimeOut"), QRect(505, 230, 93, 20));
    m_outTime->setStyleSheet(blue);
    m_outDate = makeLabel(picture, controls::OutDate, QStringLiteral("DateOut"), QRect(337, 230, 165, 20),
                          Qt::AlignRight | Qt::AlignVCenter);
    m_outDate->setStyleSheet(blue);
    m_inDate = makeLabel(picture, controls::InDate, QStringLiteral("DateIn"), QRect(338, 185, 164, 20),
                         Qt::AlignRight | Qt::AlignVCenter);
    m_inDate->setStyleSheet(blue);
    m_totalHours = makeLabel(picture, controls::TotalHours, tr("Total Hours"), QRect(103, 334, 225, 18),
                             Qt::AlignRight | Qt::AlignVCenter);
    m_totalHours->setStyleSheet(QStringLiteral("color: white;"));
    // A gap between a right-aligned date and the time beside it.
    m_inTime->setIndent(6);
    m_outTime->setIndent(6);
    for (QLabel* label : {m_inTime, m_outCaption, m_inCaption, m_outTime, m_outDate, m_inDate, m_totalHours})
        label->hide();
    auto* label2 =
        makeLabel(picture, controls::PasswordCaption, tr("Enter Password"), QRect(210, 5, 110, 16));
    auto* label1 = makeLabel(picture, controls::NameCaption, tr("Select Name:"), QRect(11, 4, 110, 16));
    label1->setBuddy(m_personnel);
    label2->setBuddy(m_password);

    m_grid = new TimeGrid(picture);
    m_grid->setObjectName(QString::fromLatin1(controls::TimeSheet));
    m_grid->setGeometry(2, 133, 331, 204);
    m_grid->setAccessibleName(QStringLiteral("Time sheet"));
    m_grid->hide();

    m_clockButton = makeButton(picture, controls::ClockButton, tr("Clock In"), QString(),
                               QRect(320, 64, 110, 40), 0xC00000, 0xFF8080, 0xFF8080, 0xFF0000);
    m_clockButton->hide();

    // Tab follows the picture as it reads, left to right and down: the
    // clock button sits beside the buttons below Log In, not after the grid.
    setTabOrder(m_personnel, m_password);
    setTabOrder(m_password, m_goButton);
    setTabOrder(m_goButton, m_whereIsButton);
    setTabOrder(m_whereIsButton, m_reviewButton);
    setTabOrder(m_reviewButton, m_clockButton);
    setTabOrder(m_clockButton, m_rangeBox);
    setTabOrder(m_rangeBox, m_grid);

    m_personnel->setDataSource(&m_workplace.employees());
    m_grid->setDataSource(&m_workplace.times());

    m_timer = new QTimer(this);
    m_timer->setObjectName(QString::fromLatin1(controls::Timer));
    m_timer->setInterval(1000);
    m_timer->start();
}

void TimeClockWindow::connectControls()
{
    connect(m_timer, &QTimer::timeout, this, &TimeClockWindow::tick);
    connect(m_goButton, &QAbstractButton::clicked, this, &TimeClockWindow::logInOrOut);
    connect(m_clockButton, &QAbstractButton::clicked, this, &TimeClockWindow::clockInOrOut);
    connect(m_reviewButton, &QAbstractButton::clicked, this, &TimeClockWindow::toggleTimeSheet);
    connect(m_whereIsButton, &QAbstractButton::clicked, this, &TimeClockWindow::whereIs);
    // The user's click only: the program's own changes of the box are
    // followed by what they call for, where they are made.
    connect(m_rangeBox, &QCheckBox::clicked, this, &TimeClockWindow::changeRange);
    connect(m_personnel, &NameList::aboutToShowNames, this, &TimeClockWindow::refreshStaff);
    m_password->installEventFilter(this);
}

void TimeClockWindow::connectAlerts()
{
    connect(m_alerts, &AlertSender::delivered, this, [this] { m_dialogs.messageBox(alert::sentMessage()); });
    connect(m_alerts, &AlertSender::failed, this, [this](int number, const QString& description) {
        m_dialogs.messageBox(alert::errorMessage(number, description));
    });
    connect(m_alerts, &AlertSender::refused, this, [this](int number, const QString& description) {
        reportError(m_dialogs, RunError(number, description));
    });
}

void TimeClockWindow::start()
{
    guarded([this] {
        Startup startup(m_workplace, m_dialogs, config::Places::of(m_programFolder), [this] {
            DatabaseLocator locator(m_dialogs, this);
            return locator.locate();
        });
        startup.run();
    });
    m_alerts = new AlertSender(m_workplace, m_clock, this);
    connectAlerts();
    openJournal();
    tick();
}

void TimeClockWindow::openJournal()
{
    if (m_workplace.databasePath().isEmpty())
        return;
    m_offlineMark = new QLabel(this);
    m_offlineMark->setObjectName(QStringLiteral("lblOffline"));
    m_offlineMark->setStyleSheet(
        QStringLiteral("QLabel { background: #fff3c4; color: #5a4500; padding: 2px 6px; }"));
    m_offlineMark->move(8, 8);
    m_offlineMark->setVisible(false);
    try {
        m_offline = std::make_unique<OfflineClock>(Journal::pathFor(m_workplace.databasePath()),
                                                   config::offlineDays(config::Places::of(m_programFolder)));
    } catch (const std::exception& error) {
        // Without its journal the terminal works as before: an outage is an error.
        qWarning("The terminal's journal could not be opened: %s", error.what());
    }
    showOfflineMark();
}

bool TimeClockWindow::keepsOffline(const RunError& error) const
{
    return m_offline->covers(error);
}

OfflineClock::Runner TimeClockWindow::runner()
{
    return [this](const std::function<void()>& work) { offThread(work); };
}

void TimeClockWindow::writeBackJournal()
{
    if (m_working)
        return;
    m_offline->tryWriteBack(m_workplace, m_clock.now(), runner());
    showOfflineMark();
}

void TimeClockWindow::showOfflineMark()
{
    if (!m_offlineMark)
        return;
    const int waiting = m_offline->pending();
    m_offlineMark->setText(tr("offline: %1 punches kept on this terminal").arg(waiting));
    m_offlineMark->adjustSize();
    m_offlineMark->setVisible(waiting > 0 || m_sessionOffline);
    m_offlineMark->raise();
}

bool TimeClockWindow::guarded(const std::function<void()>& handler)
{
    // Input is held off while a worker runs; nothing else may start one.
    if (m_working)
        return false;
    try {
        handler();
        return true;
    } catch (...) {
        reportError(m_dialogs, RunError::current());
    }
    return false;
}

void TimeClockWindow::offThread(const std::function<void()>& work)
{
    // A local file answers within its busy timeout: asked here, an action
    // costs no hand-over to the worker.
    if (m_workplace.databasePath() != m_checkedPath) {
        m_checkedPath = m_workplace.databasePath();
        m_databaseOverNetwork = sql::reachedOverNetwork(m_checkedPath);
    }
    if (!m_databaseOverNetwork) {
        work();
        return;
    }
    DataSource& employees = m_workplace.employees();
    DataSource& times = m_workplace.times();
    const quint64 employeesRead = employees.refreshes(), timesRead = times.refreshes();
    // The sources' signals would reach the list and grid from the worker.
    QSignalBlocker quietEmployees(employees), quietTimes(times), quietSettings(m_workplace.settings());
    m_working = true;

    QEventLoop loop;
    std::future<void> done = m_actions.run([&] {
        // Posted before done is ready, so the loop is still there to take it.
        struct Quit
        {
            QEventLoop& loop;
            ~Quit() { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); }
        } quit{loop};
        work();
    });
    // Most actions take a millisecond or two: waiting for them here spares
    // them the event loop's round trip. A slow one gets the loop, and the
    // clock ticks while it waits. The grid is paused only then, as only the
    // loop would paint it.
    if (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        m_grid->setPaused(true);
        qApp->installEventFilter(this);
        loop.exec();
        qApp->removeEventFilter(this);
        m_grid->setPaused(false);
    }
    std::exception_ptr failure;
    try {
        done.get();
    } catch (...) {
        failure = std::current_exception();
    }

    m_working = false;
    quietEmployees.unblock();
    quietTimes.unblock();
    quietSettings.unblock();
    // What the worker read, the list and grid show now.
    if (employees.refreshes() != employeesRead)
        employees.notifyRowsChanged();
    if (times.refreshes() != timesRead)
        times.notifyRowsChanged();
    if (failure)
        std::rethrow_exception(failure);
}

bool TimeClockWindow::isInput(const QEvent* event) const
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

bool TimeClockWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (m_working) {
        // Input to this window waits for nothing: it is dropped, so that a
        // second click on a slow terminal never becomes a second action.
        // Closing waits for the worker too.
        if (watched == this && event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && isInput(event))
            return true;
    }
    if (watched == m_password && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            logInOrOut();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TimeClockWindow::apply(GlassButton* button, const ButtonLook& look)
{
    if (look.caption)
        button->setCaption(tr(look.caption));
    if (look.toolTip)
        button->setToolTip(tr(look.toolTip));
    if (look.face)
        button->setFaceColor(*look.face);
    if (look.glare)
        button->setGlareColor(*look.glare);
    if (look.click)
        button->setPressedColor(*look.click);
    if (look.mouseMove)
        button->setHoverColor(*look.mouseMove);
}

double TimeClockWindow::now()
{
    const double serial = m_clock.now();
    m_dateLabel->setText(dates::longDate(serial));
    m_timeLabel->setText(dates::longTime(serial));
    int hour = 0, minute = 0, second = 0;
    dates::hms(serial, hour, minute, second);
    // The face's hands move with the labels, once a minute.
    if (hour * 60 + minute != m_faceMinute) {
        m_faceMinute = hour * 60 + minute;
        m_picture->setPixmap(artwork::background(m_picture->size(), m_faceMinute));
    }
    return serial;
}

void TimeClockWindow::tick()
{
    const double at = now();
    // Alerts left pending, by this terminal or another, are tried again
    // between actions; the outbox's back-off decides which are due.
    if (m_alerts && !m_working && at >= m_nextAlertRetry) {
        m_nextAlertRetry = at + std::min(60.0, outbox::retryDelay(1)) / 86400;
        m_alerts->retryDue();
    }
    // Punches kept through an outage go back as soon as the database answers.
    // Never while the worker has the journal: its connection serves one thread at a time.
    if (!m_working && at >= m_nextJournalTry && m_offline->pending() > 0) {
        bool set = false;
        const int seconds = qEnvironmentVariableIntValue("PELMAR_JOURNAL_RETRY_SECONDS", &set);
        m_nextJournalTry = at + (set && seconds > 0 ? seconds : 5) / 86400.0;
        writeBackJournal();
    }
}

void TimeClockWindow::logInOrOut()
{
    guarded([this] {
        if (m_session == Session::LoggedIn)
            endSession();
        else
            startSession();
    });
}

void TimeClockWindow::startSession()
{
    // The list selects nobody until a name is picked; without one there is
    // no password to check against.
    if (!m_personnel->hasSelection()) {
        m_dialogs.messageBox(tr("Select your name in the list first."));
        return;
    }
    const Value id = m_personnel->columnValue(cols::EmployeeID);
    const QString password = m_password->text();
    const double at = now();
    const LogInResult result = m_offline->logIn(m_workplace, id, password, at, runner(), m_sessionOffline);
    showOfflineMark();
    if (!result.employee) {
        showResult(result.screen);
        m_password->clear();
        return;
    }
    m_employee = result.employee;
    m_session = Session::LoggedIn;
    apply(m_goButton, LoggedInLook);
    m_reviewButton->setVisible(true);
    m_personnel->setLocked(true);
    showResult(result.screen);
    if (!m_sessionOffline)
        loadDefaultRange();
}

void TimeClockWindow::endSession()
{
    const bool typedRange = m_range == Range::Typed;
    m_session = Session::LoggedOut;
    m_sessionOffline = false;
    showOfflineMark();
    m_openShiftId.reset();
    apply(m_goButton, LoggedOutLook);
    m_password->clear();
    for (QLabel* label : {m_inCaption, m_inDate, m_inTime, m_outCaption, m_outDate, m_outTime})
        label->setVisible(false);
    // The review button gets its caption back but keeps its other looks.
    apply(m_reviewButton, ReviewCaptionOnly);
    m_reviewButton->setVisible(false);
    showOffer(ButtonOffer::Hidden);
    m_grid->setVisible(false);
    m_rangeBox->setVisible(false);
    m_rangeBox->setChecked(false);
    m_sheet = Sheet::Closed;
    if (typedRange)
        loadDefaultRange();
    m_range = Range::Default;
    m_totalHours->setVisible(false);
    m_personnel->setLocked(false);
    m_employee.reset();
    // The next person picks from the staff as it is now.
    refreshStaff();
}

void TimeClockWindow::showResult(const ActionResult& result)
{
    // The action's steps in their order: its alerts and messages, then the
    // screen it leaves. The state that decides later clicks is set first, so
    // a click the boxes let through still meets this result.
    if (result.offer != ButtonOffer::Keep)
        m_openShiftId = result.openShift;
    for (const Notice& notice : result.notices) {
        if (notice.kind == Notice::Kind::Alert)
            sendAlert(notice);
        else
            m_dialogs.messageBox(notice.text);
    }
    if (result.clockedIn)
        showLine({m_inCaption, m_inDate, m_inTime}, *result.clockedIn);
    if (result.clockedOut)
        showLine({m_outCaption, m_outDate, m_outTime}, *result.clockedOut);
    if (result.offer != ButtonOffer::Keep)
        showOffer(result.offer);
}

void TimeClockWindow::showOffer(ButtonOffer offer)
{
    m_offer = offer;
    if (offer != ButtonOffer::ClockIn && offer != ButtonOffer::ClockOut) {
        m_clockButton->setVisible(false);
        return;
    }
    apply(m_clockButton, offer == ButtonOffer::ClockIn ? ClockInLook : ClockOutLook);
    m_clockButton->setVisible(true);
    m_reviewButton->setVisible(true);
}

void TimeClockWindow::showLine(std::initializer_list<QLabel*> labels, const ClockLine& line)
{
    const QString texts[] = {line.caption, line.date, line.time};
    const QString* text = texts;
    for (QLabel* label : labels) {
        label->setText(*text++);
        label->setVisible(true);
    }
}

void TimeClockWindow::clockInOrOut()
{
    guarded([this] {
        const bool in = m_offer == ButtonOffer::ClockIn;
        if (!m_employee || !(in || (m_offer == ButtonOffer::ClockOut && (m_openShiftId || m_sessionOffline))))
            return;
        const Employee who = *m_employee;
        const double at = now();
        bool kept = m_sessionOffline;
        const ActionResult result = m_offline->clock(m_workplace, who, in, m_openShiftId, at, runner(), kept);
        showOfflineMark();
        showResult(result);
        if (!kept)
            refreshTimes();
    });
}

void TimeClockWindow::toggleTimeSheet()
{
    guarded([this] {
        if (m_sheet == Sheet::Closed) {
            // Opened only on rows just read: a failed read leaves it closed,
            // never showing what an earlier read left in the grid.
            if (!loadDefaultRange())
                return;
            m_sheet = Sheet::Open;
            apply(m_reviewButton, SheetOpenLook);
            m_totalHours->setVisible(true);
            m_rangeBox->setVisible(true);
            m_grid->setVisible(true);
            return;
        }
        const bool typedRange = m_range == Range::Typed;
        m_sheet = Sheet::Closed;
        m_grid->setVisible(false);
        m_totalHours->setVisible(false);
        m_rangeBox->setVisible(false);
        apply(m_reviewButton, SheetClosedLook);
        // The sheet always reopens on the default range.
        m_rangeBox->setChecked(false);
        m_range = Range::Default;
        if (typedRange)
            loadDefaultRange();
    });
}

void TimeClockWindow::changeRange()
{
    guarded([this] {
        if (!m_rangeBox->isChecked()) {
            // Still ticked over the typed range when the default can't be read.
            if (!loadDefaultRange())
                m_rangeBox->setChecked(true);
            return;
        }
        const QString from =
            m_dialogs.inputBox(tr("Enter the start ('from') date as mm/dd/yyyy"), tr("Enter From:"));
        const timesheet::Entry start = timesheet::checkStart(from);
        if (start != timesheet::Entry::Accepted) {
            rangeRefused(start == timesheet::Entry::NotADate);
            return;
        }
        const QString to = m_dialogs.inputBox(tr("Enter the end ('to') date as mm/dd/yyyy"), tr("Enter To:"));
        if (timesheet::checkEnd(to) != timesheet::Entry::Accepted) {
            rangeRefused(true);
            return;
        }
        if (loadSheet({Value::text(from), Value::text(to)}))
            m_range = Range::Typed;
        else
            m_rangeBox->setChecked(false); // the sheet still shows the range it had
    });
}

void TimeClockWindow::rangeRefused(bool tellUser)
{
    if (tellUser)
        m_dialogs.messageBox(tr("Entry is not a valid date"));
    m_rangeBox->setChecked(false);
    loadDefaultRange();
}

bool TimeClockWindow::loadDefaultRange()
{
    if (!loadSheet(timesheet::defaultRange(now())))
        return false;
    m_range = Range::Default;
    return true;
}

bool TimeClockWindow::loadSheet(const DateRange& range)
{
    // On failure the grid and the total keep what they showed.
    bool read = false;
    return m_employee && guarded([&] {
               const Value id = m_employee->id;
               QString total;
               read = readUnlessOffline([&] { total = timesheet::load(m_workplace, range, id); });
               if (read)
                   m_totalHours->setText(total);
           }) &&
           read;
}

void TimeClockWindow::refreshTimes()
{
    guarded([this] { readUnlessOffline([this] { m_workplace.times().refresh(); }); });
}

void TimeClockWindow::refreshStaff()
{
    guarded([this] {
        const double at = m_clock.now();
        // During an outage the list keeps the names it had, and the journal
        // knows who may log in.
        readUnlessOffline([&] {
            m_workplace.employees().refresh();
            // Who left or had their password reset can no longer log in offline.
            m_offline->reconcile(m_workplace, at);
        });
    });
}

bool TimeClockWindow::readUnlessOffline(const std::function<void()>& read)
{
    try {
        offThread(read);
        return true;
    } catch (const RunError& error) {
        if (!keepsOffline(error))
            throw;
        showOfflineMark();
        return false;
    }
}

void TimeClockWindow::whereIs()
{
    guarded([this] {
        if (!m_personnel->hasSelection()) {
            m_dialogs.messageBox(whereis::noNamePicked(), Dialogs::Icon::Information);
            return;
        }
        const Value id = m_personnel->columnValue(cols::EmployeeID);
        const QString name = m_personnel->columnValue(cols::FullName).toTextOrEmpty();
        const double at = now();
        QString answer;
        offThread([&] { answer = whereis::answer(m_workplace, id, name, at); });
        m_dialogs.messageBox(answer, Dialogs::Icon::Information);
    });
}

void TimeClockWindow::sendAlert(const Notice& notice)
{
    // The record that caused it is saved and stands, whatever the send does;
    // an alert in the outbox is tried again until it is sent.
    if (!m_alerts)
        return;
    if (notice.outboxId)
        m_alerts->sendNow(*notice.outboxId);
    else
        m_alerts->sendUnqueued(notice.text, notice.shiftDate);
}

} // namespace pelmar
