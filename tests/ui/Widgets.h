#pragma once

#include <QAnimationDriver>
#include <QImage>
#include <QMimeData>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <vector>

class QAbstractButton;

namespace bw::design {
class ConfirmationDialog;
}

// What the screen tests do to widgets as a user would, and how they find them.
namespace bw::test {

// The first widget of type `T` under `root` with this accessible name (only those visible in
// `root` when `visibleOnly`); null when there is none.
template <typename T = QWidget>
T* named(const QWidget& root, const QString& accessibleName, bool visibleOnly = false) {
    for (T* widget : root.findChildren<T*>()) {
        if (widget->accessibleName() == accessibleName &&
            (!visibleOnly || widget->isVisibleTo(&root))) {
            return widget;
        }
    }
    return nullptr;
}

// The button under `root` with this accessible name that shows with it; null when there is none.
QAbstractButton* button(const QWidget& root, const QString& accessibleName);

// What assistive technology reads under `root`: the names of the leaves of its accessible tree,
// walked through Qt's interfaces, leaving out whatever reads as never shown.
QStringList presentedLeafNames(const QWidget& root);

// The confirmation that is open, if any; clicking its button titled `title` tells whether there
// was one.
design::ConfirmationDialog* openConfirmation();
bool answerConfirmation(const QString& title);

// Runs the event loop for the work that the last events posted (layout passes, a click's
// queued action).
void settle(int turns = 10);

// What `widget` draws, its children included, over nothing.
QImage drawnAlone(QWidget& widget);

// While it lives, runs every animation on a clock of its own, a frame at a time, so that each
// frame of a motion is seen however slowly a loaded machine runs the test.
class SteppedFrames : public QAnimationDriver {
public:
    SteppedFrames() { install(); }
    ~SteppedFrames() override { uninstall(); }
    qint64 elapsed() const override { return elapsed_; }

    // Plays `ms` of motion, calling `sample` after every turn of the event loop that takes a
    // frame in (`turns` of them): a paint may come after any of them.
    void playFor(int ms, const std::function<void()>& sample, int turns = 3);

protected:
    void start() override;

private:
    qint64 elapsed_ = 0;
};

// How far `image` is from `reference` over `areas`: the sum of every channel's difference, the
// ink one shows that the other does not.
double imageDistance(const QImage& image, const QImage& reference, const std::vector<QRect>& areas);

// Moves the pointer to `global` (screen coordinates) as the user does: the window under it hears
// the move, and the event loop runs.
void movePointer(QPoint global);
// Moves the pointer onto no window: it leaves the one it was over.
void movePointerOffAllWindows();

// A drag that enters `window` at `point` (window coordinates) and is released there, delivered
// as Qt delivers it: to the innermost widget at the point that takes drops.
struct DropOutcome {
    bool entered;
    bool dropped;
};
DropOutcome dragAndDrop(QWidget& window, QPoint point, const QMimeData& data);

// Drags the file onto `target` at `point` and drops it; true when both were accepted.
bool dropFile(QWidget& target, QPoint point, const QString& path);

} // namespace bw::test
