#include "support/window.h"

#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::test {

WindowTest::WindowTest() : clock(at(2026, 12, 4, 9, 0, 0)) {}

WindowTest::~WindowTest() = default;

void WindowTest::start(bool writeIni)
{
    if (writeIni) {
        QFile ini(appDir.filePath(QStringLiteral("PelmarEmployee.ini")));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[PELMAREMPLOYEE]\r\nMessage=%1\r\n").arg(db.folder()).toLatin1());
    }
    m_window = std::make_unique<FrmTimeLog>(shared, dialogs, clock, appDir.path());
    m_window->Form_Load();
}

void WindowTest::setNow(double serial)
{
    clock.set(serial);
    m_window->Timer1_Timer();
}

void WindowTest::logIn(const QString& fullName, const QString& password)
{
    EXPECT_TRUE(m_window->tdbPersonnel->selectName(fullName)) << fullName.toStdString();
    m_window->tdbPassword->setText(password);
    QTest::keyClick(m_window->tdbPassword, Qt::Key_Return);
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
    auto* button = m_window->findChild<GlassButton*>(QString::fromLatin1(objectName));
    ASSERT_NE(button, nullptr) << objectName;
    // Hidden buttons can't be clicked by the user; tests that need it call
    // the handler directly.
    button->click();
}

QStringList WindowTest::buttons()
{
    QStringList out;
    for (const GlassButton* b : {m_window->cmdGo, m_window->cmdTimeLog, m_window->cmdReview})
        out << (b->isHidden() ? QString() : b->caption());
    return out;
}

QStringList WindowTest::clockLines()
{
    QStringList out;
    for (const QLabel* l : {m_window->lblIn, m_window->lblDateIn, m_window->lblTimeIn, m_window->lblOut,
                            m_window->lblDateOut, m_window->lblTimeOut})
        out << (l->isHidden() ? QString() : l->text());
    return out;
}

} // namespace pelmar::test
