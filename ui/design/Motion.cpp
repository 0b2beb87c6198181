#include "ui/design/Motion.h"

#include <QPointF>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace bw::design {

namespace {

// Within this distance of its end a spring counts as settled.
constexpr double settledDistance = 1e-3;
// Qt's Bézier spline easing holds at most ten segments (more overrun its storage). Segments that
// lengthen as the spring calms keep the curve within about 0.1 % of the spring.
constexpr int springSegments = 10;
constexpr double segmentGrowth = 1.15;

struct SpringTerms {
    double omega; // natural angular frequency
    double zeta;  // damping fraction
};

SpringTerms terms(const SpringEasing& spring) {
    const double response = std::max(spring.response, 1e-6);
    return {2 * std::numbers::pi / response, std::clamp(spring.damping, 1e-3, 1.0)};
}

double springVelocity(const SpringTerms& s, double t) {
    if (s.zeta >= 1) {
        return s.omega * s.omega * t * std::exp(-s.omega * t);
    }
    const double omegaD = s.omega * std::sqrt(1 - s.zeta * s.zeta);
    return s.omega * s.omega / omegaD * std::exp(-s.zeta * s.omega * t) * std::sin(omegaD * t);
}

QEasingCurve bezier(QPointF c1, QPointF c2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}

int milliseconds(double seconds) {
    return std::max(0, int(std::lround(seconds * 1000)));
}

} // namespace

double SpringEasing::value(double seconds) const {
    const SpringTerms s = terms(*this);
    const double t = std::max(0.0, seconds);
    if (s.zeta >= 1) {
        return 1 - (1 + s.omega * t) * std::exp(-s.omega * t);
    }
    const double omegaD = s.omega * std::sqrt(1 - s.zeta * s.zeta);
    return 1 - std::exp(-s.zeta * s.omega * t) *
                   (std::cos(omegaD * t) + s.zeta * s.omega / omegaD * std::sin(omegaD * t));
}

double SpringEasing::settlingTime() const {
    const SpringTerms s = terms(*this);
    if (s.zeta >= 1) {
        // (1 + u) e^-u falls through the settled distance at u ≈ 9.23; Newton's method finds it.
        double u = 9.0;
        for (int i = 0; i < 8; ++i) {
            u -= ((1 + u) * std::exp(-u) - settledDistance) / (-u * std::exp(-u));
        }
        return u / s.omega;
    }
    // The oscillation stays inside the envelope e^(-ζωt) / √(1 − ζ²).
    const double envelope = 1 / std::sqrt(1 - s.zeta * s.zeta);
    return std::log(envelope / settledDistance) / (s.zeta * s.omega);
}

QEasingCurve SpringEasing::curve() const {
    // A cubic Hermite curve per segment, from the exact values and slopes, written as Béziers.
    const SpringTerms s = terms(*this);
    const double duration = settlingTime();
    const double total = (std::pow(segmentGrowth, springSegments) - 1) / (segmentGrowth - 1);
    QEasingCurve curve(QEasingCurve::BezierSpline);
    double p1 = 0;
    for (int i = 0; i < springSegments; ++i) {
        const double p0 = p1;
        const bool last = i + 1 == springSegments;
        p1 = last ? 1.0 : p0 + std::pow(segmentGrowth, i) / total;
        const double step = p1 - p0;
        const double x0 = value(p0 * duration);
        const double x1 = last ? 1.0 : value(p1 * duration);
        const double slope0 = springVelocity(s, p0 * duration) * duration;
        const double slope1 = last ? 0.0 : springVelocity(s, p1 * duration) * duration;
        curve.addCubicBezierSegment(QPointF(p0 + step / 3, x0 + slope0 * step / 3),
                                    QPointF(p1 - step / 3, x1 - slope1 * step / 3),
                                    QPointF(p1, x1));
    }
    return curve;
}

QEasingCurve easeInCurve() {
    return bezier({0.42, 0}, {1, 1});
}

QEasingCurve easeOutCurve() {
    return bezier({0, 0}, {0.58, 1});
}

Motion Motion::spring(double response, double damping) {
    const SpringEasing easing{response, damping};
    return {easing.curve(), milliseconds(easing.settlingTime()), UnderReduceMotion::keep, nullptr};
}

Motion Motion::easeIn(double seconds) {
    return {easeInCurve(), milliseconds(seconds), UnderReduceMotion::keep, nullptr};
}

Motion Motion::easeOut(double seconds) {
    return {easeOutCurve(), milliseconds(seconds), UnderReduceMotion::keep, nullptr};
}

Motion Motion::linear(double seconds) {
    return {QEasingCurve(QEasingCurve::Linear), milliseconds(seconds), UnderReduceMotion::keep,
            nullptr};
}

Motion Motion::none() {
    return {QEasingCurve(QEasingCurve::Linear), 0, UnderReduceMotion::keep, nullptr};
}

const Motion& Motion::current() const {
    if (underReduceMotion == UnderReduceMotion::replace && reduced &&
        MotionPreferences::instance().reduceMotion()) {
        return *reduced;
    }
    return *this;
}

bool Motion::isInstant() const {
    const Motion& now = current();
    return now.durationMs <= 0 || (now.underReduceMotion == UnderReduceMotion::skip &&
                                   MotionPreferences::instance().reduceMotion());
}

MotionKind::MotionKind(UnderReduceMotion rule, std::shared_ptr<const Motion> reduced)
    : rule_(rule), reduced_(std::move(reduced)) {}

MotionKind MotionKind::keeping() {
    return {UnderReduceMotion::keep, nullptr};
}

MotionKind MotionKind::skipping() {
    return {UnderReduceMotion::skip, nullptr};
}

MotionKind MotionKind::replacing(const Motion& reduced) {
    return {UnderReduceMotion::replace, std::make_shared<const Motion>(reduced)};
}

Motion MotionKind::of(Motion motion) const {
    motion.underReduceMotion = rule_;
    motion.reduced = reduced_;
    return motion;
}

Motion MotionKind::spring(double response, double damping) const {
    return of(Motion::spring(response, damping));
}

Motion MotionKind::easeIn(double seconds) const {
    return of(Motion::easeIn(seconds));
}

Motion MotionKind::easeOut(double seconds) const {
    return of(Motion::easeOut(seconds));
}

Motion MotionKind::linear(double seconds) const {
    return of(Motion::linear(seconds));
}

bool MotionKind::isReduced() const {
    return rule_ != UnderReduceMotion::keep && MotionPreferences::instance().reduceMotion();
}

void play(QVariantAnimation& animation, const Motion& motion) {
    const Motion& now = motion.current();
    animation.stop();
    animation.setEasingCurve(now.curve);
    // Started with no duration, an animation writes its end value and stops within start().
    animation.setDuration(motion.isInstant() ? 0 : now.durationMs);
    animation.start();
}

} // namespace bw::design
