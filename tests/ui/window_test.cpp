#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "support/window.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

class WindowLookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addAnn();
        t.start();
    }
    FrmTimeLog& w() { return t.window(); }
    WindowTest t;
};

TEST_F(WindowLookTest, OpensLoggedOutWithItsTextsAndColours)
{
    EXPECT_EQ(w().windowTitle(), "Time Log");
    EXPECT_EQ(w().size(), QSize(598, 355));
    EXPECT_FALSE(w().windowIcon().isNull());

    const std::pair<QAbstractButton*, QString> buttons[] = {
        {w().cmdGo, "Log In|Display your time clock screen"},
        {w().cmdWhereIs, "Where Is?|Display this person's last known location"},
        {w().cmdReview, "View My Time|Display your time sheet in a table"},
        {w().chkLimit, "Change the dates displayed|Click to enter new date range"},
    };
    for (const auto& [button, texts] : buttons)
        EXPECT_EQ(button->text() + '|' + button->toolTip(), texts);
    EXPECT_EQ(w().tdbPassword->toolTip(),
              "Enter your personal password that is assigned by the administrator.");
    EXPECT_EQ(w().Label1->text(), "Select Name:");
    EXPECT_EQ(w().Label2->text(), "Enter Password");
    EXPECT_TRUE(shown(w().cmdGo) && shown(w().cmdWhereIs) && shown(w().tdbPassword));
    EXPECT_FALSE(shown(w().cmdReview) || shown(w().chkLimit) || shown(w().cmdTimeLog) || shown(w().lblIn));
    EXPECT_EQ(w().tdbPassword->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(w().tdbPersonnel->hasSelection());
    EXPECT_EQ(w().Timer1->interval(), 1000);
    EXPECT_TRUE(w().Timer1->isActive());
    EXPECT_EQ(w().tdbPersonnel->nextInFocusChain(), w().tdbPassword);

    const auto colours = [](const GlassButton* b) {
        return std::vector<quint32>{b->buttonactualcolor(), b->buttonactualglarecolor(),
                                    b->buttonclickcolor(), b->buttonmousemovecolor()};
    };
    EXPECT_EQ(colours(w().cmdGo), (std::vector<quint32>{0xC00000, 0xFF8080, 0x0000FF, 0xFF8080}));
    EXPECT_EQ(colours(w().cmdWhereIs), (std::vector<quint32>{0xC00000, 0xFF8080, 0xFF0000, 0xFF0000}));
}

// The buttons' own accessibility is the widget test's.
TEST_F(WindowLookTest, ControlsAreNamedForAssistiveTechnology)
{
    w().show();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w().tdbPersonnel)->text(QAccessible::Name),
              "Select Name:");
    QAccessibleInterface* password = QAccessible::queryAccessibleInterface(w().tdbPassword);
    EXPECT_EQ(password->text(QAccessible::Name), "Enter Password");
    EXPECT_TRUE(password->state().passwordEdit);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w().lblDate)->text(QAccessible::Name),
              "Friday, December 04, 2026");
}

TEST_F(WindowLookTest, TheDisplayChangesDayAtTheFirstTickAfterMidnight)
{
    t.setNow(WindowTest::at(2026, 12, 4, 23, 59, 59));
    EXPECT_EQ(w().lblDate->text(), "Friday, December 04, 2026");
    EXPECT_EQ(w().lblTime->text(), "11:59:59 PM");
    t.clock.advanceSeconds(1);
    EXPECT_EQ(w().lblDate->text(), "Friday, December 04, 2026");
    // The tick as the timer delivers it.
    QMetaObject::invokeMethod(w().Timer1, "timeout", Qt::DirectConnection);
    EXPECT_EQ(w().lblDate->text(), "Saturday, December 05, 2026");
    EXPECT_EQ(w().lblTime->text(), "12:00:00 AM");
    t.setNow(WindowTest::at(2026, 12, 5, 12, 0, 0));
    EXPECT_EQ(w().lblTime->text(), "12:00:00 PM");
}

TEST_F(WindowLookTest, KeysTypeIntoThePasswordAndEnterLogsIn)
{
    ASSERT_TRUE(w().tdbPersonnel->selectName("Ann Able"));
    QTest::keyClicks(w().tdbPassword, "pw");
    EXPECT_EQ(w().tdbPassword->text(), "pw");
    QTest::keyClick(w().tdbPassword, Qt::Key_Enter); // the keypad's
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(w().cmdGo->caption(), "Log Out");
}

} // namespace
