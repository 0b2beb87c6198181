#include "ui/design/BrandShapes.h"

#include <QPainter>
#include <QTimer>

namespace bw::design {

BerthwatchProgressRunway::BerthwatchProgressRunway(QWidget* parent)
    : QWidget(parent), m_takeOffDelay(new QTimer(this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BerthwatchProgressRunway::setProgress(double progress) {
    m_progress = progress;
    update();
}

bool BerthwatchProgressRunway::isDone() const {
    return m_progress >= 0.999;
}

void BerthwatchProgressRunway::doneChanged() {}

void BerthwatchProgressRunway::paintEvent(QPaintEvent*) {}

} // namespace bw::design
