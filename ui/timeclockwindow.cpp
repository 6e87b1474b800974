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
// button had. The texts are translated when applied. Written with named
// fields, so that no colour can take another's place.
struct ButtonLook
{
    const char* caption = nullptr;
    const char* toolTip = nullptr;
    std::optional<QColor> face = std::nullopt;
    std::optional<QColor> glare = std::nullopt;
    std::optional<QColor> pressed = std::nullopt;
    std::optional<QColor> hover = std::nullopt;
};

namespace {

using Look = ButtonLook;

// The buttons' colours, in red-green-blue.
const QColor DarkBlue(0x00, 0x00, 0xC0);
const QColor LightBlue(0x80, 0x80, 0xFF);
const QColor Blue(0x00, 0x00, 0xFF);
const QColor Red(0xFF, 0x00, 0x00);
const QColor DarkRed(0x80, 0x00, 0x00);
const QColor LightRed(0xFF, 0x80, 0x80);
const QColor DarkGreen(0x00, 0x80, 0x00);
const QColor LightGreen(0x80, 0xFF, 0x80);
const QColor Green(0x00, 0xFF, 0x00);
const QColor Brown(0x80, 0x40, 0x00);
const QColor Orange(0xFF, 0x80, 0x00);
const QColor LightOrange(0xFF, 0xC0, 0x80);

// The looks of the glass buttons by state. A button starts in the look of
// the state the window opens in.
const Look LoggedOutLook{.caption = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Log In"),
                         .toolTip =
                             QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Display your time clock screen"),
                         .face = DarkBlue,
                         .glare = LightBlue,
                         .pressed = Red,
                         .hover = LightBlue};
const Look LoggedInLook{.caption = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Log Out"),
                        .toolTip =
                            QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Close your time clock screen"),
                        .face = DarkRed,
                        .glare = LightRed,
                        .pressed = Red,
                        .hover = LightRed};
const Look WhereIsLook{
    .caption = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Where Is?"),
    .toolTip = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Display this person's last known location"),
    .face = DarkBlue,
    .glare = LightBlue,
    .pressed = Blue,
    .hover = Blue};
const Look ClockInLook{.caption = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Clock IN"),
                       .face = DarkBlue,
                       .glare = LightBlue,
                       .pressed = Red,
                       .hover = LightBlue};
const Look ClockOutLook{.caption = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Clock OUT"),
                        .face = DarkGreen,
                        .glare = LightGreen,
                        .pressed = Green,
                        .hover = LightGreen};
const Look SheetOpenLook{.caption = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Hide My Time"),
                         .toolTip =
                             QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Close your time sheet records."),
                         .face = DarkRed,
                         .glare = Red};
const Look SheetClosedLook{
    .caption = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "View My Time"),
    .toolTip = QT_TRANSLATE_NOOP("pelmar::TimeClockWindow", "Display your time sheet in a table"),
    .face = Brown,
    .glare = Orange,
    .pressed = Orange,
    .hover = LightOrange};
// At log-out the review button gets its caption back but keeps its other looks.
const Look ReviewCaptionOnly{.caption = SheetClosedLook.caption};

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
    pal.setColor(QPalette::Window, artwork::WindowGrey);
    setPalette(pal);

    // Every control sits on the picture; its face is drawn at the clock's
    // time by now().
    m_face = new QLabel(this);
    m_face->setObjectName(QString::fromLatin1(controls::Background));
    m_face->setGeometry(0, 0, 602, 382);

    createLogInControls();
    createClockControls();
    createTimeSheetControls();
    setTabOrders();
    m_personnel->setDataSource(&m_workplace.employees());
    m_grid->setDataSource(&m_workplace.times());

    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QString::fromLatin1(controls::Timer));
    m_clockTimer->setInterval(1000);
    m_clockTimer->start();
}

GlassButton* TimeClockWindow::makeButton(const char* name, QRect geometry, const ButtonLook& look)
{
    auto* button = new GlassButton(m_face);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    apply(button, look);
    return button;
}

void TimeClockWindow::createLogInControls()
{
    m_personnel = new NameList(m_face);
    m_personnel->setObjectName(QString::fromLatin1(controls::NameList));
    m_personnel->setGeometry(0, 19, 190, 24);
    m_personnel->setFont(arial(10));
    m_personnel->setAccessibleName(tr("Select Name:"));

    m_password = new QLineEdit(m_face);
    m_password->setObjectName(QString::fromLatin1(controls::Password));
    m_password->setGeometry(200, 19, 110, 24);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setFont(arial(10));
    m_password->setToolTip(tr("Enter your personal password that is assigned by the administrator."));
    m_password->setAccessibleName(tr("Enter Password"));
    // Typed characters show as "*", whatever the style's own mask is.
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    QLabel* passwordCaption =
        makeLabel(m_face, controls::PasswordCaption, tr("Enter Password"), QRect(210, 5, 110, 16));
    QLabel* nameCaption = makeLabel(m_face, controls::NameCaption, tr("Select Name:"), QRect(11, 4, 110, 16));
    nameCaption->setBuddy(m_personnel);
    passwordCaption->setBuddy(m_password);

    m_goButton = makeButton(controls::GoButton, QRect(320, 14, 75, 34), LoggedOutLook);
    m_whereIsButton = makeButton(controls::WhereIsButton, QRect(8, 56, 86, 34), WhereIsLook);
}

void TimeClockWindow::createClockControls()
{
    m_dateLabel = makeLabel(m_face, controls::DateLabel, QStringLiteral("Date"), QRect(397, 16, 200, 20),
                            Qt::AlignCenter);
    m_dateLabel->setFont(arial(10, true));
    m_timeLabel = makeLabel(m_face, controls::TimeLabel, QStringLiteral("Time"), QRect(446, 41, 102, 20),
                            Qt::AlignCenter);
    m_timeLabel->setFont(arial(10, true));

    m_clockButton = makeButton(controls::ClockButton, QRect(320, 64, 110, 40), ClockInLook);
    m_clockButton->hide();

    // The clock lines sit on the dark part of the picture: white captions and
    // light blue values keep them readable.
    const QString white = QStringLiteral("color: white;");
    const QString blue = QStringLiteral("color: #A8D0FF;");
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    m_inCaption = makeLabel(m_face, controls::InCaption, tr("You Clocked In:"), QRect(354, 160, 130, 20));
    m_inCaption->setStyleSheet(white);
    m_inDate = makeLabel(m_face, controls::InDate, QStringLiteral("DateIn"), QRect(338, 185, 164, 20), right);
    m_inDate->setStyleSheet(blue);
    m_inTime = makeLabel(m_face, controls::InTime, QStringLiteral("TimeIn"), QRect(505, 185, 93, 20));
    m_inTime->setStyleSheet(blue);
    m_outCaption = makeLabel(m_face, controls::OutCaption, tr("You Clocked Out:"), QRect(350, 212, 130, 20));
    m_outCaption->setStyleSheet(white);
    m_outDate =
        makeLabel(m_face, controls::OutDate, QStringLiteral("DateOut"), QRect(337, 230, 165, 20), right);
    m_outDate->setStyleSheet(blue);
    m_outTime = makeLabel(m_face, controls::OutTime, QStringLiteral("TimeOut"), QRect(505, 230, 93, 20));
    m_outTime->setStyleSheet(blue);
    // A gap between a right-aligned date and the time beside it.
    m_inTime->setIndent(6);
    m_outTime->setIndent(6);
    for (QLabel* label : {m_inCaption, m_inDate, m_inTime, m_outCaption, m_outDate, m_outTime})
        label->hide();
}

void TimeClockWindow::createTimeSheetControls()
{
    m_reviewButton = makeButton(controls::ReviewButton, QRect(96, 56, 104, 34), SheetClosedLook);
    m_reviewButton->hide();

    m_rangeBox = new QCheckBox(tr("Change the dates displayed"), m_face);
    m_rangeBox->setObjectName(QString::fromLatin1(controls::RangeBox));
    m_rangeBox->setGeometry(160, 112, 190, 20);
    m_rangeBox->setToolTip(tr("Click to enter new date range"));
    m_rangeBox->setFont(arial(9, true));
    m_rangeBox->setStyleSheet(QStringLiteral("QCheckBox { color: white; }"));
    m_rangeBox->hide();

    m_grid = new TimeGrid(m_face);
    m_grid->setObjectName(QString::fromLatin1(controls::TimeSheet));
    m_grid->setGeometry(2, 133, 331, 204);
    m_grid->setAccessibleName(tr("Time sheet"));
    m_grid->hide();

    m_totalHours = makeLabel(m_face, controls::TotalHours, tr("Total Hours"), QRect(103, 334, 225, 18),
                             Qt::AlignRight | Qt::AlignVCenter);
    m_totalHours->setStyleSheet(QStringLiteral("color: white;"));
    m_totalHours->hide();
}

void TimeClockWindow::setTabOrders()
{
    // Tab follows the picture as it reads, left to right and down: the
    // clock button sits beside the buttons below Log In, not after the grid.
    setTabOrder(m_personnel, m_password);
    setTabOrder(m_password, m_goButton);
    setTabOrder(m_goButton, m_whereIsButton);
    setTabOrder(m_whereIsButton, m_reviewButton);
    setTabOrder(m_reviewButton, m_clockButton);
    setTabOrder(m_clockButton, m_rangeBox);
    setTabOrder(m_rangeBox, m_grid);
}

void TimeClockWindow::connectControls()
{
    connect(m_clockTimer, &QTimer::timeout, this, &TimeClockWindow::tick);
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
    const int refused = m_offline->setAside();
    QString text = waiting > 0 ? tr("offline: %1 punches kept on this terminal").arg(waiting) : tr("offline");
    if (refused > 0)
        text = tr("%1 punches kept on this terminal were refused by the database: tell the administrator")
                   .arg(refused);
    m_offlineMark->setText(text);
    m_offlineMark->adjustSize();
    // Bottom left, clear of the controls.
    m_offlineMark->move(8, height() - m_offlineMark->height() - 8);
    m_offlineMark->setVisible(waiting > 0 || refused > 0 || m_sessionOffline);
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
    if (look.pressed)
        button->setPressedColor(*look.pressed);
    if (look.hover)
        button->setHoverColor(*look.hover);
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
        m_face->setPixmap(artwork::background(m_face->size(), m_faceMinute));
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
        askForAName();
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
            askForAName();
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

void TimeClockWindow::askForAName()
{
    m_dialogs.messageBox(tr("Select a name in the list first."), Dialogs::Icon::Information);
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
