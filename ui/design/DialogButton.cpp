#include "ui/design/DialogButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::design {

namespace {

constexpr qreal plainFillOpacity = 0.08; // white behind a plain button at rest

} // namespace

DialogButton::DialogButton(const QString& title, bool isDestructive, QWidget* parent)
    : HoverButton(parent), isDestructive_(isDestructive) {
    setText(title);
    setAccessibleName(title);
}

QSize DialogButton::sizeHint() const {
    const int text =
        QFontMetrics(textStyleFont(TextStyle::bodyEmphasized)).horizontalAdvance(this->text());
    return {std::max(84, text + 32), 30};
}

void DialogButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal lit = isDown() ? 1 : hoverProgress();
    const QColor fill = isDestructive_ ? palette::withOpacity(palette::danger(), 0.14 + 0.08 * lit)
                                       : QColor::fromRgbF(1, 1, 1, plainFillOpacity + 0.04 * lit);
    painter.fillPath(capsulePath(QRectF(rect())), fill);
    paintCapsuleFocusRing(painter, *this);
    painter.setFont(textStyleFont(TextStyle::bodyEmphasized));
    painter.setPen(isDestructive_ ? palette::danger() : palette::textPrimary());
    design::drawText(painter, rect(), Qt::AlignCenter, text());
}

} // namespace bw::design
