#include "ui/window/ToolbarItem.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"

#include <QAbstractButton>
#include <QPainter>

namespace bw::window {

namespace palette = design::palette;

void paintToolbarItem(QPainter& painter, const QAbstractButton& item, QStringView symbol) {
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(item.rect());
    if (item.underMouse() || item.isDown()) {
        painter.fillPath(design::continuousRoundedRect(frame, 8), palette::hoverFill());
    }
    design::paintFocusRing(painter, item, 8);
    design::paintSymbol(painter, frame, symbol, 15, QFont::Medium,
                        item.isDown() ? palette::textPrimary() : palette::textSecondary());
}

} // namespace bw::window
