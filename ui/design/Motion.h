#pragma once

#include <QEasingCurve>
#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>

class QVariantAnimation;

namespace bw::design {

// A spring that starts at rest at 0 and settles at 1. `response` is the period of the undamped
// oscillation in seconds; `damping` is the fraction of critical damping (1 never overshoots, less
// overshoots). Damping is held within (0, 1].
struct SpringEasing {
    double response = 0.55;
    double damping = 1.0;

    double value(double seconds) const;
    // Seconds after which the spring stays within 0.1 % of its end.
    double settlingTime() const;
    // The spring over settlingTime(), as an easing curve for a QVariantAnimation of that length.
    QEasingCurve curve() const;
};

// The cubic Bézier ease curves.
QEasingCurve easeInCurve();
QEasingCurve easeOutCurve();

// What a kind of widget does with its motion while the user asks for less motion: some kinds keep
// it (they never consult the setting), some skip it (the end state at once), some play a quieter
// motion instead.
enum class UnderReduceMotion : std::uint8_t { keep, skip, replace };

// How a change moves: a curve over a duration. A zero duration applies the end state at once, and
// so does reduce motion when the motion is one its kind skips then. Widgets take their motions from
// their kind's MotionKind, which sets the rule.
struct Motion {
    QEasingCurve curve;
    int durationMs = 0;
    UnderReduceMotion underReduceMotion = UnderReduceMotion::keep;
    std::shared_ptr<const Motion> reduced; // played instead under reduce motion, by `replace`

    static Motion spring(double response, double damping = 1.0);
    static Motion easeIn(double seconds);
    static Motion easeOut(double seconds);
    static Motion linear(double seconds);
    static Motion none();

    // The motion that plays now: this one, or its quieter one while reduce motion is on.
    const Motion& current() const;
    // Whether it applies its end state at once, now.
    bool isInstant() const;
};

// The reduce-motion rule of one kind of widget, written once in the kind's style; the kind's
// motions are made through it and so all follow the rule.
class MotionKind {
public:
    static MotionKind keeping();
    static MotionKind skipping();
    // Under reduce motion every motion of the kind becomes `reduced`.
    static MotionKind replacing(const Motion& reduced);

    Motion spring(double response, double damping = 1.0) const;
    Motion easeIn(double seconds) const;
    Motion easeOut(double seconds) const;
    Motion linear(double seconds) const;
    Motion of(Motion motion) const;
    // Whether reduce motion changes the kind's motions now, for what it does instead of a motion.
    bool isReduced() const;

private:
    MotionKind(UnderReduceMotion rule, std::shared_ptr<const Motion> reduced);

    UnderReduceMotion rule_;
    std::shared_ptr<const Motion> reduced_;
};

// The user's wish for less motion and less transparency: the desktop's setting, read at start and
// followed on change, unless a test (or a demonstration) overrides it.
class MotionPreferences : public QObject {
    Q_OBJECT
public:
    static MotionPreferences& instance();

    bool reduceMotion() const;
    bool reduceTransparency() const;
    void overrideReduceMotion(std::optional<bool> value);
    void overrideReduceTransparency(std::optional<bool> value);

signals:
    void reduceMotionChanged(bool reduceMotion);
    void reduceTransparencyChanged(bool reduceTransparency);

private:
    MotionPreferences();
    void setDesktopValues(bool reduceMotion, bool reduceTransparency);
    void emitChanges(bool oldMotion, bool oldTransparency);

    bool desktopReduceMotion_ = false;
    bool desktopReduceTransparency_ = false;
    std::optional<bool> reduceMotionOverride_;
    std::optional<bool> reduceTransparencyOverride_;
};

// Runs `animation` with the motion's curve and duration from its start value to its end value; an
// instant motion (see isInstant) stops it and applies its end value at once, with no animation
// running.
void play(QVariantAnimation& animation, const Motion& motion);

// A number a widget reads while painting (positions, opacities, progress between two states) and
// moves with a Motion; valueChanged fires on every step so the owner can update().
class AnimatedValue : public QObject {
    Q_OBJECT
public:
    explicit AnimatedValue(double initial = 0, QObject* parent = nullptr);

    double value() const { return value_; }
    double target() const { return target_; }
    bool isRunning() const;

    // Moves from the current value to `target`, replacing any running move.
    void animateTo(double target, const Motion& motion);
    // The same, `delayMs` after the next frame has shown the current value, unless a later move
    // or jump comes first; an instant motion moves at once.
    void animateAfter(int delayMs, double target, const Motion& motion);
    // Jumps to `value` at once, stopping any running move.
    void setValue(double value);

signals:
    void valueChanged(double value);

private:
    void update(double value);

    double value_;
    double target_;
    // Counts the moves and jumps, so that a delayed move knows whether it was overtaken.
    unsigned changes_ = 0;
    QVariantAnimation* animation_;
};

} // namespace bw::design
