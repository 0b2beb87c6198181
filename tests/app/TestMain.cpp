#include <QCoreApplication>
#include <gtest/gtest.h>

// The model posts its results through the event loop, so its tests need an application object.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
