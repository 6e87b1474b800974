#include "support/window.h"

#include "platform/profile.h"

#include "ui/timeclockcontrols.h"
#include "ui/widgets/glassbutton.h"
#include "ui/widgets/namelist.h"
#include "workplace/startup.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace pelmar::test {

namespace {

// The labels' texts, empty for a hidden one.
QStringList texts(QWidget& window, std::initializer_list<const char*> names)
{
    QStringList out;
    for (const char* name : names) {
        const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
        out << (label->isVisible() ? label->text() : QString());
    }
    return out;
}

} // namespace

WindowTest::WindowTest(Dialogs* dialogs) : clock(dec(4) + hm(9, 0))
{
    m_window = std::make_unique<TimeClockWindow>(dialogs ? *dialogs : scripted, clock, programDir.path());
}

WindowTest::~WindowTest() = default;

void writeConfiguration(const QString& programDir, const QString& folder, int offlineDays)
{
    const QString file = QDir(programDir).filePath(config::FileName);
    config::createFile(file, folder);
    profile::writeString(config::Section, QStringLiteral("OfflineDays"), QString::number(offlineDays), file);
}

void WindowTest::start()
{
    writeConfiguration(programDir.path(), db.folder(), offlineDays);
    m_window->start();
    m_window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
}

void WindowTest::setNow(double serial, bool tick)
{
    clock.set(serial);
    if (tick)
        QMetaObject::invokeMethod(find<QTimer>(controls::Timer), "timeout");
}

void WindowTest::logIn(const QString& fullName, const QString& password)
{
    test::logIn(*m_window, fullName, password);
}

void logIn(QWidget& window, const QString& fullName, const QString& password)
{
    auto* list = window.findChild<NameList*>(QString::fromLatin1(controls::NameList));
    EXPECT_TRUE(list->selectName(fullName)) << fullName.toStdString();
    auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(controls::Password));
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClicks(box, password);
    QTest::keyClick(box, Qt::Key_Return);
}

void WindowTest::failingAlerts(double threshold)
{
    db.setSetting(QStringLiteral("WorkHoursNotify"), Value::number(threshold));
    db.setSetting(QStringLiteral("smtpserver"), Value::text(QStringLiteral("mail.example")));
    db.setSetting(QStringLiteral("smtpusername"), Value::text(QStringLiteral("clock")));
    db.setSetting(QStringLiteral("smtppassword"), Value::null());
}

void WindowTest::click(const char* objectName)
{
    test::click(*m_window, objectName);
}

void click(QWidget& window, const char* objectName)
{
    auto* control = window.findChild<QWidget*>(QString::fromLatin1(objectName));
    ASSERT_NE(control, nullptr) << objectName;
    ASSERT_TRUE(control->isVisible()) << objectName << " is hidden";
    QTest::mouseClick(control, Qt::LeftButton);
}

QString caption(QWidget& window, const char* buttonName)
{
    const auto* b = window.findChild<GlassButton*>(QString::fromLatin1(buttonName));
    return b->isVisible() ? b->caption() : QString();
}

QStringList WindowTest::buttons()
{
    return {caption(*m_window, controls::GoButton), caption(*m_window, controls::ClockButton),
            caption(*m_window, controls::ReviewButton)};
}

QStringList WindowTest::clockLines()
{
    return texts(*m_window, {controls::InCaption, controls::InDate, controls::InTime, controls::OutCaption,
                             controls::OutDate, controls::OutTime});
}

QString WindowTest::text(const char* labelName)
{
    return texts(*m_window, {labelName}).front();
}

void whenModal(std::function<void(QWidget*)> answer)
{
    // Polls from the event loop until the box is up; the box's own loop
    // keeps the timer running.
    auto* timer = new QTimer;
    timer->setInterval(10);
    // A box still open when this is asked for is not the next one.
    const QPointer<QWidget> open = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, [timer, open, answer = std::move(answer)] {
        QWidget* box = QApplication::activeModalWidget();
        if (box && box != open) {
            timer->stop();
            timer->deleteLater();
            answer(box);
        }
    });
    timer->start();
}

} // namespace pelmar::test
