#include "platform/clock/ManualClock.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/design/Palette.h"

#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace bw::design {
namespace {

class Backdrop : public testing::Test {
protected:
    void TearDown() override {
        MotionPreferences::instance().overrideReduceTransparency(std::nullopt);
    }
};

TEST_F(Backdrop, ReduceTransparencyShowsTheBaseColourAtFullStrength) {
    const QColor base(200, 40, 40);
    BerthwatchGlassBackdrop backdrop(base, 0.1, 0.3);
    backdrop.resize(80, 60);
    MotionPreferences::instance().overrideReduceTransparency(true);
    EXPECT_EQ(backdrop.grab().toImage().pixelColor(40, 30), base);
    MotionPreferences::instance().overrideReduceTransparency(false);
    const QColor glass = backdrop.grab().toImage().pixelColor(40, 30);
    EXPECT_LT(glass.red(), 60); // a faint tint over the dark canvas
}

TEST_F(Backdrop, AWindowOfBackdropAndPlaneRendersOffscreen) {
    MotionPreferences::instance().overrideReduceTransparency(false);
    QWidget window;
    window.resize(320, 200);
    auto* backdrop = new BerthwatchGlassBackdrop(palette::canvas(), 0.72, 0.04, &window);
    backdrop->resize(window.size());
    auto* mark = new BerthwatchRunwayMark(&window);
    mark->resize(window.size());
    window.show();
    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    int planePixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            planePixels += image.pixelColor(x, y) == palette::iconGlyph();
        }
    }
    EXPECT_GT(planePixels, 200);
}

// A demonstration frames the window once; the user's own size holds from then on.
TEST(WindowChrome, OnlyADemonstrationFramesTheWindowAndOnlyOnce) {
    for (const bool demonstration : {false, true}) {
        ManualClock clock;
        QWidget window;
        window.resize(500, 400);
        new WindowChromeInstaller(&window, demonstration, &clock);
        window.show();
        clock.advance(seconds(1));
        EXPECT_EQ(window.size(), demonstration ? QSize(1120, 640) : QSize(500, 400));
        EXPECT_EQ(window.grab().toImage().pixelColor(10, 10), palette::canvas());
        window.resize(900, 700);
        window.hide();
        window.show();
        clock.advance(seconds(1));
        EXPECT_EQ(window.size(), QSize(900, 700));
    }
}

} // namespace
} // namespace bw::design
