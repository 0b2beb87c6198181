#include "ui/design/GlassBackdrop.h"

#include "ui/design/Motion.h"
#include "ui/design/Palette.h"

#include <QLinearGradient>
#include <QPainter>

namespace bw::design {

BerthwatchGlassBackdrop::BerthwatchGlassBackdrop(const QColor& baseColor, double baseOpacity,
                                                 double sheenOpacity, QWidget* parent)
    : QWidget(parent), baseColor_(baseColor), baseOpacity_(baseOpacity),
      sheenOpacity_(sheenOpacity) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(&MotionPreferences::instance(), &MotionPreferences::reduceTransparencyChanged, this,
            qOverload<>(&QWidget::update));
}

void BerthwatchGlassBackdrop::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF area = rect();
    if (MotionPreferences::instance().reduceTransparency()) {
        painter.fillRect(area, baseColor_);
        return;
    }
    // Nothing shows through the window here, so the material is the window's own background it
    // would blur.
    painter.fillRect(area, palette::windowBackground());
    painter.fillRect(area, palette::withOpacity(baseColor_, baseOpacity_));
    QLinearGradient sheen(area.topLeft(), area.bottomRight());
    sheen.setColorAt(0, palette::withOpacity(Qt::white, sheenOpacity_));
    sheen.setColorAt(0.5, Qt::transparent);
    sheen.setColorAt(1, palette::withOpacity(Qt::black, 0.08));
    painter.fillRect(area, sheen);
}

QPalette darkPalette() {
    using namespace palette;
    QPalette result;
    result.setColor(QPalette::Window, windowBackground());
    result.setColor(QPalette::WindowText, textPrimary());
    result.setColor(QPalette::Base, menuSurface());
    result.setColor(QPalette::AlternateBase, tileSurface());
    result.setColor(QPalette::ToolTipBase, menuSurface());
    result.setColor(QPalette::ToolTipText, textPrimary());
    result.setColor(QPalette::PlaceholderText, textTertiary());
    result.setColor(QPalette::Text, textPrimary());
    result.setColor(QPalette::Button, tileSurface());
    result.setColor(QPalette::ButtonText, textPrimary());
    result.setColor(QPalette::BrightText, danger());
    result.setColor(QPalette::Light, hairline());
    result.setColor(QPalette::Midlight, hairline());
    result.setColor(QPalette::Mid, tileSurface());
    result.setColor(QPalette::Dark, sidebarSurface());
    result.setColor(QPalette::Shadow, Qt::black);
    result.setColor(QPalette::Highlight, accent());
    result.setColor(QPalette::HighlightedText, Qt::white);
    result.setColor(QPalette::Link, accent());
    result.setColor(QPalette::LinkVisited, accent());
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        result.setColor(QPalette::Disabled, role, textTertiary());
    }
    return result;
}

} // namespace bw::design
