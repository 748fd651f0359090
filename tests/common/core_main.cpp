// Test entry point for widget-free tests: a QCoreApplication, so that Qt's
// text codecs and QSettings behave as in the program.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
