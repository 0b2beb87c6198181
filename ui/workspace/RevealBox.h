#pragma once

#include "ui/design/Motion.h"

#include <QWidget>

class QGraphicsOpacityEffect;

namespace bw::workspace {

// Holds a block that comes and goes inside a column: the column opens and closes the block's
// room while the block fades in or out, sliding down from the room's top edge when it moves
// with the room. Hidden once it has gone.
class RevealBox : public QWidget {
    Q_OBJECT

public:
    enum class Entrance { fade, moveFromTop };

    RevealBox(QWidget* content, Entrance entrance, QWidget* parent = nullptr);

    bool isPresented() const { return presence_.target() > 0; }
    // Fully open or fully closed, not on its way.
    bool isSettled() const { return !presence_.isRunning(); }
    void setPresented(bool presented, const design::Motion& motion);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int contentHeight(int width) const;
    void follow(double presence);
    void place();

    QWidget* content_;
    Entrance entrance_;
    QGraphicsOpacityEffect* fade_ = nullptr;
    design::AnimatedValue presence_{0.0};
};

} // namespace bw::workspace
