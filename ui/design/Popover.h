#pragma once

#include "ui/design/MenuEntry.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>
#include <functional>

class QVBoxLayout;

namespace bw::design {

// Where one popover differs from another.
struct PopoverStyle {
    int width = 244; // the bubble's, arrow excluded
    int padding = 7; // around the content
    qreal cornerRadius = 12;
    int arrowDepth = 0; // an arrow on the edge facing the anchor, pointing at it; 0: none
    int arrowHalfWidth = 9;
    QColor border;
    qreal borderInset = 0;    // a half-point inset keeps a one-point border whole
    bool seesThrough = false; // the window under it shows, blurred (not under reduce transparency)
    qreal separatorThickness = 1;
};

// A popup of actions: a column of content over the menu surface, the keyboard on its first
// entry, closed by Escape, the arrow keys moving between its entries; an entry closes the popover
// before its action runs. Closed with the keyboard, it hands the focus back to the control of its
// parent that opened it (a row's "more" button), else to its parent, the control it belongs to.
// Deletes itself when closed.
class Popover : public QWidget {
    Q_OBJECT

public:
    Popover(const PopoverStyle& style, QWidget* parent);

    QVBoxLayout* column() const;
    MenuEntry* addEntry(const QString& title, const QString& systemImage, bool isDestructive,
                        std::function<void()> chosen);
    // White at 0.075, inset 5 points, with 5 points above and below.
    void addSeparator();

    // Shows the popover beside `anchor` (global coordinates), kept on the anchor's screen, to the
    // anchor's trailing side or, where the screen ends, its leading side: with an arrow, its top
    // level with the anchor's and the arrow pointing at the anchor's middle; without, centred on
    // the anchor.
    void popUpBeside(const QRect& anchor);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The bubble with its arrow, in the popover's coordinates.
    QPainterPath outline() const;
    // Puts the arrow on the bubble's trailing edge (the popover on the anchor's leading side) or
    // its leading edge, and the content beside it.
    void placeArrow(bool onTrailingEdge);
    void takeBackdrop();
    void closeToAnchor();

    PopoverStyle style_;
    QImage backdrop_;
    // Where the arrow's tip is, from the top.
    int arrowY_;
    bool arrowOnTrailingEdge_ = false;
    // What had the focus inside the parent as the popover came up.
    QPointer<QWidget> opener_;
};

} // namespace bw::design
