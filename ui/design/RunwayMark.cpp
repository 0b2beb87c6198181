#include "ui/design/BrandShapes.h"

#include <QPainter>

namespace bw::design {

BerthwatchRunwayMark::BerthwatchRunwayMark(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BerthwatchRunwayMark::setState(BerthwatchRunwayState state) {
    m_previous = m_state;
    m_state = state;
    update();
}

void BerthwatchRunwayMark::paintEvent(QPaintEvent*) {}

} // namespace bw::design
