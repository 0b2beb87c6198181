#include "ui/workspace/HeroTitle.h"

#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace bw::workspace {

namespace {

constexpr int maximumLines = 2;
constexpr qreal minimumScale = 0.88;
constexpr int flags = Qt::AlignCenter | Qt::TextWordWrap;

QFont scaled(qreal scale) {
    QFont font = design::textStyleFont(design::TextStyle::heroTitle);
    font.setPixelSize(int(std::lround(font.pixelSize() * scale)));
    return font;
}

int lineCount(const QFont& font, int width, const QString& text) {
    const QFontMetricsF metrics(font);
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, width, 1e6), flags, text);
    return int(std::lround(bounds.height() / metrics.lineSpacing()));
}

} // namespace

HeroTitle::HeroTitle(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setAccessibleName(text);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

// Wraps first; shrinks only when two lines are not enough.
QFont HeroTitle::fittedFont(int width) const {
    if (!fitted_ || fitted_->first != width) {
        qreal scale = 1;
        while (scale > minimumScale && lineCount(scaled(scale), width, text_) > maximumLines) {
            scale -= 0.01;
        }
        fitted_.emplace(width, scaled(std::max(scale, minimumScale)));
    }
    return fitted_->second;
}

QSize HeroTitle::sizeHint() const {
    const QFontMetricsF metrics(scaled(1));
    return QSizeF(metrics.horizontalAdvance(text_) + 2, metrics.lineSpacing()).toSize();
}

QSize HeroTitle::minimumSizeHint() const {
    return {1, sizeHint().height()};
}

int HeroTitle::heightForWidth(int width) const {
    const QFont font = fittedFont(width);
    const int lines = std::min(maximumLines, lineCount(font, width, text_));
    return int(std::ceil(QFontMetricsF(font).lineSpacing() * lines));
}

void HeroTitle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(fittedFont(width()));
    painter.setPen(design::palette::textPrimary());
    design::drawText(painter, rect(), flags, text_);
}

} // namespace bw::workspace
