#include "store/datasource.h"
#include "support/accessible.h"
#include "support/testdb.h"
#include "support/window.h"
#include "ui/widgets/glassbutton.h"
#include "ui/widgets/namelist.h"
#include "ui/widgets/qtdialogs.h"
#include "ui/widgets/timegrid.h"

#include <QAbstractItemView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar {
namespace {

// Return presses it as Space does any button.
TEST(GlassButton, PressedByReturn)
{
    GlassButton button;
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::keyClick(&button, Qt::Key_Return);
    EXPECT_TRUE(clicked.count() == 1 || clicked.wait(2000));
}

// A keyboard reaches it and Space presses it; a screen reader hears a push
// button named by its caption, without the mnemonic's ampersand.
TEST(GlassButton, ReachedByTheKeyboardAndHeardAsAPushButton)
{
    GlassButton button;
    button.setCaption(QStringLiteral("Clock &IN"));
    EXPECT_EQ(button.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 1);
    const test::Heard heard = test::heard(&button);
    EXPECT_EQ(heard.role, QAccessible::PushButton);
    EXPECT_EQ(heard.name, "Clock IN");
}

class NameListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.addEmployee(1, "Alice Adams", "a1");
        db.addEmployee(2, "Bob Brown", "b2", 46000.0);
        db.addEmployee(3, "Carol Clark", "c3");
        source.refresh();
        list.setDataSource(&source);
    }

    test::TestDb db;
    // Reverse order shows that the list keeps the data source's order.
    DataSource source{db.path(), QStringLiteral("SELECT EmployeeID, FullName, Password, TerminationDate "
                                                "FROM Personnel ORDER BY EmployeeID DESC")};
    NameList list;
};

TEST_F(NameListTest, ListsNamesAndGivesTheSelectedRowsValues)
{
    EXPECT_EQ(list.itemText(0), "Carol Clark");
    EXPECT_FALSE(list.hasSelection());
    EXPECT_TRUE(list.columnValue("FullName").isNull());

    EXPECT_FALSE(list.selectName("bob brown"));
    ASSERT_TRUE(list.selectName("Bob Brown"));
    EXPECT_EQ(list.columnValue("employeeid"), Value::integer(2));
    EXPECT_TRUE(list.columnValue("NoSuchField").isNull());
}

TEST_F(NameListTest, LockedIgnoresUserButNotCode)
{
    list.setLocked(true);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_A);
    EXPECT_EQ(list.currentIndex(), -1);
    static_cast<QComboBox&>(list).showPopup(); // as a mouse click or assistive tool would
    EXPECT_FALSE(list.view()->isVisible());

    list.setCurrentIndex(1);
    EXPECT_EQ(list.currentText(), "Bob Brown");
    list.setLocked(false);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.currentText(), "Alice Adams");
}

TEST(TimeGrid, FormatsColumns)
{
    test::TestDb db;
    db.addTime(7, 46360.0, 0.0, 0.75, 0.5);
    db.addTime(8, std::nullopt, std::nullopt, std::nullopt, std::nullopt, Value::null());
    DataSource source(
        db.path(), "SELECT PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type FROM qslTime ORDER BY TimeID");
    source.refresh();
    TimeGrid grid;
    grid.setDataSource(&source);
    ASSERT_EQ(grid.rowCount(), 2);
    QStringList cells;
    for (int c = 0; c < 12; ++c)
        cells << grid.cellText(c / 6, c % 6);
    EXPECT_EQ(cells.join('|'), "7|12/4/2026|12:00 AM|06:00 PM|.50|Worked|8|||||");
}

// A confirmation goes ahead on OK alone: Return and Escape leave it, as a
// question that may stop an action should.
TEST(QtDialogs, ConfirmationGoesAheadOnOkAlone)
{
    const std::pair<std::function<void(QMessageBox*)>, bool> cases[] = {
        {[](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton); }, true},
        {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, false},
        {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, false},
    };
    for (const auto& [answer, expected] : cases) {
        test::whenModal([&answer](QWidget* box) { answer(qobject_cast<QMessageBox*>(box)); });
        EXPECT_EQ(QtDialogs().confirmBox("Save anyway?"), expected);
    }
}

TEST(QtDialogs, FilterInQtsForm)
{
    EXPECT_EQ(QtDialogs::qtFilter("Database Files (Pelmar.mdb)|Pelmar.mdb"), "Database Files (Pelmar.mdb)");
}

} // namespace
} // namespace pelmar
