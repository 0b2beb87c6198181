#include "ui/design/BrandShapes.h"

#include "platform/clock/ManualClock.h"
#include "ui/design/Entrance.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"

#include <QImage>
#include <QPainter>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

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

TEST(PlaneShape, FilledItCoversTheFuselageAndLeavesTheSkyAboveTheWing) {
    QImage image(442, 148, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-296.4, -409.9);
    paintPlane(painter, BerthwatchPlaneShape::designBounds(), Qt::black);
    painter.end();
    const auto pixel = [&](double x, double y) {
        return image.pixel(int(x - 296.4), int(y - 409.9));
    };
    EXPECT_EQ(pixel(560, 480), qRgb(0, 0, 0)); // body behind the wing
    EXPECT_EQ(pixel(720, 440), qRgb(0, 0, 0)); // nose
    EXPECT_EQ(pixel(330, 490), qRgb(0, 0, 0)); // tail
    EXPECT_EQ(pixel(520, 415), qRgb(255, 255, 255));
    EXPECT_EQ(pixel(320, 430), qRgb(255, 255, 255));
    EXPECT_EQ(pixel(700, 540), qRgb(255, 255, 255));
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

constexpr double pi = std::numbers::pi;

TEST(SpringEasing, FollowsTheClosedFormAtKnownTimes) {
    const auto critical = [](double r, double t) {
        const double w = 2 * pi / r;
        return 1 - (1 + w * t) * std::exp(-w * t);
    };
    const auto underDamped = [](double r, double d, double t) {
        const double w = 2 * pi / r;
        const double wd = w * std::sqrt(1 - d * d);
        return 1 - std::exp(-d * w * t) * (std::cos(wd * t) + d * w / wd * std::sin(wd * t));
    };
    const struct {
        double response, damping, seconds, expected;
    } cases[] = {
        {1.0, 1.0, 0.25, critical(1.0, 0.25)},
        {0.44, 1.0, 0.3, critical(0.44, 0.3)},
        {0.5, 0.5, 0.2, underDamped(0.5, 0.5, 0.2)},
        {0.3, 0.8, 0.1, underDamped(0.3, 0.8, 0.1)},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR((SpringEasing{c.response, c.damping}.value(c.seconds)), c.expected, 1e-12)
            << c.response << " " << c.damping << " " << c.seconds;
    }
}

TEST(SpringEasing, UnderDampedOvershootsAndCriticallyDampedDoesNot) {
    const SpringEasing bouncy{0.5, 0.5};
    const SpringEasing critical{0.5, 1.0};
    double bouncyPeak = 0;
    double previous = 0;
    for (double t = 0; t <= 2; t += 0.001) {
        bouncyPeak = std::max(bouncyPeak, bouncy.value(t));
        const double value = critical.value(t);
        ASSERT_LE(value, 1.0) << t;
        ASSERT_GE(value, previous) << t;
        previous = value;
    }
    EXPECT_GT(bouncyPeak, 1.1);
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

TEST_F(ReduceMotion, AnAnimationPlayedUnderItEndsAtOnce) {
    MotionPreferences::instance().overrideReduceMotion(true);
    QWidget widget;
    QPropertyAnimation slide(&widget, "pos");
    slide.setStartValue(QPoint(0, 0));
    slide.setEndValue(QPoint(40, 30));
    play(slide, Motion::easeOut(0.3).skippedUnderReduceMotion());
    EXPECT_EQ(slide.state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(widget.pos(), QPoint(40, 30));
}

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

// A value that runs moves over time, in steps, to its target; one that skips is there at once.
TEST_F(ReduceMotion, OnlyAKindThatSkipsItsMotionJumpsToTheEnd) {
    const Motion kept = Motion::easeOut(0.1);
    const Motion skipped = kept.skippedUnderReduceMotion();
    const struct {
        const Motion& motion;
        bool reduce;
        bool runs;
    } cases[] = {
        {kept, false, true}, {kept, true, true}, {skipped, false, true}, {skipped, true, false}};
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

TEST_F(ReduceMotion, AnOverrideWinsOverTheDesktopAndReportsChanges) {
    MotionPreferences& preferences = MotionPreferences::instance();
    const bool desktop = preferences.reduceMotion();
    QSignalSpy changes(&preferences, &MotionPreferences::reduceMotionChanged);
    preferences.overrideReduceMotion(!desktop);
    EXPECT_EQ(preferences.reduceMotion(), !desktop);
    preferences.overrideReduceMotion(std::nullopt);
    EXPECT_EQ(preferences.reduceMotion(), desktop);
    EXPECT_EQ(changes.count(), 2);
}

} // namespace
} // namespace bw::design
