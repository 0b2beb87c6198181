#pragma once

#include "ui/design/Motion.h"

#include <QPointer>
#include <QWidget>

class QGraphicsOpacityEffect;

namespace bw::design {

// How a box places its content. While partly open the content is moved by `shift` points times
// the closedness (negative: from above), plus `withRoom` of what the room lacks of the content's
// height (0: its top stays at the room's, 0.5: centred, 1: its bottom follows the room's, so it
// slides down as the room opens). The size hint's height is taken at the content's own preferred
// width, or with `hintsAtOwnWidth` at the box's width, for a column that does not ask heights for
// widths and would otherwise keep the height of unwrapped text.
struct CollapsingLayout {
    qreal shift = 0;
    qreal withRoom = 0;
    bool hintsAtOwnWidth = false;
};

// Holds one widget at the height it needs times its openness, faded by the same measure and
// placed as `layout` says, so that a disclosure opens and closes with a motion instead of jumping.
// The state is the box's at once; only the drawing follows. Once closed, the box is hidden (out
// of the Tab order) and `closed` is emitted.
class CollapsingBox : public QWidget {
    Q_OBJECT
public:
    CollapsingBox(QWidget* content, CollapsingLayout layout, QWidget* parent = nullptr);

    void setOpen(bool open, const Motion& motion);
    bool isOpen() const { return open_; }
    // Still drawing: open, or closing.
    bool isShown() const { return open_ || openness_.value() > 0; }
    // Fully open or fully closed, not on its way.
    bool isSettled() const { return !openness_.isRunning(); }
    QWidget* content() const { return content_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void closed();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int contentHeight(int width) const;
    void follow(double openness);
    void place();

    QWidget* content_;
    CollapsingLayout layout_;
    bool open_ = false;
    AnimatedValue openness_{0.0};
    QPointer<QGraphicsOpacityEffect> fade_;
};

} // namespace bw::design
