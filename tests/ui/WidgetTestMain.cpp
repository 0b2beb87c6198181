#include "ui/design/Design.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test discovery runs the binary outside CTest's environment: no display is ever needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    bw::design::installDesign(application);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
