#include "ui/design/MenuEntry.h"

#include "ui/design/Accessibility.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::design {

namespace {

constexpr qreal highlightOpacity = 0.065; // white over the entry under the pointer

// This kind never consults reduce motion: its motions always play.
const MotionKind menuEntryMotion = MotionKind::keeping();

} // namespace

MenuEntry::MenuEntry(const QString& title, const QString& systemImage, bool isDestructive,
                     int width, QWidget* parent)
    // Menu entries light up with a spring, whatever the reduce-motion setting.
    : HoverButton(parent, {menuEntryMotion.spring(0.14)}), systemImage_(systemImage),
      isDestructive_(isDestructive), width_(width) {
    // Before the title: setting it already has Qt describe the entry to assistive technologies.
    presentAs(*this, QAccessible::MenuItem);
    setText(title);
    setAccessibleName(title);
    // A menu's entries take the keyboard as buttons do, under the arrow pointer, and Return
    // chooses one as it does in any menu.
    setFocusPolicy(Qt::StrongFocus);
    activateOnReturn(*this);
    unsetCursor();
    setAttribute(Qt::WA_Hover);
}

QSize MenuEntry::sizeHint() const {
    return {width_, 34};
}

void MenuEntry::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn at reduced opacity when it cannot be used.
    painter.setOpacity(isEnabled() ? 1.0 : 0.44);
    // Keyboard focus lights the entry as the pointer does.
    const double highlight = showsFocusRing(*this) ? 1.0 : hoverProgress();
    if (highlight > 0) {
        painter.fillPath(continuousRoundedRect(QRectF(rect()), 8),
                         palette::withOpacity(Qt::white, highlightOpacity * highlight));
    }
    // The fill alone is too faint to tell which entry the keyboard is on.
    paintFocusRing(painter, *this, 8);
    const QColor symbol = isDestructive_ ? palette::danger() : palette::textSecondary();
    const QColor title = isDestructive_ ? palette::danger() : palette::textPrimary();
    const QRectF symbolFrame(9, 0, 16, height());
    paintSymbol(painter, leading(*this, symbolFrame), systemImage_, 13, QFont::Medium, symbol);
    painter.setFont(textStyleFont(TextStyle::body));
    painter.setPen(title);
    const QRectF titleFrame(symbolFrame.right() + 10, 0, width() - symbolFrame.right() - 10 - 9 - 8,
                            height());
    design::drawText(
        painter, leading(*this, titleFrame), Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(text(), Qt::ElideRight, int(titleFrame.width())));
}

} // namespace bw::design
