#include <QCoreApplication>
#include <gtest/gtest.h>

// The tests of the layers below the windows run without any GUI library.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
