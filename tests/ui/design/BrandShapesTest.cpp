#include "ui/design/BrandShapes.h"

#include "platform/clock/ManualClock.h"
#include "ui/design/Entrance.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace bw::design {
namespace {

void expectRectNear(const QRectF& actual, const QRectF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

TEST(PlaneShape, ScalesUniformlyAndCentresIntoAnyRectangle) {
    const double planeHeight = 147.1 * 300 / 442;
    const struct {
        QRectF target;
        QRectF bounds;
    } cases[] = {
        {{0, 0, 300, 300}, {0, (300 - planeHeight) / 2, 300, planeHeight}},
        {{10, 20, 884, 147.1}, {231, 20, 442, 147.1}},
        {{50, 60, 0, 30}, {50, 75, 0, 0}},
    };
    for (const auto& c : cases) {
        expectRectNear(BerthwatchPlaneShape::path(c.target).controlPointRect(), c.bounds);
    }
}

TEST(ContinuousRoundedRect, StaysInsideItsRectangleWhateverTheRadius) {
    const QRectF rect(10, 20, 120, 40);
    for (const qreal radius : {0.0, 8.0, 13.0, 1000.0}) {
        const QPainterPath path = continuousRoundedRect(rect, radius);
        expectRectNear(path.controlPointRect(), rect);
        EXPECT_TRUE(path.contains(rect.center())) << radius;
        EXPECT_EQ(path.contains(rect.topLeft() + QPointF(0.5, 0.5)), radius == 0) << radius;
    }
}

class ProgressRunway : public testing::Test {
protected:
    void SetUp() override {
        runway.resize(400, 40);
        runway.show();
    }
    void TearDown() override { MotionPreferences::instance().overrideReduceMotion(std::nullopt); }

    ManualClock clock;
    BerthwatchProgressRunway runway{nullptr, &clock};
};

TEST_F(ProgressRunway, TakesOffAShortWhileAfterReachingTheEndAndComesBackBelowIt) {
    runway.setProgress(0.9989);
    clock.advance(seconds(1));
    EXPECT_FALSE(runway.hasTakenOff());
    runway.setProgress(1.2);
    EXPECT_FALSE(runway.hasTakenOff());
    clock.advance(seconds(1));
    EXPECT_TRUE(runway.hasTakenOff());
    runway.setProgress(0.5);
    EXPECT_FALSE(runway.hasTakenOff());
}

TEST_F(ProgressRunway, UnderReduceMotionThePlaneStaysAtTheEnd) {
    MotionPreferences::instance().overrideReduceMotion(true);
    runway.setProgress(1.0);
    clock.advance(seconds(5));
    EXPECT_FALSE(runway.hasTakenOff());
    EXPECT_EQ(clock.pendingCount(), 0u);
}

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

TEST(SpringEasing, SettlesWhenCloseAndItsCurveTracksTheSpring) {
    EXPECT_NEAR((SpringEasing{1.0, 1.0}.settlingTime()), 1.47, 0.01);
    for (const SpringEasing spring : {SpringEasing{0.48, 1.0}, SpringEasing{0.4, 0.8}}) {
        const double duration = spring.settlingTime();
        EXPECT_LE(std::abs(1 - spring.value(duration)), 1e-3 + 1e-12);
        const QEasingCurve curve = spring.curve();
        for (double p = 0; p <= 1; p += 0.01) {
            EXPECT_NEAR(curve.valueForProgress(p), spring.value(p * duration), 2e-3) << p;
        }
    }
}

TEST(PaletteMix, HoldsTheBlendWithinItsEndsWhateverTheSpringDoes) {
    const QColor from = QColor::fromRgbF(0.2f, 0.4f, 1.0f, 0.1f);
    const QColor to = QColor::fromRgbF(1.0f, 0.4f, 0.0f, 1.0f);
    const struct {
        qreal t;
        QColor expected;
    } cases[] = {
        {-0.3, from}, // a spring's undershoot
        {0, from},    {0.5, QColor::fromRgbF(0.6f, 0.4f, 0.5f, 0.55f)},
        {1, to},      {1.4, to}, // a spring's overshoot
    };
    for (const auto& [t, expected] : cases) {
        const QColor mixed = palette::mix(from, to, t);
        EXPECT_TRUE(mixed.isValid()) << t;
        EXPECT_NEAR(mixed.redF(), expected.redF(), 1e-3) << t;
        EXPECT_NEAR(mixed.blueF(), expected.blueF(), 1e-3) << t;
        EXPECT_NEAR(mixed.alphaF(), expected.alphaF(), 1e-3) << t;
    }
}

class ReduceMotion : public testing::Test {
protected:
    void TearDown() override { MotionPreferences::instance().overrideReduceMotion(std::nullopt); }
};

TEST_F(ReduceMotion, AScreenEntranceMovesOnlyTheDrawingAndIsSkippedUnderReduceMotion) {
    for (const bool reduce : {false, true}) {
        MotionPreferences::instance().overrideReduceMotion(reduce);
        QWidget screen;
        auto* column = new QWidget;
        column->setMinimumSize(200, 120);
        (new QVBoxLayout(&screen))->addWidget(column);
        enterOnFirstShow(&screen, column);
        screen.show();
        const QRect placed = column->geometry();
        EXPECT_EQ(column->graphicsEffect() != nullptr, !reduce) << reduce;
        // Polled through the entrance: the column never moves in its layout.
        bool moved = false;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                moved = moved || column->geometry() != placed;
                return !column->graphicsEffect();
            },
            3000))
            << reduce;
        EXPECT_FALSE(moved) << reduce;
    }
}

// A value that runs moves over time, in steps, to its target; one that skips is there at once, and
// so is one whose kind replaces its motions with an instant one.
TEST_F(ReduceMotion, OnlyAKindThatSkipsOrReplacesItsMotionChangesIt) {
    const Motion kept = MotionKind::keeping().easeOut(0.1);
    const Motion skipped = MotionKind::skipping().easeOut(0.1);
    const Motion replaced = MotionKind::replacing(Motion::none()).easeOut(0.1);
    const struct {
        const Motion& motion;
        bool reduce;
        bool runs;
    } cases[] = {{kept, false, true},    {kept, true, true},      {skipped, false, true},
                 {skipped, true, false}, {replaced, false, true}, {replaced, true, false}};
    for (const auto& [motion, reduce, runs] : cases) {
        MotionPreferences::instance().overrideReduceMotion(reduce);
        AnimatedValue value(0);
        QSignalSpy steps(&value, &AnimatedValue::valueChanged);
        value.animateTo(1, motion);
        EXPECT_EQ(value.isRunning(), runs) << reduce;
        EXPECT_EQ(value.value() == 1, !runs) << reduce;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !value.isRunning(); }, 2000)) << reduce;
        EXPECT_EQ(value.value(), 1) << reduce;
        EXPECT_EQ(steps.count() > 1, runs) << reduce;
    }
}

TEST_F(ReduceMotion, ADelayedMoveOvertakenByAJumpNeverRuns) {
    MotionPreferences::instance().overrideReduceMotion(false);
    AnimatedValue value(0);
    value.animateAfter(10, 1, Motion::easeOut(0.05));
    value.setValue(0.5);
    QTest::qWait(120);
    EXPECT_EQ(value.value(), 0.5);
}

} // namespace
} // namespace bw::design
