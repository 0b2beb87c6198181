#include "ui/workspace/ScrollEdgeFade.h"

#include "ui/design/FocusInView.h"

#include <QAbstractScrollArea>
#include <QGraphicsOpacityEffect>
#include <QLinearGradient>
#include <QScrollBar>
#include <QWheelEvent>

namespace bw::workspace {

ScrollEdgeFade::ScrollEdgeFade(QAbstractScrollArea* area, Qt::Orientation orientation)
    : QObject(area), area_(area), orientation_(orientation) {
    QScrollBar* bar =
        orientation == Qt::Horizontal ? area->horizontalScrollBar() : area->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, &ScrollEdgeFade::follow);
    connect(bar, &QScrollBar::valueChanged, this, &ScrollEdgeFade::follow);
    area->viewport()->installEventFilter(this);
    design::setFadedEdgeLength(*area, length);
    follow();
}

bool ScrollEdgeFade::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        follow();
    } else if (event->type() == QEvent::Wheel && orientation_ == Qt::Horizontal) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        QScrollBar* bar = area_->horizontalScrollBar();
        // The wheel alone moves the view sideways while it can go that way, then leaves the
        // turn to the page around it: a hand on a wheel reaches every slot and still scrolls
        // the page from end to end.
        const bool movesOn = delta < 0 ? bar->value() < bar->maximum() : bar->value() > 0;
        const bool sideways = wheel->modifiers() & Qt::ShiftModifier || movesOn;
        if (sideways && delta != 0 && bar->maximum() > 0) {
            bar->setValue(bar->value() - delta * bar->singleStep() * 3 / 120);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ScrollEdgeFade::follow() {
    const QScrollBar* bar =
        orientation_ == Qt::Horizontal ? area_->horizontalScrollBar() : area_->verticalScrollBar();
    fadesStart_ = bar->value() > bar->minimum();
    fadesEnd_ = bar->value() < bar->maximum();
    QWidget* viewport = area_->viewport();
    if (!fadesStart_ && !fadesEnd_) {
        viewport->setGraphicsEffect(nullptr);
        return;
    }
    auto* fade = qobject_cast<QGraphicsOpacityEffect*>(viewport->graphicsEffect());
    if (!fade) {
        fade = new QGraphicsOpacityEffect(viewport);
        fade->setOpacity(1);
        viewport->setGraphicsEffect(fade);
    }
    const qreal extent = orientation_ == Qt::Horizontal ? viewport->width() : viewport->height();
    const qreal edge = std::min(0.5, length / std::max<qreal>(extent, 1));
    QLinearGradient mask(QPointF(),
                         orientation_ == Qt::Horizontal ? QPointF(extent, 0) : QPointF(0, extent));
    mask.setColorAt(0, fadesStart_ ? Qt::transparent : Qt::black);
    mask.setColorAt(edge, Qt::black);
    mask.setColorAt(1 - edge, Qt::black);
    mask.setColorAt(1, fadesEnd_ ? Qt::transparent : Qt::black);
    fade->setOpacityMask(mask);
}

} // namespace bw::workspace
