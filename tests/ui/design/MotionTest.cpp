#include "ui/design/Motion.h"

#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace bw::design {
namespace {

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

class ReduceMotion : public testing::Test {
protected:
    void TearDown() override { MotionPreferences::instance().overrideReduceMotion(std::nullopt); }
};

TEST_F(ReduceMotion, AppliesEndStatesAtOnceWithNoAnimationRunning) {
    MotionPreferences::instance().overrideReduceMotion(true);
    AnimatedValue value(0);
    value.animateTo(5, unlessReduceMotion(Motion::spring(0.4)));
    EXPECT_EQ(value.value(), 5);
    EXPECT_FALSE(value.isRunning());

    QWidget widget;
    QPropertyAnimation slide(&widget, "pos");
    slide.setStartValue(QPoint(0, 0));
    slide.setEndValue(QPoint(40, 30));
    play(slide, unlessReduceMotion(Motion::easeOut(0.3)));
    EXPECT_EQ(slide.state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(widget.pos(), QPoint(40, 30));
}

TEST_F(ReduceMotion, WithoutItTheValueMovesOverTimeToItsTarget) {
    MotionPreferences::instance().overrideReduceMotion(false);
    AnimatedValue value(0);
    QSignalSpy steps(&value, &AnimatedValue::valueChanged);
    value.animateTo(1, unlessReduceMotion(Motion::spring(0.1)));
    EXPECT_TRUE(value.isRunning());
    EXPECT_LT(value.value(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !value.isRunning(); }, 2000));
    EXPECT_EQ(value.value(), 1);
    EXPECT_GT(steps.count(), 1);
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
