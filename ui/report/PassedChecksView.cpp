#include "ui/report/PassedChecksView.h"

#include "ui/design/BlockLayout.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Hairline.h"
#include "ui/design/HoverButton.h"
#include "ui/design/Labels.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/report/PassedCheckPresentation.h"
#include "ui/report/ReadingText.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace bw::report {
namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind passedChecksViewMotion = design::MotionKind::keeping();

namespace palette = design::palette;
using design::TextStyle;

// A passed check lights fainter than a finding under the pointer: white at this opacity.
constexpr qreal hoverFillOpacity = 0.026;

QWidget* metaLine(const PassedCheckPresentation& presentation) {
    QBoxLayout* layout = design::blockLayout(QBoxLayout::LeftToRight, 12);
    QWidget* line = layout->parentWidget();
    const QColor tertiary = palette::textTertiary();
    if (presentation.guideline) {
        layout->addWidget(design::makeLabel(QStringLiteral("Guideline ") + *presentation.guideline,
                                            TextStyle::caption, tertiary));
        layout->addWidget(new report::Dot(palette::withOpacity(tertiary, 0.64)));
    }
    layout->addWidget(design::makeLabel(presentation.source, TextStyle::caption, tertiary));
    layout->addStretch(1);
    return line;
}

QWidget* emptyState() {
    auto* empty = new QWidget;
    auto* layout = new QVBoxLayout(empty);
    layout->setContentsMargins(0, 36, 0, 36);
    layout->setSpacing(10);
    auto* shield = new design::SymbolWidget(QStringLiteral("shield.slash"), 30, QFont::Medium);
    shield->setColor(palette::textTertiary());
    layout->addWidget(shield, 0, Qt::AlignHCenter);
    layout->addWidget(design::makeLabel(QStringLiteral("No passed checks recorded"),
                                        TextStyle::sectionTitle, palette::textPrimary()),
                      0, Qt::AlignHCenter);
    return empty;
}

} // namespace

PassedCheckRow::PassedCheckRow(const QString& check, QWidget* parent) : QWidget(parent) {
    const PassedCheckPresentation presentation(check);
    setAccessibleName(QStringLiteral("Passed, ") + check);
    auto* layout = new QVBoxLayout(this);
    // The texts leave the row's spacing of 10 and a spacer of at least 12 at their trailing side.
    layout->setContentsMargins(design::leadingMargins(*this, {8, 14, 10 + 12 + 8, 14}));
    layout->setSpacing(6);
    layout->addWidget(
        design::makeLabel(presentation.category, TextStyle::caption, palette::textSecondary()));
    layout->addWidget(design::makeLabel(presentation.title, TextStyle::rowTitle,
                                        palette::textPrimary(), design::Wrap::lines));
    layout->addWidget(metaLine(presentation));
    connect(&hover_, &design::AnimatedValue::valueChanged, this, [this] { update(); });
}

void PassedCheckRow::enterEvent(QEnterEvent* event) {
    hover_.animateTo(1, passedChecksViewMotion.easeOut(0.14));
    QWidget::enterEvent(event);
}

void PassedCheckRow::leaveEvent(QEvent* event) {
    hover_.animateTo(0, passedChecksViewMotion.easeOut(0.14));
    QWidget::leaveEvent(event);
}

void PassedCheckRow::paintEvent(QPaintEvent*) {
    if (hover_.value() <= 0) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(design::continuousRoundedRect(QRectF(rect()), 18),
                     palette::withOpacity(Qt::white, hoverFillOpacity * hover_.value()));
}

PassedChecksView::PassedChecksView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void PassedChecksView::clear() {
    QLayoutItem* item = nullptr;
    while ((item = layout()->takeAt(0)) != nullptr) {
        delete item->widget();
        delete item;
    }
}

void PassedChecksView::setChecks(const std::vector<QString>& checks) {
    clear();
    // Shown at once: the layout alone would show them a pass later, after a frame without them.
    const auto add = [this](QWidget* part) {
        layout()->addWidget(part);
        if (isVisible()) {
            part->show();
        }
    };
    if (checks.empty()) {
        add(emptyState());
        return;
    }
    const QColor separator = palette::separator();
    for (std::size_t i = 0; i < checks.size(); ++i) {
        add(new PassedCheckRow(checks[i]));
        if (i + 1 < checks.size()) {
            add(new design::Hairline(separator, QMargins(8, 0, 0, 0)));
        }
    }
}

} // namespace bw::report
