#pragma once

#include <QEasingCurve>
#include <QObject>
#include <cstdint>
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
QEasingCurve easeInOutCurve();

// What a kind of widget does with its motion while the user asks for less motion: some kinds skip
// it (the end state at once), others keep it (they never consult the setting).
enum class UnderReduceMotion : std::uint8_t { keep, skip };

// How a change moves: a curve over a duration. A zero duration applies the end state at once, and
// so does reduce motion when the motion is one its kind skips then.
struct Motion {
    QEasingCurve curve;
    int durationMs = 0;
    UnderReduceMotion underReduceMotion = UnderReduceMotion::keep;

    static Motion spring(double response, double damping = 1.0);
    static Motion easeIn(double seconds);
    static Motion easeOut(double seconds);
    static Motion easeInOut(double seconds);
    static Motion linear(double seconds);
    static Motion none();

    // The same motion, skipped while reduce motion is on.
    Motion skippedUnderReduceMotion() const;
    // Whether it applies its end state at once, now.
    bool isInstant() const;
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
