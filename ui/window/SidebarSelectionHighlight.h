#pragma once

#include "ui/design/Motion.h"

#include <QPointer>
#include <QWidget>
#include <vector>

namespace bw::window {

// The selection fill of one group of sidebar rows, drawn under the rows it lies behind (it
// shares their parent). When the selection moves from one row of the group to another, the fill
// slides and resizes from the old row to the new one; when the group gains or loses its
// selection, the fill fades in or out. Spring 0.22 s, at once under reduce motion. A second
// selected row of the group (a report kept while Reports is open) shows the fill where it is.
class SidebarSelectionHighlight : public QWidget {
    Q_OBJECT

public:
    explicit SidebarSelectionHighlight(QWidget* rowsParent);

    // The group's selected rows, in the sidebar's order. The moving fill goes to the first,
    // unless the row that has it stays selected.
    void follow(const std::vector<QWidget*>& selected);
    // Where the moving fill is drawn now, in the rows' parent's coordinates; empty when hidden.
    QRectF movingRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* row);

    QPointer<QWidget> target_;
    std::vector<QPointer<QWidget>> others_;
    // Where the fill started its slide, and where it last was (kept when its row goes away).
    QRectF from_;
    mutable QRectF last_;
    design::AnimatedValue slide_{1.0};
    design::AnimatedValue opacity_{0.0};
};

} // namespace bw::window
