#include "ui/design/BrandShapes.h"

#include "platform/clock/ManualClock.h"
#include "tests/ui/Widgets.h"
#include "ui/design/Entrance.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace bw::design {
namespace {

TEST(ContinuousRoundedRect, StaysInsideItsRectangleWhateverTheRadius) {
    const QRectF rect(10, 20, 120, 40);
    for (const qreal radius : {0.0, 13.0, 1000.0}) {
        const QPainterPath path = continuousRoundedRect(rect, radius);
        EXPECT_EQ(path.controlPointRect(), rect) << radius;
        EXPECT_TRUE(path.contains(rect.center())) << radius;
        EXPECT_EQ(path.contains(rect.topLeft() + QPointF(0.5, 0.5)), radius == 0) << radius;
    }
}

// What a blend shows over a background lies between what its two ends show there, at every step
// of the change, and a spring's overshoot or undershoot holds at the ends.
TEST(PaletteMix, OverAnyBackgroundShowsAColourBetweenWhatItsEndsShow) {
    const struct {
        const char* name;
        QColor from;
        QColor to;
    } blends[] = {
        {"opaque to opaque", palette::textTertiary(), palette::textSecondary()},
        {"opaque to faint (a slot's placeholder taking a drag)", palette::tileSurface(),
         palette::withOpacity(palette::accent(), 0.1)},
        {"faint to faint", palette::withOpacity(Qt::white, 0.036), palette::hoverFill()},
        {"clear to a colour", QColor(Qt::transparent), palette::accent()},
    };
    const QColor backgrounds[] = {palette::canvas(), Qt::black, Qt::white};
    const auto shown = [](const QColor& color, const QColor& background) {
        const auto over = [&](qreal c, qreal b) {
            return c * color.alphaF() + b * (1 - color.alphaF());
        };
        return std::array{over(color.redF(), background.redF()),
                          over(color.greenF(), background.greenF()),
                          over(color.blueF(), background.blueF())};
    };
    for (const auto& [name, from, to] : blends) {
        for (const qreal t : {-0.3, 0.0, 0.1, 0.25, 0.5, 0.75, 1.0, 1.4}) {
            const QColor mixed = palette::mix(from, to, t);
            ASSERT_TRUE(mixed.isValid()) << name << " " << t;
            const qreal k = std::clamp(t, 0.0, 1.0);
            for (const QColor& background : backgrounds) {
                const auto start = shown(from, background);
                const auto end = shown(to, background);
                const auto seen = shown(mixed, background);
                for (std::size_t channel = 0; channel < 3; ++channel) {
                    EXPECT_NEAR(seen[channel], start[channel] + (end[channel] - start[channel]) * k,
                                2e-3)
                        << name << " at " << t << ", channel " << channel;
                }
            }
        }
    }
}

// The sidebar's row fills are translucent white; the window's own colour is the opaque canvas.
TEST(Palette, RowFillsAreTranslucentWhiteAndTheWindowBackgroundIsOpaque) {
    const struct {
        const char* name;
        QColor color;
        QColor expected;
    } colors[] = {
        {"rowFillStrong", palette::rowFillStrong(), QColor::fromRgbF(1, 1, 1, 0.075f)},
        {"rowFillSoft", palette::rowFillSoft(), QColor::fromRgbF(1, 1, 1, 0.045f)},
        {"windowBackground", palette::windowBackground(), QColor(9, 9, 9)},
    };
    for (const auto& [name, color, expected] : colors) {
        EXPECT_EQ(color.rgb(), expected.rgb()) << name;
        EXPECT_FLOAT_EQ(color.alphaF(), expected.alphaF()) << name;
    }
}

// The plane takes off a short while after the bar reaches the end, and lands again when the bar
// falls back; under reduce motion it stays at the end and nothing is left waiting on the clock.
TEST(ProgressRunway, TakesOffAShortWhileAfterReachingTheEndUnlessMotionIsReduced) {
    for (const bool reduce : {false, true}) {
        MotionPreferences::instance().overrideReduceMotion(reduce);
        ManualClock clock;
        BerthwatchProgressRunway runway(nullptr, &clock);
        runway.resize(400, 40);
        runway.show();
        runway.setProgress(0.9989);
        clock.advance(seconds(1));
        EXPECT_FALSE(runway.hasTakenOff());
        runway.setProgress(1.2);
        EXPECT_FALSE(runway.hasTakenOff());
        clock.advance(seconds(1));
        EXPECT_EQ(runway.hasTakenOff(), !reduce);
        runway.setProgress(0.5);
        EXPECT_FALSE(runway.hasTakenOff());
        EXPECT_TRUE(!reduce || clock.pendingCount() == 0);
    }
}

// Both runways are decoration: beside them, assistive technology reads only the texts.
TEST(Runways, AreHiddenFromAssistiveTechnology) {
    ManualClock clock;
    const std::function<QWidget*(QWidget*)> runways[] = {
        [](QWidget* parent) { return new BerthwatchRunwayMark(parent); },
        [&](QWidget* parent) { return new BerthwatchProgressRunway(parent, &clock); },
    };
    for (const auto& make : runways) {
        QWidget screen;
        auto* column = new QVBoxLayout(&screen);
        column->addWidget(new QLabel(QStringLiteral("Choose a build"), &screen));
        column->addWidget(make(&screen));
        screen.show();
        EXPECT_EQ(bw::test::presentedLeafNames(screen),
                  QStringList{QStringLiteral("Choose a build")});
    }
}

// Where `image` differs from `reference`, weighted by how much: the centre of that ink, and its
// total.
std::pair<QPointF, double> inkCentre(const QImage& image, const QImage& reference) {
    QPointF sum;
    double total = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, y);
            const QRgb b = reference.pixel(x, y);
            const double ink = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                               std::abs(qBlue(a) - qBlue(b));
            sum += QPointF(x, y) * ink;
            total += ink;
        }
    }
    return {total > 0 ? sum / total : QPointF(), total};
}

// The plane leaves the bar 76 forward and 38 up while it fades, drawn whole beyond the bar's
// edges all the way. Mirrored, the bar is the mirror image: it fills from the right and the plane
// points and flies to the left.
TEST(ProgressRunway, ThePlaneTakingOffIsDrawnAlongItsWholePathBeyondTheBar) {
    MotionPreferences::instance().overrideReduceMotion(false);
    QImage halfwayLeftToRight;
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        const int forward = direction == Qt::RightToLeft ? -1 : 1;
        ManualClock clock;
        QWidget window;
        window.setLayoutDirection(direction);
        window.resize(500, 200);
        auto* runway = new BerthwatchProgressRunway(&window, &clock);
        runway->setGeometry(100, 120, 300, 32);
        window.show();
        runway->setProgress(0.5);
        const QImage halfway = window.grab().toImage();
        if (direction == Qt::LeftToRight) {
            halfwayLeftToRight = halfway;
        } else {
            EXPECT_LT(inkCentre(halfway, halfwayLeftToRight.mirrored(true, false)).second, 500);
        }
        runway->setProgress(1);
        const QImage atRest = window.grab().toImage();
        std::vector<QImage> frames;
        clock.advance(seconds(1));
        ASSERT_TRUE(runway->hasTakenOff());
        // Until the plane has faded out: the same picture twice over 50 ms.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                frames.push_back(window.grab().toImage());
                return frames.size() > 5 && frames.back() == frames[frames.size() - 6];
            },
            10000));
        const QImage gone = frames.back();
        const QPointF start = inkCentre(atRest, gone).first;
        const QRect bar = runway->geometry();
        double farthest = 0;
        for (const QImage& frame : frames) {
            const auto [centre, ink] = inkCentre(frame, gone);
            const QPointF travelled = centre - start;
            if (ink == 0 || travelled.x() * forward < 8) {
                continue;
            }
            // Along the line from the end of the lane to 76 forward and 38 up.
            EXPECT_NEAR(travelled.y(), -travelled.x() * forward / 2, 3) << travelled.x();
            farthest = std::max(farthest, travelled.x() * forward);
        }
        // Seen well beyond the bar's end and above it before it has faded.
        EXPECT_GT(farthest, 45);
        EXPECT_GT(forward > 0 ? start.x() + farthest - bar.right()
                              : bar.left() - start.x() + farthest,
                  20);
    }
    MotionPreferences::instance().overrideReduceMotion(std::nullopt);
}

TEST(Backdrop, ReduceTransparencyShowsTheBaseColourAtFullStrength) {
    const QColor base(200, 40, 40);
    BerthwatchGlassBackdrop backdrop(base, 0.1, 0.3);
    backdrop.resize(80, 60);
    MotionPreferences::instance().overrideReduceTransparency(true);
    EXPECT_EQ(backdrop.grab().toImage().pixelColor(40, 30), base);
    MotionPreferences::instance().overrideReduceTransparency(false);
    EXPECT_LT(backdrop.grab().toImage().pixelColor(40, 30).red(), 60); // a faint tint
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
        EXPECT_EQ(window.grab().toImage().pixelColor(10, 10), palette::windowBackground());
        window.resize(900, 700);
        window.hide();
        window.show();
        clock.advance(seconds(1));
        EXPECT_EQ(window.size(), QSize(900, 700));
    }
}

TEST(SpringEasing, SettlesWhenCloseAndItsCurveTracksTheSpring) {
    for (const SpringEasing spring : {SpringEasing{0.48, 1.0}, SpringEasing{0.4, 0.8}}) {
        const double duration = spring.settlingTime();
        EXPECT_LE(std::abs(1 - spring.value(duration)), 1e-3 + 1e-12);
        const QEasingCurve curve = spring.curve();
        for (double p = 0; p <= 1; p += 0.01) {
            EXPECT_NEAR(curve.valueForProgress(p), spring.value(p * duration), 2e-3) << p;
        }
    }
}

TEST(Entrance, MovesOnlyTheDrawingAndIsSkippedUnderReduceMotion) {
    for (const bool reduce : {false, true}) {
        MotionPreferences::instance().overrideReduceMotion(reduce);
        QWidget screen;
        auto* column = new QWidget;
        column->setMinimumSize(200, 120);
        (new QVBoxLayout(&screen))->addWidget(column);
        enterOnFirstShow(&screen, {{column, 6}});
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

// Under reduce motion a kept motion still runs over time in steps; a skipped one is there at once,
// and so is one its kind replaces with an instant one.
TEST(MotionKind, UnderReduceMotionOnlyAKindThatSkipsOrReplacesItsMotionChangesIt) {
    MotionPreferences::instance().overrideReduceMotion(true);
    const std::pair<Motion, bool> cases[] = {
        {MotionKind::keeping().easeOut(0.1), true},
        {MotionKind::skipping().easeOut(0.1), false},
        {MotionKind::replacing(Motion::none()).easeOut(0.1), false}};
    for (const auto& [motion, runs] : cases) {
        AnimatedValue value(0);
        QSignalSpy steps(&value, &AnimatedValue::valueChanged);
        value.animateTo(1, motion);
        EXPECT_EQ(value.isRunning(), runs);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !value.isRunning(); }, 2000));
        EXPECT_EQ(value.value(), 1);
        EXPECT_EQ(steps.count() > 1, runs);
    }
}

TEST(AnimatedValue, ADelayedMoveOvertakenByAJumpNeverRuns) {
    MotionPreferences::instance().overrideReduceMotion(false);
    AnimatedValue value(0);
    value.animateAfter(10, 1, Motion::easeOut(0.05));
    value.setValue(0.5);
    QTest::qWait(120);
    EXPECT_EQ(value.value(), 0.5);
}

} // namespace
} // namespace bw::design
