#include <QApplication>
#include <gtest/gtest.h>

// GUI tests need a QApplication; the offscreen platform comes from the
// test's environment.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
