#include "ui/design/Design.h"
#include "ui/design/Motion.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

// Every test starts from the system's motion and transparency, whatever the last one chose.
struct SystemMotion : testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        bw::design::MotionPreferences::instance().overrideReduceMotion(std::nullopt);
        bw::design::MotionPreferences::instance().overrideReduceTransparency(std::nullopt);
    }
};

} // namespace

int main(int argc, char** argv) {
    // Test discovery runs the binary outside CTest's environment: no display is ever needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    bw::design::installDesign(application);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new SystemMotion);
    return RUN_ALL_TESTS();
}
