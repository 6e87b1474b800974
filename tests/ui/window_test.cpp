#include "platform/widgets/glassbutton.h"
#include "platform/widgets/namelist.h"
#include "platform/widgets/timegrid.h"
#include "store/datasource.h"
#include "store/sqltexts.h"
#include "support/window.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pelmar;

namespace {

struct Colours
{
    quint32 face, glare, click, mouseMove;
};

void expectColours(const GlassButton* b, Colours c)
{
    EXPECT_EQ(b->buttonactualcolor(), c.face) << b->objectName().toStdString();
    EXPECT_EQ(b->buttonactualglarecolor(), c.glare) << b->objectName().toStdString();
    EXPECT_EQ(b->buttonclickcolor(), c.click) << b->objectName().toStdString();
    EXPECT_EQ(b->buttonmousemovecolor(), c.mouseMove) << b->objectName().toStdString();
}

class WindowLookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.db.addEmployee(7, QStringLiteral("Sample Employee"), QStringLiteral("pw"));
        t.start();
    }
    FrmTimeLog& w() { return t.window(); }
    test::WindowTest t;
};

} // namespace

TEST_F(WindowLookTest, OpensLoggedOutWithEveryControlInItsPlace)
{
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Time Log"));
    EXPECT_EQ(w().size(), QSize(598, 355));
    EXPECT_FALSE(w().windowIcon().isNull());

    struct Expected
    {
        const char* name;
        QPoint at;
        bool shown;
        QString text;
        QString tip;
    };
    const std::vector<Expected> controls = {
        {"tdbPersonnel", {0, 19}, true, {}, {}},
        {"tdbPassword",
         {200, 19},
         true,
         {},
         QStringLiteral("Enter your personal password that is assigned by the administrator.")},
        {"cmdGo",
         {320, 14},
         true,
         QStringLiteral("Log In"),
         QStringLiteral("Display your time clock screen")},
        {"cmdWhereIs",
         {8, 56},
         true,
         QStringLiteral("Where Is?"),
         QStringLiteral("Display this person's last known location")},
        {"cmdReview",
         {96, 56},
         false,
         QStringLiteral("View My Time"),
         QStringLiteral("Display your time sheet in a table")},
        {"chkLimit",
         {160, 112},
         false,
         QStringLiteral("Change the dates displayed"),
         QStringLiteral("Click to enter new date range")},
        {"lblDate", {397, 16}, true, {}, {}},
        {"lblTime", {446, 41}, true, {}, {}},
        {"lblTimeIn", {505, 185}, false, QStringLiteral("TimeIn"), {}},
        {"lblOut", {350, 212}, false, QStringLiteral("You Clocked Out:"), {}},
        {"lblIn", {354, 160}, false, QStringLiteral("You Clocked In:"), {}},
        {"lblTimeOut", {505, 230}, false, QStringLiteral("TimeOut"), {}},
        {"lblDateOut", {337, 230}, false, QStringLiteral("DateOut"), {}},
        {"lblDateIn", {338, 185}, false, QStringLiteral("DateIn"), {}},
        {"lblTotalHours", {103, 334}, false, QStringLiteral("Total Hours"), {}},
        {"Label2", {210, 5}, true, QStringLiteral("Enter Password"), {}},
        {"Label1", {11, 4}, true, QStringLiteral("Select Name:"), {}},
        {"tdgTimeWorked", {2, 133}, false, {}, {}},
        {"cmdTimeLog", {320, 64}, false, QStringLiteral("Clock In"), {}},
    };
    for (const Expected& e : controls) {
        SCOPED_TRACE(e.name);
        auto* widget = w().findChild<QWidget*>(QString::fromLatin1(e.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->pos(), e.at);
        EXPECT_EQ(widget->isVisibleTo(&w()), e.shown);
        EXPECT_EQ(widget->toolTip(), e.tip);
        if (auto* label = qobject_cast<QLabel*>(widget); label && !e.text.isEmpty()) {
            EXPECT_EQ(label->text(), e.text);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), e.text);
        }
        EXPECT_EQ(widget->font().family(), QStringLiteral("Arial"));
    }
    EXPECT_EQ(w().tdgTimeWorked->size(), QSize(331, 204));
    EXPECT_EQ(w().tdbPassword->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(w().tdbPassword->text().isEmpty());
    EXPECT_FALSE(w().chkLimit->isChecked());
    EXPECT_FALSE(w().tdbPersonnel->locked());
    EXPECT_FALSE(w().tdbPersonnel->hasSelection());
    EXPECT_TRUE(w().Timer1->isActive());
    EXPECT_EQ(w().Timer1->interval(), 1000);

    expectColours(w().cmdGo, {0xC00000, 0xFF8080, 0x0000FF, 0xFF8080});
    expectColours(w().cmdReview, {0x004080, 0x0080FF, 0x0080FF, 0x80C0FF});
    expectColours(w().cmdWhereIs, {0xC00000, 0xFF8080, 0xFF0000, 0xFF0000});
    expectColours(w().cmdTimeLog, {0xC00000, 0xFF8080, 0xFF0000, 0xFF8080});

    // Tab order: list, password, then the buttons.
    EXPECT_EQ(w().tdbPersonnel->nextInFocusChain(), w().tdbPassword);
}

TEST_F(WindowLookTest, ControlsAreReachableThroughAssistiveTechnology)
{
    w().show();
    QAccessibleInterface* go = QAccessible::queryAccessibleInterface(w().cmdGo);
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->role(), QAccessible::Button);
    EXPECT_EQ(go->text(QAccessible::Name), QStringLiteral("Log In"));
    ASSERT_NE(go->actionInterface(), nullptr);
    EXPECT_TRUE(go->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w().tdbPersonnel);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Select Name:"));
    QAccessibleInterface* password = QAccessible::queryAccessibleInterface(w().tdbPassword);
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(password->text(QAccessible::Name), QStringLiteral("Enter Password"));
    ASSERT_NE(password->editableTextInterface(), nullptr);
    EXPECT_TRUE(password->state().passwordEdit);
    QAccessibleInterface* date = QAccessible::queryAccessibleInterface(w().lblDate);
    EXPECT_EQ(date->text(QAccessible::Name), QStringLiteral("Friday, December 04, 2026"));
}

TEST_F(WindowLookTest, ClockButtonOffers)
{
    w().ShowClockIn();
    EXPECT_EQ(w().cmdTimeLog->caption(), QStringLiteral("Clock IN"));
    EXPECT_TRUE(w().cmdTimeLog->isVisibleTo(&w()));
    EXPECT_TRUE(w().cmdReview->isVisibleTo(&w()));
    EXPECT_FALSE(w().lblIn->isVisibleTo(&w()));
    expectColours(w().cmdTimeLog, {0xC00000, 0xFF8080, 0x0000FF, 0xFF8080});

    // An open record of today begun at 7:30 am.
    t.db.addTime(7, 46360, dates::timeSerial(7, 30, 0), std::nullopt);
    w().datTime->setRecordSource(
        sqltexts::rangeListing(Value::date(46346), Value::date(46360), Value::integer(7)));
    w().datTime->refresh();
    w().ShowClockOut();
    EXPECT_EQ(w().cmdTimeLog->caption(), QStringLiteral("Clock OUT"));
    expectColours(w().cmdTimeLog, {0x008000, 0x80FF80, 0x00FF00, 0x80FF80});
    EXPECT_EQ(w().lblIn->text(), QStringLiteral("You Clocked in:"));
    EXPECT_TRUE(w().lblIn->isVisibleTo(&w()));
    EXPECT_EQ(w().lblDateIn->text(), QStringLiteral("Friday, December 04, 2026"));
    EXPECT_EQ(w().lblTimeIn->text(), QStringLiteral("7:30:00 AM"));
    EXPECT_TRUE(w().lblTimeIn->isVisibleTo(&w()));
    EXPECT_FALSE(w().lblOut->isVisibleTo(&w()));

    // ShowClockIn leaves the clocked-in line alone.
    w().ShowClockIn();
    EXPECT_TRUE(w().lblIn->isVisibleTo(&w()));
}

TEST_F(WindowLookTest, TheDisplayChangesDayAtTheFirstTickAfterMidnight)
{
    t.setNow(test::WindowTest::at(2026, 12, 4, 23, 59, 59));
    EXPECT_EQ(w().lblDate->text(), QStringLiteral("Friday, December 04, 2026"));
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("11:59:59 PM"));
    t.clock.advanceSeconds(1);
    EXPECT_EQ(w().lblDate->text(), QStringLiteral("Friday, December 04, 2026"));
    // The tick as the timer delivers it.
    QMetaObject::invokeMethod(w().Timer1, "timeout", Qt::DirectConnection);
    EXPECT_EQ(w().lblDate->text(), QStringLiteral("Saturday, December 05, 2026"));
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("12:00:00 AM"));
    t.setNow(test::WindowTest::at(2026, 12, 5, 12, 0, 0));
    EXPECT_EQ(w().lblTime->text(), QStringLiteral("12:00:00 PM"));
}

TEST_F(WindowLookTest, EnterInThePasswordBoxIsTheLogInClick)
{
    // Only Enter is taken; other keys type as usual.
    int key = 'a';
    w().tdbPassword_KeyPress(key);
    EXPECT_EQ(key, 'a');
    EXPECT_TRUE(t.dialogs.messages.empty());
    w().tdbPersonnel->selectName(QStringLiteral("Sample Employee"));
    key = 13;
    w().tdbPassword_KeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(t.dialogs.texts(), QStringList{QStringLiteral("That Password is Incorrect.")});
}
